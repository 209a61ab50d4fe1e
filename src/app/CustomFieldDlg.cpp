#include "app/CustomFieldDlg.h"

#include "app/EditorStrings.h"
#include "ui/TextBytes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace {

constexpr const char* kCaptions[CCustomFieldDlg::kCaptionCount] = {"First Name",
                                                                   "Middle Name",
                                                                   "Last Name",
                                                                   "City",
                                                                   "State",
                                                                   "Country",
                                                                   "ZIP",
                                                                   "Apartment",
                                                                   "Phone",
                                                                   "Phone2",
                                                                   "Cellular",
                                                                   "E-mail",
                                                                   "E-mail2",
                                                                   "E-mail3",
                                                                   "URL",
                                                                   "URL2",
                                                                   "URL3",
                                                                   "Secret Word",
                                                                   "Nick",
                                                                   "Person",
                                                                   "Username",
                                                                   "ICQ",
                                                                   "MSN",
                                                                   "Web",
                                                                   "Chat",
                                                                   "Program",
                                                                   "Location",
                                                                   "Bank Information",
                                                                   "Registration Key",
                                                                   "Activation Key",
                                                                   "License Key",
                                                                   "Licensed To",
                                                                   "Registered To",
                                                                   "Gender",
                                                                   "POP3 Server",
                                                                   "POP3 Port",
                                                                   "SMTP Server",
                                                                   "SMTP Port",
                                                                   "Proxy Server",
                                                                   "Proxy Server Port",
                                                                   "Proxy Server Login",
                                                                   "Proxy Server Password",
                                                                   "Proxy Server Login"};

std::string Blanked(std::string text, const char* separators) {
    for (char& c : text)
        for (const char* s = separators; *s; ++s)
            if (c == *s)
                c = ' ';
    return text;
}

} // namespace

const char* const* CCustomFieldDlg::Captions() {
    return kCaptions;
}

CCustomFieldDlg::CCustomFieldDlg(QWidget* parent)
    : QDialog(parent), m_name(new QComboBox(this)), m_value(new QLineEdit(this)),
      m_mask(new QCheckBox(EdText(63004), this)) {
    setObjectName(QStringLiteral("CustomFieldDlg"));
    setWindowTitle(EdText(63001));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    for (const char* caption : kCaptions)
        m_name->addItem(QString::fromLatin1(caption));
    m_name->setCurrentIndex(-1);
    m_name->setEditText(QString());
    connect(m_mask, &QCheckBox::toggled, this, [this](bool on) {
        m_value->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
    });
    auto* form = new QFormLayout(this);
    form->addRow(EdText(63002), m_name);
    form->addRow(EdText(63003), m_value);
    form->addRow(QString(), m_mask);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    resize(380, sizeHint().height());
}

void CCustomFieldDlg::SetField(const std::string& name, const std::string& value, bool masked) {
    m_name->setEditText(FromBytes(name));
    m_value->setText(FromBytes(value));
    m_mask->setChecked(masked);
    m_value->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

std::string CCustomFieldDlg::Name() const {
    return Blanked(ToBytes(m_name->currentText()), "\t\r\n");
}

std::string CCustomFieldDlg::Value() const {
    return Blanked(ToBytes(m_value->text()), "\r\n");
}

bool CCustomFieldDlg::Masked() const {
    return m_mask->isChecked();
}
