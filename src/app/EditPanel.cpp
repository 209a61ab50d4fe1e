#include "app/EditPanel.h"

#include "app/ChangeIconDlg.h"
#include "app/CustomFieldsList.h"
#include "app/EditorStrings.h"
#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/KivCustomFields.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/SecretClipboard.h"
#include "security/SecureZero.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr unsigned kIdCopyToClipboard = 61267;
constexpr unsigned kIdCannotCopy = 61272;
constexpr unsigned kIdTabs = 61306;
} // namespace

bool CopyFieldText(const QString& text, bool secret) {
    std::string bytes = ToBytes(text);
    const bool copied = secret ? CopySecretTextToClipboard(bytes) : CopyTextToClipboard(bytes);
    if (secret)
        SecureZero(bytes);
    if (copied)
        return true;
    KivMessageBox(EdString(kIdCannotCopy), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

CEditPanel::CEditPanel(QWidget* parent)
    : QWidget(parent), m_icon(new QLabel(this)), m_change(new QPushButton(EdText(63030), this)),
      m_name(new QLineEdit(this)), m_fields(new QFormLayout), m_tabs(new QTabWidget(this)),
      m_comments(new QPlainTextEdit(this)), m_customFields(new CCustomFieldsList(this)) {
    auto* top = new QHBoxLayout;
    top->addWidget(m_icon);
    top->addWidget(m_change);
    top->addSpacing(8);
    top->addWidget(new QLabel(EdText(63032), this));
    top->addWidget(m_name, 1);

    const QStringList tabs = EdText(kIdTabs).split(QLatin1Char('\n'));
    m_tabs->addTab(m_comments, tabs.value(0));
    auto* advanced = new QWidget(this);
    auto* advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->setContentsMargins(2, 2, 2, 2);
    advancedLayout->addWidget(m_customFields);
    auto* buttons = new QHBoxLayout;
    for (int command :
         {CCustomFieldsList::kAdd, CCustomFieldsList::kProperties, CCustomFieldsList::kRemove,
          CCustomFieldsList::kMoveUp, CCustomFieldsList::kMoveDown}) {
        auto* button = new QPushButton(EdShortText(static_cast<unsigned>(command)), advanced);
        button->setToolTip(EdLongText(static_cast<unsigned>(command)));
        connect(button, &QPushButton::clicked, m_customFields,
                [this, command] { m_customFields->OnCommand(command); });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    advancedLayout->addLayout(buttons);
    m_tabs->addTab(advanced, tabs.value(1));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(m_fields);
    layout->addWidget(m_tabs, 1);

    connect(m_change, &QPushButton::clicked, this, [this] { ChangeIcon(); });
    connect(m_name, &QLineEdit::textChanged, this, [this] { MarkFieldsChanged(); });
    connect(m_comments, &QPlainTextEdit::textChanged, this, [this] { MarkFieldsChanged(); });
    connect(m_customFields, &CCustomFieldsList::FieldsChanged, this, [this] {
        m_customModified = true;
        emit Modified();
    });
    ShowImage();
}

CEditPanel::~CEditPanel() {
    // Boxes that wipe their text while they go would otherwise report a change to a panel
    // that is already half destroyed.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void CEditPanel::Load(ICommonProperties* record, int defaultImage) {
    m_loading = true;
    CKivCustomFields fields;
    if (record) {
        m_name->setText(FromBytes(record->GetName()));
        m_comments->setPlainText(FromBytes(record->GetComments()));
        m_image = record->GetImage();
        record->GetCustomFields(fields);
    } else {
        m_name->clear();
        m_comments->clear();
        m_image = defaultImage;
    }
    m_customFields->SetFields(fields);
    LoadType(record);
    ShowImage();
    m_loading = false;
    ClearModified();
}

bool CEditPanel::Store(ICommonProperties* record) {
    if (!record || !StoreType(record))
        return false;
    record->SetName(Name());
    record->SetComments(ToBytes(m_comments->toPlainText()));
    record->SetImage(m_image);
    record->SetCustomFields(m_customFields->Fields());
    return true;
}

void CEditPanel::ClearModified() {
    m_fieldsModified = false;
    m_customModified = false;
}

std::string CEditPanel::Name() const {
    return ToBytes(m_name->text());
}

void CEditPanel::SetImage(int image) {
    if (image < 0)
        return;
    m_image = image;
    ShowImage();
    MarkFieldsChanged();
}

bool CEditPanel::ChangeIcon() {
    CChangeIconDlg dialog(m_image, this);
    if (RunModal(dialog) != QDialog::Accepted || dialog.Image() < 0)
        return false;
    SetImage(dialog.Image());
    return true;
}

void CEditPanel::ShowImage() {
    if (!ImageList().IsLoaded())
        ImageList().Load();
    m_icon->setPixmap(ImageList().Icon(m_image).pixmap(32, 32));
}

void CEditPanel::MarkFieldsChanged() {
    if (m_loading)
        return;
    m_fieldsModified = true;
    emit Modified();
}

void CEditPanel::Track(QLineEdit* box) {
    connect(box, &QLineEdit::textChanged, this, [this] { MarkFieldsChanged(); });
}

void CEditPanel::Track(QComboBox* box) {
    connect(box, &QComboBox::currentTextChanged, this, [this] { MarkFieldsChanged(); });
}

QToolButton* CEditPanel::MakeCopyButton(std::function<QString()> source, bool secret) {
    auto* button = new QToolButton(this);
    button->setToolTip(EdText(kIdCopyToClipboard));
    button->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    if (button->icon().isNull())
        button->setText(QStringLiteral("C"));
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this,
            [source, secret] { CopyFieldText(source(), secret); });
    return button;
}

QToolButton* CEditPanel::AddCopyRow(const QString& label, QWidget* box, QLineEdit* source,
                                    bool secret) {
    // A password box's text always goes as a secret.
    return AddCopyRow(
        label, box, [source] { return source->text(); },
        secret || qobject_cast<CKivPasswordEdit*>(source) != nullptr);
}

QToolButton* CEditPanel::AddCopyRow(const QString& label, QWidget* box,
                                    std::function<QString()> source, bool secret) {
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    QToolButton* button = MakeCopyButton(std::move(source), secret);
    row->addWidget(button);
    m_fields->addRow(BuddyLabel(label, box), row);
    return button;
}

QLabel* CEditPanel::BuddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

QToolButton* CEditPanel::AddCopyRow(const QString& label, QComboBox* box) {
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    QToolButton* button = MakeCopyButton([box] { return box->currentText(); });
    row->addWidget(button);
    m_fields->addRow(BuddyLabel(label, box), row);
    return button;
}

void CEditPanel::InstallKeyHandling() {
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool CEditPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        // A combo box's open list takes its own Escape.
        if (auto* combo = qobject_cast<QComboBox*>(watched);
            combo && combo->view() && combo->view()->isVisible())
            return false;
        emit CloseRequested();
        return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QWidget* focus = qobject_cast<QWidget*>(watched);
        const bool keeps = qobject_cast<QAbstractButton*>(watched) || watched == m_comments ||
                           (focus && m_comments->isAncestorOf(focus));
        if (keeps)
            return false;
        focusNextChild();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
