#include "platform/KnownFolders.h"
#include "platform/MemoryProfileStore.h"
#include "platform/TresorixSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct EXPECTED {
    const char* name;
    bool isNumber;
    const char* defaultValue; // null: the computed backup folder
};

// The profile values in registration order, with their types and defaults.
const std::vector<EXPECTED> kExpected = {
    {"WndM_SplitterWidth", true, "250"},
    {"WndM_SplitterHeight", true, "250"},
    {"WndM_Splitter3Height", true, "100"},
    {"App_ConnectionString", false, ""},
    {"App_LastUsername", false, ""},
    {"App_SuccesOnOpen", true, "0"},
    {"App_ExistedDatafile", false, ""},
    {"App_StartupOptionsSelected", true, "0"},
    {"App_CreatedDatafileDir", false, ""},
    {"App_ClearClipboardOnExit", true, "0"},
    {"App_ClearClipboardOnMinimize", true, "0"},
    {"App_ClearClipboardHotkey", true, "0"},
    {"App_ShowPasswords", true, "0"},
    {"Cache_CacheLoadedItems", true, "1"},
    {"Cache_InvalidateCache", true, "1"},
    {"View_ShowPreviewPanel", true, "1"},
    {"View_ShowFoldersInListView", true, "0"},
    {"View_SelectedView", true, "0"},
    {"View_ShowGridLines", true, "0"},
    {"View_FullRowSelect", true, "0"},
    {"View_TreeViewLargeIcons", true, "0"},
    {"View_FavViewLargeIcons", true, "1"},
    {"View_AdvancedCaption", true, "0"},
    {"View_EditUnknownLinks", true, "1"},
    {"View_RememberTabs", true, "1"},
    {"View_TabSelectedPassword", true, "0"},
    {"View_TabSelectedCreditCard", true, "2"},
    {"View_TabSelectedFile", true, "0"},
    {"View_TabSelectedNote", true, "0"},
    {"View_TabSelectedUrl", true, "0"},
    {"View_TabSelectedPasswordEdit", true, "0"},
    {"View_TabSelectedCreditCardEdit", true, "0"},
    {"View_TabSelectedFileEdit", true, "0"},
    {"View_TabSelectedNoteEdit", true, "0"},
    {"View_TabSelectedUrlEdit", true, "0"},
    {"View_ToolbarBtnSave", true, "0"},
    {"Pasgen_Exclude", true, "0"},
    {"Pasgen_Lower", true, "1"},
    {"Pasgen_Nums", true, "1"},
    {"Pasgen_OtherE", true, "0"},
    {"Pasgen_PrononceE", true, "0"},
    {"Pasgen_Special", true, "1"},
    {"Pasgen_Upper", true, "1"},
    {"Pasgen_Lenght", true, "16"},
    {"Pasgen_Prononce", true, "1"},
    {"Pasgen_Other", false, ""},
    {"Search_NameChecked", true, "1"},
    {"Search_LoginCheked", true, "1"},
    {"Search_URLChecked", true, "1"},
    {"Search_CommentsChecked", true, "1"},
    {"Search_CardholderChecked", true, "0"},
    {"Search_AddressChecked", true, "0"},
    {"Search_FilenameChecked", true, "0"},
    {"Search_SubfoldersChecked", true, "1"},
    {"Files_LastSelectedFilterAddFile", true, "0"},
    {"Files_LastSelectedFolderAddFile", false, "C:\\"},
    {"Files_FileChangedAction", true, "0"},
    {"CustomFields_SortColumn", true, "-1"},
    {"CustomFields_SortOrder", true, "0"},
    {"Tray_Enable", true, "1"},
    {"Tray_Apearance", true, "0"},
    {"Tray_HideMinimize", true, "1"},
    {"Tray_HideClose", true, "0"},
    {"Tray_HideFromTaskbar", true, "1"},
    {"ALogout_Enable", true, "1"},
    {"ALogout_Time", true, "5"},
    {"ALogout_OnTray", true, "0"},
    {"ALogout_OnScreenSaver", true, "1"},
    {"Import_LastCsvFile", false, ""},
    {"Import_CsvFieldSeparator", false, ";"},
    {"Import_CsvFirstRowIsHeader", true, "0"},
    {"Import_CsvStripQuotes", true, "0"},
    {"Export_ExportType", true, "0"},
    {"Export_ChangeCRLF", true, "1"},
    {"Export_CheckCascade", true, "1"},
    {"Export_ExportColumns", false, ""},
    {"Export_ColumnsSortBy", true, "0"},
    {"Export_Filename", false, ""},
    {"Export_OpenFile", true, "1"},
    {"Export_HtmlReportType", true, "0"},
    {"Export_HtmlFullWidth", true, "1"},
    {"Export_HtmlVariegatedRows", true, "0"},
    {"Export_HtmlReportTitle", false, ""},
    {"Export_HtmlReportSearchField", true, "0"},
    {"Export_XmlReportCustomFields", true, "1"},
    {"Backup_RemaindDays", true, "7"},
    {"Backup_RemaindDaysEnable", true, "1"},
    {"Backup_AppendTimestamp", true, "1"},
    {"Backup_LastBackup", false, ""},
    {"BackupToFolder", false, nullptr},
    {"Backup_Timestamp", false, "_%Y_%m_%d_%H_%M_%S"},
    {"Backup_NextTime", true, "0"},
};

} // namespace

