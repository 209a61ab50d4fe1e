#include "app/PreviewPanels.h"

#include "app/AppStrings.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/KivCustomFields.h"
#include "platform/TresorixSettings.h"
#include "ui/CopyButton.h"
#include "ui/HyperlinkEdit.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr const char* kMasked = "************";

QPlainTextEdit* MakeComments() {
    auto* edit = new QPlainTextEdit;
    edit->setReadOnly(true);
    return edit;
}

QWidget* Wrap(QWidget* inner) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(inner);
    return page;
}

void WipeEdit(QPlainTextEdit* edit) {
    edit->setPlainText(QString());
}

} // namespace

QLineEdit* CPreviewPanel::AddField(QFormLayout& form, unsigned label, bool isUrl) {
    QLineEdit* edit = isUrl ? new CHyperlinkEdit : new QLineEdit;
    edit->setReadOnly(true);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(edit, 1);
    row->addWidget(new CCopyButton([edit] { return edit->text(); }));
    if (isUrl) {
        auto* go = new QToolButton;
        go->setToolTip(Tr(ids::kGoTo));
        go->setIcon(QIcon::fromTheme(QStringLiteral("go-jump")));
        go->setAutoRaise(true);
        connect(go, &QToolButton::clicked, edit,
                [edit] { static_cast<CHyperlinkEdit*>(edit)->OpenLink(); });
        row->addWidget(go);
    }
    form.addRow(Tr(label), row);
    m_fields.push_back(edit);
    return edit;
}

CKivPasswordEdit* CPreviewPanel::AddSecret(QFormLayout& form, unsigned label) {
    auto* edit = new CKivPasswordEdit;
    edit->setReadOnly(true);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(edit, 1);
    row->addWidget(new CCopyButton([edit] { return edit->text(); }, nullptr, true));
    form.addRow(Tr(label), row);
    m_fields.push_back(edit);
    return edit;
}

QTabWidget* CPreviewPanel::MakeTabs(unsigned tabsId, int* remembered, std::vector<QWidget*> pages) {
    auto* tabs = new QTabWidget;
    const QStringList names = Tr(tabsId).split(u'\n');
    for (std::size_t i = 0; i < pages.size(); ++i)
        tabs->addTab(pages[i], names.value(static_cast<qsizetype>(i)));
    if (remembered && TresorixSettings().View_RememberTabs && *remembered >= 0 &&
        *remembered < tabs->count())
        tabs->setCurrentIndex(*remembered);
    connect(tabs, &QTabWidget::currentChanged, tabs, [remembered](int index) {
        if (remembered && TresorixSettings().View_RememberTabs)
            *remembered = index;
    });
    return tabs;
}

void CPreviewPanel::ClearFields() {
    for (QLineEdit* field : m_fields) {
        if (auto* secret = dynamic_cast<CKivPasswordEdit*>(field))
            secret->Wipe();
        else
            field->clear();
    }
}

CCustomFieldsPreview::CCustomFieldsPreview(QWidget* parent) : QWidget(parent) {
    m_list = new QTreeWidget;
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({Tr(ids::kColumnName), Tr(ids::kPreviewCustomFields)});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

void CCustomFieldsPreview::ShowRecord(ICommonProperties& record) {
    Clear();
    CKivCustomFields fields;
    record.GetCustomFields(fields);
    const bool show = TresorixSettings().App_ShowPasswords != 0;
    for (int i = 0; i < fields.GetCount(); ++i) {
        const CKivCustomFields::CUSTOMFIELD& field = fields.GetAt(i);
        const QString value =
            field.masked && !show ? QString::fromLatin1(kMasked) : FromBytes(field.value);
        new QTreeWidgetItem(m_list, {FromBytes(field.name), value});
    }
}

void CCustomFieldsPreview::Clear() {
    m_list->clear();
}

CPasswordPreview::CPasswordPreview(QWidget* parent) : CPreviewPanel(parent) {
    setObjectName(QStringLiteral("PasswordPreview"));
    auto* form = new QFormLayout;
    m_login = AddField(*form, ids::kPreviewLogin);
    m_password = AddSecret(*form, ids::kPreviewPassword);
    m_email = AddField(*form, ids::kPreviewEmail);
    m_url = AddField(*form, ids::kPreviewUrl, true);
    m_comments = MakeComments();
    m_custom = new CCustomFieldsPreview;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeTabs(ids::kPasswordTabs, &TresorixSettings().View_TabSelectedPassword,
                               {Wrap(m_comments), Wrap(m_custom)}),
                      1);
}

