#include "common/Fixtures.h"
#include "model/TempCopyFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace {

TEST(TempCopyFolder, SafeFileNameNeverLeavesTheFolder) {
    EXPECT_EQ(CTempCopyFolder::SafeFileName("report.pdf"), "report.pdf");
    EXPECT_EQ(CTempCopyFolder::SafeFileName("../../.bashrc"), "______.bashrc");
    EXPECT_EQ(CTempCopyFolder::SafeFileName("a/b\\c"), "a_b_c");
    EXPECT_EQ(CTempCopyFolder::SafeFileName(".."), "__");
    EXPECT_EQ(CTempCopyFolder::SafeFileName(".hidden"), "_hidden");
    EXPECT_EQ(CTempCopyFolder::SafeFileName(std::string("x\0y\ny\x7f", 6)), "x_y_y_");
    EXPECT_EQ(CTempCopyFolder::SafeFileName(""), "file");
    std::string longName = std::string(300, 'n') + ".txt";
    std::string safe = CTempCopyFolder::SafeFileName(longName);
    EXPECT_EQ(safe.size(), 255u);
    EXPECT_EQ(safe.substr(safe.size() - 4), ".txt");
    // Names in other scripts pass unchanged.
    EXPECT_EQ(CTempCopyFolder::SafeFileName("Caf\xc3\xa9 cr\xe8me.doc"),
              "Caf\xc3\xa9 cr\xe8me.doc");
}

TEST(TempCopyFolder, PathForAppendsExtensionOnce) {
    CTempCopyFolder folder("/base");
    EXPECT_EQ(folder.GetPath(), "/base/TRX10");
    EXPECT_EQ(folder.PathFor("keys.dat", ".dat"), "/base/TRX10/keys.dat");
    EXPECT_EQ(folder.PathFor("keys", ".dat"), "/base/TRX10/keys.dat");
    EXPECT_EQ(folder.PathFor("keys.dat.bak", ".dat"), "/base/TRX10/keys.dat.bak.dat");
    EXPECT_EQ(folder.PathFor("notes", ""), "/base/TRX10/notes");
    EXPECT_EQ(folder.PathFor("x", "/../../evil"), "/base/TRX10/x_______evil");
    EXPECT_EQ(folder.PathFor("../../etc/passwd", ""), "/base/TRX10/______etc_passwd");
}

TEST(TempCopyFolder, PrepareMakesPrivateFolder) {
    txtest::ScratchDir dir;
    CTempCopyFolder folder((dir.Path() / "cache" / "deep").string());
    int error = -1;
    ASSERT_TRUE(folder.Prepare(error));
    EXPECT_EQ(error, 0);
    struct stat info;
    ASSERT_EQ(::lstat(folder.GetPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    // A folder left too open by someone is tightened again.
    ASSERT_EQ(::chmod(folder.GetPath().c_str(), 0755), 0);
    ASSERT_TRUE(folder.Prepare(error));
    ASSERT_EQ(::lstat(folder.GetPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
}

TEST(TempCopyFolder, PrepareRefusesALinkInPlaceOfTheFolder) {
    txtest::ScratchDir dir;
    std::filesystem::create_directories(dir.Path() / "elsewhere");
    std::filesystem::create_directories(dir.Path() / "cache");
    std::filesystem::create_directory_symlink(dir.Path() / "elsewhere",
                                              dir.Path() / "cache" / "TRX10");
    CTempCopyFolder folder((dir.Path() / "cache").string());
    int error = 0;
    EXPECT_FALSE(folder.Prepare(error));
    EXPECT_NE(error, 0);
    // A plain file where the base folder should be.
    CTempCopyFolder blocked((dir.Path() / "cache" / "file").string());
    std::FILE* f = std::fopen((dir.Path() / "cache" / "file").c_str(), "w");
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_FALSE(blocked.Prepare(error));
    EXPECT_NE(error, 0);
}

} // namespace
