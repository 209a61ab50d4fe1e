#include "app/CsvImportWizard.h"

#include "app/CsvImportWizardPages.h"
#include "model/TxDoc.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QFileDialog>

namespace {

constexpr unsigned kIdsWizardCaption = 62241;

QString RunOpenDialog(QWidget* parent, const QString& title, const QString& filters,
                      const QString& start) {
    QFileDialog dialog(parent, title, start, filters);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

CCsvImportWizard::CCsvImportWizard(CTxDoc& doc, CTresorixSettings& settings, int targetFolder,
                                   QWidget* parent)
    : CPelvanLPropertySheet(FromBytes(LoadString(kIdsWizardCaption)), parent), m_doc(doc),
      m_settings(settings), m_import(&doc), m_openDialog(RunOpenDialog), m_folderPicker(PickFolder),
      m_welcome(new CImportCsvPageWelcome(this)), m_file(new CImportCsvPageFile(*this)),
      m_fields(new CImportCsvPageFields(*this)), m_values(new CImportCsvPageValues(*this)),
      m_folder(new CImportCsvSelectFolder(*this)), m_finish(new CImportCsvPageFinish(*this)) {
    setObjectName(QStringLiteral("CsvImportWizard"));
    m_import.SetTargetFolder(targetFolder);
    setPage(kWelcome, m_welcome);
    setPage(kFile, m_file);
    setPage(kFields, m_fields);
    setPage(kValues, m_values);
    setPage(kFolder, m_folder);
    setPage(kFinish, m_finish);
    setStartId(kWelcome);
    resize(560, 420);
}

CCsvImportWizard::~CCsvImportWizard() = default;

void CCsvImportWizard::done(int result) {
    // Once stored, the records are there whichever way the wizard is closed.
    if (m_finish->Committed())
        CsvImportPages::OnWizardFinish(m_import);
    CPelvanLPropertySheet::done(result);
}

int RunCsvImport(CTxDoc& doc, QWidget* parent) {
    if (!doc.IsAuthorised())
        return 0;
    CCsvImportWizard wizard(doc, TresorixSettings(), doc.GetCurrentFolder(), parent);
    RunModal(wizard);
    return wizard.FinishPage()->Count();
}
