#pragma once

#include "platform/Settings.h"

#include <string>

// The program's options: one member per profile value, named exactly like the value (typing
// errors included, since existing profiles use those names). Built with every default in
// place; Load() once at start-up, Save() once at exit.
class CTresorixSettings : public CSettings {
public:
    CTresorixSettings();

    int WndM_SplitterWidth = 0;
    int WndM_SplitterHeight = 0;
    int WndM_Splitter3Height = 0;
    std::string App_ConnectionString;
    std::string App_LastUsername;
    int App_SuccesOnOpen = 0;
    std::string App_ExistedDatafile;
    int App_StartupOptionsSelected = 0;
    std::string App_CreatedDatafileDir;
    int App_ClearClipboardOnExit = 0;
    int App_ClearClipboardOnMinimize = 0;
    int App_ClearClipboardHotkey = 0;
    int App_ShowPasswords = 0;
    int Cache_CacheLoadedItems = 0;
    int Cache_InvalidateCache = 0;
    int View_ShowPreviewPanel = 0;
    int View_ShowFoldersInListView = 0;
    int View_SelectedView = 0;
    int View_ShowGridLines = 0;
    int View_FullRowSelect = 0;
    int View_TreeViewLargeIcons = 0;
    int View_FavViewLargeIcons = 0;
    int View_AdvancedCaption = 0;
    int View_EditUnknownLinks = 0;
    int View_RememberTabs = 0;
    int View_TabSelectedPassword = 0;
    int View_TabSelectedCreditCard = 0;
    int View_TabSelectedFile = 0;
    int View_TabSelectedNote = 0;
    int View_TabSelectedUrl = 0;
    int View_TabSelectedPasswordEdit = 0;
    int View_TabSelectedCreditCardEdit = 0;
    int View_TabSelectedFileEdit = 0;
    int View_TabSelectedNoteEdit = 0;
    int View_TabSelectedUrlEdit = 0;
    int View_ToolbarBtnSave = 0;
    int Pasgen_Exclude = 0;
    int Pasgen_Lower = 0;
    int Pasgen_Nums = 0;
    int Pasgen_OtherE = 0;
    int Pasgen_PrononceE = 0;
    int Pasgen_Special = 0;
    int Pasgen_Upper = 0;
    int Pasgen_Lenght = 0;
    int Pasgen_Prononce = 0;
    std::string Pasgen_Other;
    int Search_NameChecked = 0;
    int Search_LoginCheked = 0;
    int Search_URLChecked = 0;
    int Search_CommentsChecked = 0;
    int Search_CardholderChecked = 0;
    int Search_AddressChecked = 0;
    int Search_FilenameChecked = 0;
    int Search_SubfoldersChecked = 0;
    int Files_LastSelectedFilterAddFile = 0;
    std::string Files_LastSelectedFolderAddFile;
    int Files_FileChangedAction = 0;
    int CustomFields_SortColumn = 0;
    int CustomFields_SortOrder = 0;
    int Tray_Enable = 0;
    int Tray_Apearance = 0;
    int Tray_HideMinimize = 0;
    int Tray_HideClose = 0;
    int Tray_HideFromTaskbar = 0;
    int ALogout_Enable = 0;
    int ALogout_Time = 0;
    int ALogout_OnTray = 0;
    int ALogout_OnScreenSaver = 0;
    std::string Import_LastCsvFile;
    std::string Import_CsvFieldSeparator;
    int Import_CsvFirstRowIsHeader = 0;
    int Import_CsvStripQuotes = 0;
    int Export_ExportType = 0;
    int Export_ChangeCRLF = 0;
    int Export_CheckCascade = 0;
    std::string Export_ExportColumns;
    int Export_ColumnsSortBy = 0;
    std::string Export_Filename;
    int Export_OpenFile = 0;
    int Export_HtmlReportType = 0;
    int Export_HtmlFullWidth = 0;
    int Export_HtmlVariegatedRows = 0;
    std::string Export_HtmlReportTitle;
    int Export_HtmlReportSearchField = 0;
    int Export_XmlReportCustomFields = 0;
    int Backup_RemaindDays = 0;
    int Backup_RemaindDaysEnable = 0;
    int Backup_AppendTimestamp = 0;
    std::string Backup_LastBackup;
    std::string BackupToFolder;
    std::string Backup_Timestamp;
    int Backup_NextTime = 0;
};

// The settings object of the process, for code below the application that reads options
// (cache, backups); never null (defaults until the application installs its own).
CTresorixSettings& TresorixSettings();
// Installs a settings object (not owned); null restores the default. Returns the previous one.
CTresorixSettings* SetTresorixSettings(CTresorixSettings* settings);
