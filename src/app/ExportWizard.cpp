#include "app/ExportWizard.h"

#include "app/ExportWizardPages.h"
#include "model/TxDoc.h"
#include "platform/TresorixSettings.h"
#include "ui/ModalRunner.h"

#include <QFileDialog>

namespace {

QString RunSaveDialog(QWidget* parent, const QString& title, const QString& filters,
                      const QString& suffix, const QString& start) {
    QFileDialog dialog(parent, title, start, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(suffix);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

CExportWizard::CExportWizard(CTxDoc& doc, CTresorixSettings& settings, QWidget* parent)
    : CPelvanLPropertySheet(QStringLiteral("Exporting Wizard"), parent), m_doc(doc),
      m_settings(settings), m_export(doc.GetTresorix().Get()), m_saveDialog(RunSaveDialog),
      m_welcome(new CExportPage0_Welcome(this)), m_type(new CExportPage1_Type(*this)),
      m_csv(new CExportPage2_CsvOptions(*this)), m_html(new CExportPage2_HtmlOptions(*this)),
      m_trx(new CExportPage2_TrxOptions(*this)), m_xml(new CExportPage2_XmlOptions(*this)),
      m_data(new CExportPage3_Data(*this)), m_fields(new CExportPage4_Fields(*this)),
      m_filename(new CExportPage5_Filename(*this)), m_finish(new CExportPage6_Finish(*this)) {
    setObjectName(QStringLiteral("ExportWizard"));
    setPage(kWelcome, m_welcome);
    setPage(kType, m_type);
    setPage(kCsvOptions, m_csv);
    setPage(kHtmlOptions, m_html);
    setPage(kTrxOptions, m_trx);
    setPage(kXmlOptions, m_xml);
    setPage(kData, m_data);
    setPage(kFields, m_fields);
    setPage(kFilename, m_filename);
    setPage(kFinish, m_finish);
    setStartId(kWelcome);
    resize(600, 460);
}

CExportWizard::~CExportWizard() {
    // The data source points at the tree page's control, which goes with the pages.
    m_export.SetDataSource(nullptr);
}

int CExportWizard::OptionsPage() const {
    switch (m_export.GetType()) {
    case CTxExport::kHtml:
        return kHtmlOptions;
    case CTxExport::kXml:
        return kXmlOptions;
    case CTxExport::kTrx:
        return kTrxOptions;
    default:
        return kCsvOptions;
    }
}

bool RunExportWizard(CTxDoc& doc, QWidget* parent) {
    if (!doc.IsAuthorised())
        return false;
    CExportWizard wizard(doc, TresorixSettings(), parent);
    RunModal(wizard);
    return wizard.FinishPage()->Succeeded();
}
