#include "platform/TresorixSettings.h"

#include "platform/KnownFolders.h"

#include <atomic>

namespace {

std::atomic<CTresorixSettings*> g_settings{nullptr};

CTresorixSettings& DefaultSettings() {
    static CTresorixSettings settings;
    return settings;
}

} // namespace

CTresorixSettings& TresorixSettings() {
    CTresorixSettings* settings = g_settings.load();
    return settings ? *settings : DefaultSettings();
}

CTresorixSettings* SetTresorixSettings(CTresorixSettings* settings) {
    return g_settings.exchange(settings);
}

CTresorixSettings::CTresorixSettings() {
    AddNumber("WndM_SplitterWidth", WndM_SplitterWidth, 250);
    AddNumber("WndM_SplitterHeight", WndM_SplitterHeight, 250);
    AddNumber("WndM_Splitter3Height", WndM_Splitter3Height, 100);
    AddString("App_ConnectionString", App_ConnectionString, "");
    AddString("App_LastUsername", App_LastUsername, "");
    AddNumber("App_SuccesOnOpen", App_SuccesOnOpen, 0);
    AddString("App_ExistedDatafile", App_ExistedDatafile, "");
    AddNumber("App_StartupOptionsSelected", App_StartupOptionsSelected, 0);
    AddString("App_CreatedDatafileDir", App_CreatedDatafileDir, "");
    AddNumber("App_ClearClipboardOnExit", App_ClearClipboardOnExit, 0);
    AddNumber("App_ClearClipboardOnMinimize", App_ClearClipboardOnMinimize, 0);
    AddNumber("App_ClearClipboardHotkey", App_ClearClipboardHotkey, 0);
    AddNumber("App_ShowPasswords", App_ShowPasswords, 0);
    AddNumber("Cache_CacheLoadedItems", Cache_CacheLoadedItems, 1);
    AddNumber("Cache_InvalidateCache", Cache_InvalidateCache, 1);
    AddNumber("View_ShowPreviewPanel", View_ShowPreviewPanel, 1);
    AddNumber("View_ShowFoldersInListView", View_ShowFoldersInListView, 0);
    AddNumber("View_SelectedView", View_SelectedView, 0);
    AddNumber("View_ShowGridLines", View_ShowGridLines, 0);
    AddNumber("View_FullRowSelect", View_FullRowSelect, 0);
    AddNumber("View_TreeViewLargeIcons", View_TreeViewLargeIcons, 0);
    AddNumber("View_FavViewLargeIcons", View_FavViewLargeIcons, 1);
    AddNumber("View_AdvancedCaption", View_AdvancedCaption, 0);
    AddNumber("View_EditUnknownLinks", View_EditUnknownLinks, 1);
    AddNumber("View_RememberTabs", View_RememberTabs, 1);
    AddNumber("View_TabSelectedPassword", View_TabSelectedPassword, 0);
    AddNumber("View_TabSelectedCreditCard", View_TabSelectedCreditCard, 2);
    AddNumber("View_TabSelectedFile", View_TabSelectedFile, 0);
    AddNumber("View_TabSelectedNote", View_TabSelectedNote, 0);
    AddNumber("View_TabSelectedUrl", View_TabSelectedUrl, 0);
    AddNumber("View_TabSelectedPasswordEdit", View_TabSelectedPasswordEdit, 0);
    AddNumber("View_TabSelectedCreditCardEdit", View_TabSelectedCreditCardEdit, 0);
    AddNumber("View_TabSelectedFileEdit", View_TabSelectedFileEdit, 0);
    AddNumber("View_TabSelectedNoteEdit", View_TabSelectedNoteEdit, 0);
    AddNumber("View_TabSelectedUrlEdit", View_TabSelectedUrlEdit, 0);
    AddNumber("View_ToolbarBtnSave", View_ToolbarBtnSave, 0);
    AddNumber("Pasgen_Exclude", Pasgen_Exclude, 0);
    AddNumber("Pasgen_Lower", Pasgen_Lower, 1);
    AddNumber("Pasgen_Nums", Pasgen_Nums, 1);
    AddNumber("Pasgen_OtherE", Pasgen_OtherE, 0);
    AddNumber("Pasgen_PrononceE", Pasgen_PrononceE, 0);
    AddNumber("Pasgen_Special", Pasgen_Special, 1);
    AddNumber("Pasgen_Upper", Pasgen_Upper, 1);
    AddNumber("Pasgen_Lenght", Pasgen_Lenght, 16);
    AddNumber("Pasgen_Prononce", Pasgen_Prononce, 1);
    AddString("Pasgen_Other", Pasgen_Other, "");
    AddNumber("Search_NameChecked", Search_NameChecked, 1);
    AddNumber("Search_LoginCheked", Search_LoginCheked, 1);
    AddNumber("Search_URLChecked", Search_URLChecked, 1);
    AddNumber("Search_CommentsChecked", Search_CommentsChecked, 1);
    AddNumber("Search_CardholderChecked", Search_CardholderChecked, 0);
    AddNumber("Search_AddressChecked", Search_AddressChecked, 0);
    AddNumber("Search_FilenameChecked", Search_FilenameChecked, 0);
    AddNumber("Search_SubfoldersChecked", Search_SubfoldersChecked, 1);
    AddNumber("Files_LastSelectedFilterAddFile", Files_LastSelectedFilterAddFile, 0);
    AddString("Files_LastSelectedFolderAddFile", Files_LastSelectedFolderAddFile, "C:\\");
    AddNumber("Files_FileChangedAction", Files_FileChangedAction, 0);
    AddNumber("CustomFields_SortColumn", CustomFields_SortColumn, -1);
    AddNumber("CustomFields_SortOrder", CustomFields_SortOrder, 0);
    AddNumber("Tray_Enable", Tray_Enable, 1);
    AddNumber("Tray_Apearance", Tray_Apearance, 0);
    AddNumber("Tray_HideMinimize", Tray_HideMinimize, 1);
    AddNumber("Tray_HideClose", Tray_HideClose, 0);
    AddNumber("Tray_HideFromTaskbar", Tray_HideFromTaskbar, 1);
    AddNumber("ALogout_Enable", ALogout_Enable, 1);
    AddNumber("ALogout_Time", ALogout_Time, 5);
    AddNumber("ALogout_OnTray", ALogout_OnTray, 0);
    AddNumber("ALogout_OnScreenSaver", ALogout_OnScreenSaver, 1);
    AddString("Import_LastCsvFile", Import_LastCsvFile, "");
    AddString("Import_CsvFieldSeparator", Import_CsvFieldSeparator, ";");
    AddNumber("Import_CsvFirstRowIsHeader", Import_CsvFirstRowIsHeader, 0);
    AddNumber("Import_CsvStripQuotes", Import_CsvStripQuotes, 0);
    AddNumber("Export_ExportType", Export_ExportType, 0);
    AddNumber("Export_ChangeCRLF", Export_ChangeCRLF, 1);
    AddNumber("Export_CheckCascade", Export_CheckCascade, 1);
    AddString("Export_ExportColumns", Export_ExportColumns, "");
    AddNumber("Export_ColumnsSortBy", Export_ColumnsSortBy, 0);
    AddString("Export_Filename", Export_Filename, "");
    AddNumber("Export_OpenFile", Export_OpenFile, 1);
    AddNumber("Export_HtmlReportType", Export_HtmlReportType, 0);
    AddNumber("Export_HtmlFullWidth", Export_HtmlFullWidth, 1);
    AddNumber("Export_HtmlVariegatedRows", Export_HtmlVariegatedRows, 0);
    AddString("Export_HtmlReportTitle", Export_HtmlReportTitle, "");
    AddNumber("Export_HtmlReportSearchField", Export_HtmlReportSearchField, 0);
    AddNumber("Export_XmlReportCustomFields", Export_XmlReportCustomFields, 1);
    AddNumber("Backup_RemaindDays", Backup_RemaindDays, 7);
    AddNumber("Backup_RemaindDaysEnable", Backup_RemaindDaysEnable, 1);
    AddNumber("Backup_AppendTimestamp", Backup_AppendTimestamp, 1);
    AddString("Backup_LastBackup", Backup_LastBackup, "");
    AddString("BackupToFolder", BackupToFolder, DefaultBackupFolder());
    AddString("Backup_Timestamp", Backup_Timestamp, "_%Y_%m_%d_%H_%M_%S");
    AddNumber("Backup_NextTime", Backup_NextTime, 0);
}
