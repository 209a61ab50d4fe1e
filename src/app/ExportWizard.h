#pragma once

#include "tools/TxExport.h"
#include "ui/PelvanLPropertySheet.h"

#include <QString>

#include <functional>

class CExportPage0_Welcome;
class CExportPage1_Type;
class CExportPage2_CsvOptions;
class CExportPage2_HtmlOptions;
class CExportPage2_TrxOptions;
class CExportPage2_XmlOptions;
class CExportPage3_Data;
class CExportPage4_Fields;
class CExportPage5_Filename;
class CExportPage6_Finish;
class CTresorixSettings;
class CTxDoc;

// "Exporting Wizard": the format and its options, the data, the columns and the file; the
// last page runs the export.
class CExportWizard : public CPelvanLPropertySheet {
    Q_OBJECT

public:
    enum PAGE {
        kWelcome,
        kType,
        kCsvOptions,
        kHtmlOptions,
        kTrxOptions,
        kXmlOptions,
        kData,
        kFields,
        kFilename,
        kFinish
    };
    // Asks for a file to save to: the chosen path, empty for Cancel.
    using SAVE_DIALOG =
        std::function<QString(QWidget* parent, const QString& title, const QString& filters,
                              const QString& suffix, const QString& start)>;

    CExportWizard(CTxDoc& doc, CTresorixSettings& settings, QWidget* parent = nullptr);
    ~CExportWizard() override;

    CTxExport& Export() { return m_export; }
    CTxDoc& Document() { return m_doc; }
    CTresorixSettings& Settings() { return m_settings; }
    // The option page of the chosen type.
    int OptionsPage() const;

    void SetSaveDialog(SAVE_DIALOG dialog) { m_saveDialog = std::move(dialog); }
    const SAVE_DIALOG& SaveDialog() const { return m_saveDialog; }

    CExportPage1_Type* TypePage() const { return m_type; }
    CExportPage2_CsvOptions* CsvPage() const { return m_csv; }
    CExportPage2_HtmlOptions* HtmlPage() const { return m_html; }
    CExportPage2_TrxOptions* TrxPage() const { return m_trx; }
    CExportPage2_XmlOptions* XmlPage() const { return m_xml; }
    CExportPage3_Data* DataPage() const { return m_data; }
    CExportPage4_Fields* FieldsPage() const { return m_fields; }
    CExportPage5_Filename* FilenamePage() const { return m_filename; }
    CExportPage6_Finish* FinishPage() const { return m_finish; }

private:
    CTxDoc& m_doc;
    CTresorixSettings& m_settings;
    CTxExport m_export;
    SAVE_DIALOG m_saveDialog;
    CExportPage0_Welcome* m_welcome;
    CExportPage1_Type* m_type;
    CExportPage2_CsvOptions* m_csv;
    CExportPage2_HtmlOptions* m_html;
    CExportPage2_TrxOptions* m_trx;
    CExportPage2_XmlOptions* m_xml;
    CExportPage3_Data* m_data;
    CExportPage4_Fields* m_fields;
    CExportPage5_Filename* m_filename;
    CExportPage6_Finish* m_finish;
};

// The export command: runs the wizard on the open data file; true when a file was written.
bool RunExportWizard(CTxDoc& doc, QWidget* parent);
