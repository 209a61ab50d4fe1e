#include "app/PasswordEditPanel.h"

#include "app/EditorStrings.h"
#include "app/HyperlinkBox.h"
#include "app/LinkEditorDlg.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "platform/TresorixSettings.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr unsigned kIdGoTo = 61268;
constexpr unsigned kIdGenerate = 61269;

PASSWORD_GENERATOR& Generator() {
    static PASSWORD_GENERATOR generator;
    return generator;
}

// Watches a URL box for the moment it loses the focus.
class CLinkFocusWatch : public QObject {
public:
    CLinkFocusWatch(CEditPanel& panel, CHyperlinkBox& box)
        : QObject(&box), m_panel(&panel), m_box(&box) {
        box.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_box && event->type() == QEvent::FocusOut) {
            // The dialog must not run inside the focus change itself.
            QTimer::singleShot(0, this, [this] { Check(); });
        }
        return false;
    }

private:
    void Check() {
        if (!m_panel || !m_box || m_panel->IsClosing() || !m_panel->isVisible())
            return;
        const QString text = m_box->text();
        if (text.trimmed().isEmpty() || CHyperlinkBox::IsLink(text) ||
            !TresorixSettings().View_EditUnknownLinks)
            return;
        CLinkEditorDlg dialog(text, m_panel);
        if (RunModal(dialog) == QDialog::Accepted)
            m_box->setText(dialog.Link());
    }

    QPointer<CEditPanel> m_panel;
    QPointer<CHyperlinkBox> m_box;
};

} // namespace

PASSWORD_GENERATOR SetPasswordGenerator(PASSWORD_GENERATOR generator) {
    PASSWORD_GENERATOR previous = std::move(Generator());
    Generator() = std::move(generator);
    return previous;
}

void WatchUnknownLinks(CEditPanel& panel, CHyperlinkBox& box) {
    new CLinkFocusWatch(panel, box);
}

void AddUrlRow(QFormLayout& form, const QString& label, CHyperlinkBox& box, QWidget* copy) {
    auto* row = new QHBoxLayout;
    row->addWidget(&box, 1);
    row->addWidget(copy);
    auto* go = new QToolButton(box.parentWidget());
    go->setToolTip(EdText(kIdGoTo));
    go->setIcon(QIcon::fromTheme(QStringLiteral("go-jump")));
    if (go->icon().isNull())
        go->setText(QStringLiteral(">"));
    go->setAutoRaise(true);
    go->setObjectName(QStringLiteral("GoTo"));
    QObject::connect(go, &QToolButton::clicked, &box, [&box] { box.OpenLink(); });
    row->addWidget(go);
    form.addRow(CEditPanel::BuddyLabel(label, &box), row);
}

CPasswordEditPanel::CPasswordEditPanel(QWidget* parent)
    : CEditPanel(parent), m_login(new QLineEdit(this)), m_password(new CKivPasswordEdit(this)),
      m_url(new CHyperlinkBox(this)), m_email(new QLineEdit(this)),
      m_generate(new QPushButton(EdText(kIdGenerate), this)) {
    AddCopyRow(EdText(63033), m_login, m_login);
    AddCopyRow(EdText(63034), m_password, m_password);
    Fields()->addRow(QString(), m_generate);
    auto* copyUrl = new QToolButton(this);
    AddUrlRow(*Fields(), EdText(63035), *m_url, copyUrl);
    copyUrl->setToolTip(EdText(61267));
    copyUrl->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    if (copyUrl->icon().isNull())
        copyUrl->setText(QStringLiteral("C"));
    copyUrl->setAutoRaise(true);
    connect(copyUrl, &QToolButton::clicked, this, [this] { CopyFieldText(m_url->text()); });
    AddCopyRow(EdText(63036), m_email, m_email);
    for (QLineEdit* box :
         {m_login, static_cast<QLineEdit*>(m_password), static_cast<QLineEdit*>(m_url), m_email})
        Track(box);
    m_password->SetShowPassword(TresorixSettings().App_ShowPasswords != 0);
    m_generate->setEnabled(static_cast<bool>(Generator()));
    connect(m_generate, &QPushButton::clicked, this, [this] { GeneratePassword(); });
    WatchUnknownLinks(*this, *m_url);
}

bool CPasswordEditPanel::GeneratePassword() {
    if (!Generator())
        return false;
    std::string password;
    if (!Generator()(this, password) || password.empty())
        return false;
    m_password->setText(FromBytes(password));
    std::fill(password.begin(), password.end(), '\0');
    MarkFieldsChanged();
    return true;
}

void CPasswordEditPanel::LoadType(ICommonProperties* record) {
    TComPtr<IPasswordProperties> p;
    if (record)
        p = TComPtr<ICommonProperties>(record).As<IPasswordProperties>();
    m_login->setText(p ? FromBytes(p->GetLogin()) : QString());
    m_password->setText(p ? FromBytes(p->GetPassword()) : QString());
    m_url->setText(p ? FromBytes(p->GetURL()) : QString());
    m_email->setText(p ? FromBytes(p->GetEmail()) : QString());
}

bool CPasswordEditPanel::StoreType(ICommonProperties* record) {
    TComPtr<IPasswordProperties> p = TComPtr<ICommonProperties>(record).As<IPasswordProperties>();
    if (!p)
        return false;
    p->SetLogin(ToBytes(m_login->text()));
    p->SetPassword(ToBytes(m_password->text()));
    p->SetURL(ToBytes(m_url->text()));
    p->SetEmail(ToBytes(m_email->text()));
    return true;
}