void CPasswordPreview::ShowRecord(ICommonProperties& record) {
    Clear();
    TComPtr<IPasswordProperties> password = GetPasswordProperties(TComPtr<IUnknown>(&record));
    if (password) {
        m_login->setText(FromBytes(password->GetLogin()));
        m_password->setText(FromBytes(password->GetPassword()));
        m_email->setText(FromBytes(password->GetEmail()));
        m_url->setText(FromBytes(password->GetURL()));
    }
    m_comments->setPlainText(FromBytes(record.GetComments()));
    m_custom->ShowRecord(record);
}

void CPasswordPreview::Clear() {
    ClearFields();
    WipeEdit(m_comments);
    m_custom->Clear();
}

CCreditCardPreview::CCreditCardPreview(QWidget* parent) : CPreviewPanel(parent) {
    setObjectName(QStringLiteral("CreditCardPreview"));
    auto* general = new QWidget;
    auto* form = new QFormLayout(general);
    m_nameOnCard = AddField(*form, ids::kPreviewNameOnCard);
    m_number = AddField(*form, ids::kPreviewNumber);
    m_code = AddSecret(*form, ids::kPreviewSecurityCode);
    m_pin = AddSecret(*form, ids::kPreviewPin);
    m_type = AddField(*form, ids::kPreviewCardType);
    m_expiration = AddField(*form, ids::kPreviewExpiration);
    m_bank = AddField(*form, ids::kPreviewBank);
    m_address = AddField(*form, ids::kPreviewAddress);
    m_city = AddField(*form, ids::kPreviewCity);
    m_country = AddField(*form, ids::kPreviewCountry);
    m_comments = MakeComments();
    m_custom = new CCustomFieldsPreview;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeTabs(ids::kCreditCardTabs, &TresorixSettings().View_TabSelectedCreditCard,
                               {general, Wrap(m_comments), Wrap(m_custom)}));
}

void CCreditCardPreview::ShowRecord(ICommonProperties& record) {
    Clear();
    if (TComPtr<ICreditCardProperties> card = GetCreditCardProperties(TComPtr<IUnknown>(&record))) {
        m_nameOnCard->setText(FromBytes(card->GetNameOnCard()));
        m_number->setText(FromBytes(card->GetNumber()));
        m_code->setText(FromBytes(card->GetSecurityCode()));
        m_pin->setText(FromBytes(card->GetPIN()));
        m_type->setText(FromBytes(card->GetCardType()));
        QString expiration = FromBytes(card->GetExpirationDate());
        expiration.replace(u'\n', u'/');
        m_expiration->setText(expiration);
        m_bank->setText(FromBytes(card->GetBankInfo()));
        QString address = FromBytes(card->GetAddress1());
        if (!card->GetAddress2().empty())
            address += QStringLiteral(", ") + FromBytes(card->GetAddress2());
        m_address->setText(address);
        m_city->setText(QStringList{FromBytes(card->GetCity()), FromBytes(card->GetState()),
                                    FromBytes(card->GetZip())}
                            .join(QStringLiteral(" "))
                            .simplified());
        m_country->setText(FromBytes(card->GetCountry()));
    }
    m_comments->setPlainText(FromBytes(record.GetComments()));
    m_custom->ShowRecord(record);
}

void CCreditCardPreview::Clear() {
    ClearFields();
    WipeEdit(m_comments);
    m_custom->Clear();
}