TEST(TresorixSettings, RegistersEveryKeyInOrderWithTypeAndDefault) {
    CTresorixSettings settings;
    const auto& table = settings.GetSettings();
    ASSERT_EQ(table.size(), 92u);
    ASSERT_EQ(table.size(), kExpected.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(kExpected[i].name);
        EXPECT_EQ(table[i].name, kExpected[i].name);
        EXPECT_EQ(table[i].type, kExpected[i].isNumber ? CSettings::kNumber : CSettings::kString);
        const std::string expected =
            kExpected[i].defaultValue ? kExpected[i].defaultValue : DefaultBackupFolder();
        if (kExpected[i].isNumber) {
            ASSERT_NE(table[i].number, nullptr);
            EXPECT_EQ(std::to_string(table[i].defaultNumber), expected);
            EXPECT_EQ(std::to_string(*table[i].number), expected);
        } else {
            ASSERT_NE(table[i].text, nullptr);
            EXPECT_EQ(table[i].defaultText, expected);
            EXPECT_EQ(*table[i].text, expected);
        }
    }
}

TEST(TresorixSettings, EmptyProfileLoadsEveryDefault) {
    CMemoryProfileStore store;
    CTresorixSettings settings;
    settings.ALogout_Time = 99;
    settings.Import_CsvFieldSeparator = "x";
    settings.BackupToFolder = "elsewhere";
    settings.Load(store);
    EXPECT_EQ(settings.ALogout_Time, 5);
    EXPECT_EQ(settings.Import_CsvFieldSeparator, ";");
    EXPECT_EQ(settings.BackupToFolder, DefaultBackupFolder());
    EXPECT_EQ(settings.Files_LastSelectedFolderAddFile, "C:\\");
    EXPECT_EQ(settings.Backup_Timestamp, "_%Y_%m_%d_%H_%M_%S");
    EXPECT_EQ(settings.CustomFields_SortColumn, -1);
    EXPECT_EQ(settings.View_TabSelectedCreditCard, 2);
    EXPECT_EQ(settings.Pasgen_Lenght, 16);
}

TEST(TresorixSettings, MembersAreBoundToTheirOwnKeys) {
    CMemoryProfileStore store;
    store.WriteProfileInt("Settings", "Pasgen_Lenght", 24);
    store.WriteProfileInt("Settings", "Tray_Apearance", 1);
    store.WriteProfileInt("Settings", "Search_LoginCheked", 0);
    store.WriteProfileInt("Settings", "App_SuccesOnOpen", 1);
    store.WriteProfileInt("Settings", "Backup_RemaindDays", 30);
    store.WriteProfileString("Settings", "App_ConnectionString", "/home/u/vault.tpx");
    store.WriteProfileString("Settings", "Pasgen_Other", "!?");
    // Correctly spelt names are not the program's keys.
    store.WriteProfileInt("Settings", "Pasgen_Length", 8);
    CTresorixSettings settings;
    settings.Load(store);
    EXPECT_EQ(settings.Pasgen_Lenght, 24);
    EXPECT_EQ(settings.Tray_Apearance, 1);
    EXPECT_EQ(settings.Search_LoginCheked, 0);
    EXPECT_EQ(settings.App_SuccesOnOpen, 1);
    EXPECT_EQ(settings.Backup_RemaindDays, 30);
    EXPECT_EQ(settings.App_ConnectionString, "/home/u/vault.tpx");
    EXPECT_EQ(settings.Pasgen_Other, "!?");
    EXPECT_EQ(settings.Search_NameChecked, 1);
}

