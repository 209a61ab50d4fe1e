#include "common/Fixtures.h"
#include "platform/MemoryProfileStore.h"
#include "platform/QSettingsProfileStore.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

namespace {

std::string IniPath(const txtest::ScratchDir& dir) {
    return (dir / "profile.ini").string();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(QSettingsProfileStore, NumbersAndTextsSurviveReopening) {
    txtest::ScratchDir dir;
    {
        CQSettingsProfileStore store(IniPath(dir));
        EXPECT_TRUE(store.WriteProfileInt("Settings", "ALogout_Time", 15));
        EXPECT_TRUE(store.WriteProfileInt("Settings", "CustomFields_SortColumn", -1));
        EXPECT_TRUE(store.WriteProfileString("Settings", "Backup_Timestamp", "_%Y_%m_%d"));
        EXPECT_TRUE(store.WriteProfileString("Settings", "Import_CsvFieldSeparator", ""));
        EXPECT_TRUE(store.WriteProfileString("Settings", "Export_ExportColumns", "a,b, c"));
        EXPECT_TRUE(store.WriteProfileString("Main Window", "Position", "1 2 3"));
        EXPECT_TRUE(store.Flush());
    }
    CQSettingsProfileStore store(IniPath(dir));
    EXPECT_EQ(store.GetProfileInt("Settings", "ALogout_Time", 5), 15);
    EXPECT_EQ(store.GetProfileInt("Settings", "CustomFields_SortColumn", 0), -1);
    EXPECT_EQ(store.GetProfileString("Settings", "Backup_Timestamp", "x"), "_%Y_%m_%d");
    // Written as an empty value, so it does not fall back to the default.
    EXPECT_EQ(store.GetProfileString("Settings", "Import_CsvFieldSeparator", ";"), "");
    EXPECT_EQ(store.GetProfileString("Settings", "Export_ExportColumns", ""), "a,b, c");
    EXPECT_EQ(store.GetProfileString("Main Window", "Position", ""), "1 2 3");
    EXPECT_EQ(store.GetProfileString("Settings", "Missing", "fallback"), "fallback");
    EXPECT_EQ(store.GetProfileInt("Main Window", "ALogout_Time", 5), 5);
}

TEST(QSettingsProfileStore, TextsThatAreNotUtf8AreKeptByteForByte) {
    txtest::ScratchDir dir;
    const std::string latin1 = "C:\\Dokumente\\B\xFC"
                               "cher\\";
    {
        CQSettingsProfileStore store(IniPath(dir));
        ASSERT_TRUE(store.WriteProfileString("Settings", "BackupToFolder", latin1));
        ASSERT_TRUE(store.WriteProfileString("Settings", "App_LastUsername", "J\xC3\xBCrgen"));
    }
    CQSettingsProfileStore store(IniPath(dir));
    EXPECT_EQ(store.GetProfileString("Settings", "BackupToFolder", ""), latin1);
    EXPECT_EQ(store.GetProfileString("Settings", "App_LastUsername", ""), "J\xC3\xBCrgen");
}

TEST(QSettingsProfileStore, WordsWrittenUnsignedOrUnreadableNumbers) {
    txtest::ScratchDir dir;
    WriteText(IniPath(dir), "[Settings]\n"
                            "AllBits=4294967295\n"
                            "Big=4294967296\n"
                            "Text=abc\n"
                            "Spaced= 12 \n"
                            "Negative=-2147483648\n");
    CQSettingsProfileStore store(IniPath(dir));
    EXPECT_EQ(store.GetProfileInt("Settings", "AllBits", 0), -1);
    EXPECT_EQ(store.GetProfileInt("Settings", "Big", 7), 7);
    EXPECT_EQ(store.GetProfileInt("Settings", "Text", 7), 7);
    EXPECT_EQ(store.GetProfileInt("Settings", "Spaced", 7), 12);
    EXPECT_EQ(store.GetProfileInt("Settings", "Negative", 7), -2147483647 - 1);
}

TEST(QSettingsProfileStore, FileIsPrivateToTheUser) {
    txtest::ScratchDir dir;
    const std::string path = (dir / "sub" / "profile.ini").string();
    {
        CQSettingsProfileStore store(path);
        ASSERT_TRUE(store.WriteProfileInt("Settings", "ALogout_Time", 1));
        ASSERT_TRUE(store.Flush());
        EXPECT_EQ(store.FilePath(), path);
    }
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(QSettingsProfileStore, ReadingOnlyCreatesNoFile) {
    txtest::ScratchDir dir;
    {
        CQSettingsProfileStore store(IniPath(dir));
        EXPECT_EQ(store.GetProfileInt("Settings", "ALogout_Time", 5), 5);
    }
    EXPECT_FALSE(std::filesystem::exists(IniPath(dir)));
}

TEST(QSettingsProfileStore, UnwritableLocationFailsTheWrite) {
    txtest::ScratchDir dir;
    // A regular file where the folder should be: nothing can be created below it.
    WriteText((dir / "blocker").string(), "x");
    CQSettingsProfileStore store((dir / "blocker" / "profile.ini").string());
    EXPECT_FALSE(store.WriteProfileInt("Settings", "ALogout_Time", 9));
    EXPECT_FALSE(store.WriteProfileString("Settings", "App_LastUsername", "u"));
    EXPECT_EQ(store.GetProfileInt("Settings", "ALogout_Time", 5), 5);
}

TEST(ProfileStore, CurrentStoreDefaultsToMemoryAndCanBeReplaced) {
    IProfileStore& original = ProfileStore();
    {
        CScopedMemoryProfile profile;
        EXPECT_EQ(&ProfileStore(), &profile);
        ProfileStore().WriteProfileString("S", "E", "v");
        EXPECT_EQ(profile.GetProfileString("S", "E", ""), "v");
    }
    EXPECT_EQ(&ProfileStore(), &original);
}

TEST(MemoryProfileStore, TypedLikeTheRegistry) {
    CMemoryProfileStore store;
    store.WriteProfileInt("S", "N", -5);
    store.WriteProfileString("S", "T", "7");
    EXPECT_EQ(store.GetProfileInt("S", "N", 0), -5);
    EXPECT_EQ(store.Find("S", "N")->number, static_cast<std::uint32_t>(-5));
    EXPECT_EQ(store.GetProfileString("S", "N", "d"), "d");
    EXPECT_EQ(store.GetProfileInt("S", "T", 1), 1);
    EXPECT_EQ(store.GetProfileInt("s", "N", 3), 3); // other section
}