CFilePreview::CFilePreview(QWidget* parent) : CPreviewPanel(parent) {
    setObjectName(QStringLiteral("FilePreview"));
    auto* form = new QFormLayout;
    m_fileName = AddField(*form, ids::kPreviewFileName);
    m_comments = MakeComments();
    m_custom = new CCustomFieldsPreview;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeTabs(ids::kPasswordTabs, &TresorixSettings().View_TabSelectedFile,
                               {Wrap(m_comments), Wrap(m_custom)}),
                      1);
}

void CFilePreview::ShowRecord(ICommonProperties& record) {
    Clear();
    if (TComPtr<IFileProperties> file = GetFileProperties(TComPtr<IUnknown>(&record))) {
        QString name = FromBytes(file->GetFileName());
        const QString extension = FromBytes(file->GetExtension());
        if (!extension.isEmpty() && !name.endsWith(extension, Qt::CaseInsensitive))
            name += extension;
        m_fileName->setText(name);
    }
    m_comments->setPlainText(FromBytes(record.GetComments()));
    m_custom->ShowRecord(record);
}

void CFilePreview::Clear() {
    ClearFields();
    WipeEdit(m_comments);
    m_custom->Clear();
}

CNotePreview::CNotePreview(QWidget* parent) : CPreviewPanel(parent) {
    setObjectName(QStringLiteral("NotePreview"));
    m_text = MakeComments();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
}

void CNotePreview::ShowRecord(ICommonProperties& record) {
    m_text->setPlainText(FromBytes(record.GetComments()));
}

void CNotePreview::Clear() {
    WipeEdit(m_text);
}

CUrlPreview::CUrlPreview(QWidget* parent) : CPreviewPanel(parent) {
    setObjectName(QStringLiteral("UrlPreview"));
    auto* form = new QFormLayout;
    m_url = AddField(*form, ids::kPreviewUrl, true);
    m_comments = MakeComments();
    m_custom = new CCustomFieldsPreview;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeTabs(ids::kPasswordTabs, &TresorixSettings().View_TabSelectedUrl,
                               {Wrap(m_comments), Wrap(m_custom)}),
                      1);
}

void CUrlPreview::ShowRecord(ICommonProperties& record) {
    Clear();
    if (TComPtr<IPasswordProperties> url = GetPasswordProperties(TComPtr<IUnknown>(&record)))
        m_url->setText(FromBytes(url->GetURL()));
    m_comments->setPlainText(FromBytes(record.GetComments()));
    m_custom->ShowRecord(record);
}

void CUrlPreview::Clear() {
    ClearFields();
    WipeEdit(m_comments);
    m_custom->Clear();
}

CPreviewContainer::CPreviewContainer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewContainer"));
    m_stack = new QStackedWidget;
    m_stack->addWidget(new QWidget);
    m_panels = {new CPasswordPreview, new CCreditCardPreview, new CFilePreview, new CNotePreview,
                new CUrlPreview};
    for (CPreviewPanel* panel : m_panels)
        m_stack->addWidget(panel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
}

CPreviewPanel* CPreviewContainer::Panel(PANEL panel) const {
    return panel == kNone ? nullptr : m_panels[static_cast<std::size_t>(panel) - 1];
}

void CPreviewContainer::ShowRecord(TComPtr<ICommonProperties> record) {
    Clear();
    if (!record)
        return;
    CLSID clsid{};
    record->GetClassID(clsid);
    PANEL panel = kNone;
    if (clsid == CLSID_PasswordItem)
        panel = kPassword;
    else if (clsid == CLSID_CreditCardItem)
        panel = kCreditCard;
    else if (clsid == CLSID_FileItem)
        panel = kFile;
    else if (clsid == CLSID_Note)
        panel = kNote;
    else if (clsid == CLSID_UrlItem)
        panel = kUrl;
    if (panel == kNone)
        return;
    Panel(panel)->ShowRecord(*record);
    m_stack->setCurrentIndex(static_cast<int>(panel));
    m_current = panel;
}

void CPreviewContainer::Clear() {
    if (m_current != kNone)
        Panel(m_current)->Clear();
    m_stack->setCurrentIndex(0);
    m_current = kNone;
}