TEST(TresorixSettings, SaveWritesEveryKeyInOrderIntoTheSettingsSection) {
    CMemoryProfileStore store;
    CTresorixSettings settings;
    ASSERT_TRUE(settings.Save(store));
    ASSERT_EQ(store.Writes().size(), kExpected.size());
    for (std::size_t i = 0; i < kExpected.size(); ++i) {
        EXPECT_EQ(store.Writes()[i].first, "Settings");
        EXPECT_EQ(store.Writes()[i].second, kExpected[i].name);
        auto value = store.Find("Settings", kExpected[i].name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->isNumber, kExpected[i].isNumber) << kExpected[i].name;
    }
}

TEST(TresorixSettings, MinusOneAndEmptyStringsRoundTrip) {
    CMemoryProfileStore store;
    CTresorixSettings saved;
    saved.CustomFields_SortColumn = -1;
    saved.Import_CsvFieldSeparator = "";
    saved.BackupToFolder = "";
    ASSERT_TRUE(saved.Save(store));

    // Stored as the word with all bits set, and the empty text is written, not left out.
    EXPECT_EQ(store.Find("Settings", "CustomFields_SortColumn")->number, 0xFFFFFFFFu);
    auto separator = store.Find("Settings", "Import_CsvFieldSeparator");
    ASSERT_TRUE(separator.has_value());
    EXPECT_FALSE(separator->isNumber);
    EXPECT_EQ(separator->text, "");

    CTresorixSettings loaded;
    loaded.Load(store);
    EXPECT_EQ(loaded.CustomFields_SortColumn, -1);
    EXPECT_EQ(loaded.Import_CsvFieldSeparator, "");
    EXPECT_EQ(loaded.BackupToFolder, "");
}

TEST(TresorixSettings, ValueOfTheWrongTypeReadsAsDefault) {
    CMemoryProfileStore store;
    store.WriteProfileString("Settings", "ALogout_Time", "30");
    store.WriteProfileInt("Settings", "Import_CsvFieldSeparator", 44);
    CTresorixSettings settings;
    settings.Load(store);
    EXPECT_EQ(settings.ALogout_Time, 5);
    EXPECT_EQ(settings.Import_CsvFieldSeparator, ";");
}

TEST(TresorixSettings, FirstFailedWriteStopsTheSave) {
    CMemoryProfileStore store;
    store.FailWritesAfter(3);
    CTresorixSettings settings;
    EXPECT_FALSE(settings.Save(store));
    ASSERT_EQ(store.Writes().size(), 3u);
    EXPECT_EQ(store.Writes()[2].second, "WndM_Splitter3Height");
    EXPECT_FALSE(store.Find("Settings", "App_ConnectionString").has_value());
}

TEST(TresorixSettings, LoadAndSaveUseTheCurrentProfileStore) {
    CScopedMemoryProfile profile;
    profile.WriteProfileInt("Settings", "ALogout_Time", 42);
    CTresorixSettings settings;
    settings.Load();
    EXPECT_EQ(settings.ALogout_Time, 42);
    settings.ALogout_Time = 7;
    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(profile.GetProfileInt("Settings", "ALogout_Time", 0), 7);
}

TEST(KnownFolders, BackupFolderDefaultsInsideDocuments) {
    const std::string documents = DocumentsFolder();
    if (documents.empty()) {
        EXPECT_EQ(DefaultBackupFolder(), "");
        return;
    }
    EXPECT_EQ(documents.back(), '/');
    EXPECT_EQ(DefaultBackupFolder(), documents + "Tresorix Pro Backups/");
}
