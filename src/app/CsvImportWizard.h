#pragma once

#include "app/FolderPickerDlg.h"
#include "tools/CsvImport.h"
#include "ui/PelvanLPropertySheet.h"

#include <QString>

#include <functional>

class CImportCsvPageFields;
class CImportCsvPageFile;
class CImportCsvPageFinish;
class CImportCsvPageValues;
class CImportCsvPageWelcome;
class CImportCsvSelectFolder;
class CTresorixSettings;
class CTxDoc;

// "Importing Wizard": password records from CSV text (a file or the clipboard) into a folder.
// The pages share one importer; the records are stored when the last page opens.
class CCsvImportWizard : public CPelvanLPropertySheet {
    Q_OBJECT

public:
    enum PAGE { kWelcome, kFile, kFields, kValues, kFolder, kFinish };
    // Asks for a file to open: the chosen path, empty for Cancel.
    using OPEN_DIALOG = std::function<QString(QWidget* parent, const QString& title,
                                              const QString& filters, const QString& start)>;

    CCsvImportWizard(CTxDoc& doc, CTresorixSettings& settings, int targetFolder,
                     QWidget* parent = nullptr);
    ~CCsvImportWizard() override;

    CCsvImport& Import() { return m_import; }
    CTxDoc& Document() { return m_doc; }
    CTresorixSettings& Settings() { return m_settings; }

    // Tests replace the file-open dialog and the folder picker.
    void SetOpenDialog(OPEN_DIALOG dialog) { m_openDialog = std::move(dialog); }
    const OPEN_DIALOG& OpenDialog() const { return m_openDialog; }
    void SetFolderPicker(FOLDER_PICKER picker) { m_folderPicker = std::move(picker); }
    const FOLDER_PICKER& FolderPicker() const { return m_folderPicker; }

    CImportCsvPageFile* FilePage() const { return m_file; }
    CImportCsvPageFields* FieldsPage() const { return m_fields; }
    CImportCsvPageValues* ValuesPage() const { return m_values; }
    CImportCsvSelectFolder* FolderPage() const { return m_folder; }
    CImportCsvPageFinish* FinishPage() const { return m_finish; }

    void done(int result) override;

private:
    CTxDoc& m_doc;
    CTresorixSettings& m_settings;
    CCsvImport m_import;
    OPEN_DIALOG m_openDialog;
    FOLDER_PICKER m_folderPicker;
    CImportCsvPageWelcome* m_welcome;
    CImportCsvPageFile* m_file;
    CImportCsvPageFields* m_fields;
    CImportCsvPageValues* m_values;
    CImportCsvSelectFolder* m_folder;
    CImportCsvPageFinish* m_finish;
};

// The import command: the wizard on the folder open in the main window; returns the number of
// records stored.
int RunCsvImport(CTxDoc& doc, QWidget* parent);
