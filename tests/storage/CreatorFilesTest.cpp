#include "storage/CreatorFiles.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(CreatorBackUpExisting, NamesCountUpPastNinetyNine) {
    EXPECT_EQ(BackupName("/d/a.tpx", 1), "/d/a.tpx.bak01");
    EXPECT_EQ(BackupName("/d/a.tpx", 99), "/d/a.tpx.bak99");
    EXPECT_EQ(BackupName("/d/a.tpx", 100), "/d/a.tpx.bak100");
}

TEST(CreatorBackUpExisting, MovesTheOldFileToTheFirstFreeBackupName) {
    txtest::ScratchDir dir;
    const std::string path = (dir / "a.tpx").string();
    std::ofstream(path) << "old";
    std::ofstream(path + ".bak01") << "older";

    std::string backup, error;
    ASSERT_TRUE(BackUpExisting(path, &backup, &error)) << error;
    EXPECT_EQ(backup, path + ".bak02");
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(txtest::ReadFile(path + ".bak01"), "older");
    EXPECT_EQ(txtest::ReadFile(path + ".bak02"), "old");

    // Nothing there: nothing to do.
    ASSERT_TRUE(BackUpExisting(path, &backup, &error));
    EXPECT_EQ(backup, "");
}

TEST(CreatorBackUpExisting, AFileThatCannotBeMovedStaysUntouched) {
    txtest::ScratchDir dir;
    // Even root cannot rename to a name longer than the file system allows: the ".bak01"
    // name of a 251-character file name is such a name.
    const std::string path = (dir / std::string(251, 'v')).string();
    std::ofstream(path) << "precious";
    std::string backup = "x", error;
    EXPECT_FALSE(BackUpExisting(path, &backup, &error));
    EXPECT_EQ(backup, "");
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(txtest::ReadFile(path), "precious");

    // A folder at the path is never moved aside.
    fs::path folder = dir / "afolder.tpx";
    fs::create_directory(folder);
    EXPECT_FALSE(BackUpExisting(folder.string(), &backup, &error));
    EXPECT_NE(error.find("afolder.tpx"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_FALSE(fs::exists(folder.string() + ".bak01"));
}

TEST(CreatorTempFile, IsPrivateAndBesideTheTarget) {
    txtest::ScratchDir dir;
    std::string error;
    const std::string temp = CreateTempFileBeside((dir / "v.tpx").string(), &error);
    ASSERT_FALSE(temp.empty()) << error;
    EXPECT_EQ(fs::path(temp).parent_path(), dir.Path());
    struct stat info {};
    ASSERT_EQ(::stat(temp.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_size, 0);
    RemoveTempDatabase(temp);
    EXPECT_FALSE(fs::exists(temp));

    EXPECT_TRUE(CreateTempFileBeside((dir / "missing" / "v.tpx").string(), &error).empty());
    EXPECT_FALSE(error.empty());
}
