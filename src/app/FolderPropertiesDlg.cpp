#include "app/FolderPropertiesDlg.h"

#include "app/AppStrings.h"
#include "app/Commands.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/FileTime.h"
#include "ui/TextBytes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

constexpr unsigned kIdName = 61211;
constexpr unsigned kIdComments = 61212;
constexpr unsigned kIdModified = 61213;
constexpr unsigned kIdCreated = 61214;

QLineEdit* ReadOnlyBox() {
    auto* box = new QLineEdit;
    box->setReadOnly(true);
    return box;
}

QString TimeText(bool known, FILETIME64 time) {
    return known && time ? QString::fromStdString(FileTimeToLocalText(time)) : QString();
}

} // namespace

CFolderPropertiesDlg::CFolderPropertiesDlg(CTxDoc& doc, int folder, QWidget* parent)
    : QDialog(parent), m_name(ReadOnlyBox()), m_comments(new QPlainTextEdit),
      m_modified(ReadOnlyBox()), m_created(ReadOnlyBox()) {
    setObjectName(QStringLiteral("FolderPropertiesDlg"));
    // "Display folder properties\tProperties": the part after the tab names the window.
    setWindowTitle(Tr(cmd::kFolderProperties).section(u'\t', -1));
    m_comments->setReadOnly(true);
    auto* form = new QFormLayout;
    form->addRow(Tr(kIdName), m_name);
    form->addRow(Tr(kIdComments), m_comments);
    form->addRow(Tr(kIdModified), m_modified);
    form->addRow(Tr(kIdCreated), m_created);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (TComPtr<ICommonProperties> record = doc.GetRecord(folder)) {
        m_name->setText(FromBytes(record->GetName()));
        m_comments->setPlainText(FromBytes(record->GetComments()));
        FILETIME64 time = 0;
        const bool modified = record->GetModified(time);
        m_modified->setText(TimeText(modified, time));
        time = 0;
        const bool created = record->GetCreated(time);
        m_created->setText(TimeText(created, time));
    }
}
