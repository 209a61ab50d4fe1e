#include "app/LinkEditorDlg.h"

#include "app/EditorStrings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace {

constexpr const char* kTypes[] = {"http://", "https://", "ftp://",    "file://",
                                  "mailto:", "news:",    "nntp:",     "gopher://",
                                  "telnet:", "wais:",    "prospero:", ""};

} // namespace

CLinkEditorDlg::CLinkEditorDlg(const QString& link, QWidget* parent)
    : QDialog(parent), m_type(new QComboBox(this)), m_url(new QLineEdit(this)) {
    setObjectName(QStringLiteral("LinkEditorDlg"));
    setWindowTitle(EdText(63005));
    for (const char* type : kTypes)
        m_type->addItem(QString::fromLatin1(type));
    m_url->setText(link.trimmed());
    auto* form = new QFormLayout(this);
    form->addRow(EdText(63006), m_type);
    form->addRow(EdText(63007), m_url);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QString CLinkEditorDlg::Link() const {
    QString url = m_url->text().trimmed();
    const QString type = m_type->currentText();
    // An address typed with its own prefix keeps it instead of getting a second one.
    if (!type.isEmpty() && url.startsWith(type, Qt::CaseInsensitive))
        return url;
    return type + url;
}
