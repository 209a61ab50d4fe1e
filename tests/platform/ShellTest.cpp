#include "platform/Shell.h"
#include "platform/MessageBox.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

unsigned Mode(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ShellCollisionName, NumbersBeforeTheLastExtension) {
    EXPECT_EQ(CollisionName("/b/vault_2004_11_15_10_30_00.tpx", 2),
              "/b/vault_2004_11_15_10_30_00 (2).tpx");
    EXPECT_EQ(CollisionName("/b/a.tpx.bak01", 3), "/b/a.tpx (3).bak01");
    EXPECT_EQ(CollisionName("/b.d/vault", 2), "/b.d/vault (2)"); // dot of a folder is no extension
    EXPECT_EQ(CollisionName("/b/.hidden", 2), "/b/.hidden (2)");
    EXPECT_EQ(CollisionName("vault.tpx", 12), "vault (12).tpx");
}

TEST(ShellCopy, RepeatedCopiesIntoAFolderGetNewNamesAndNeverOverwrite) {
    txtest::ScratchDir dir;
    fs::create_directory(dir / "backups");
    WriteFile(dir / "vault.tpx", "first");
    ::chmod((dir / "vault.tpx").c_str(), 0644);

    std::string written;
    ASSERT_TRUE(CopyFileRenameOnCollision((dir / "vault.tpx").string(), (dir / "backups").string(),
                                          &written, nullptr));
    EXPECT_EQ(written, (dir / "backups" / "vault.tpx").string());
    WriteFile(dir / "vault.tpx", "second");
    ASSERT_TRUE(CopyFileRenameOnCollision((dir / "vault.tpx").string(), (dir / "backups").string(),
                                          &written, nullptr));
    EXPECT_EQ(written, (dir / "backups" / "vault (2).tpx").string());
    ASSERT_TRUE(CopyFileRenameOnCollision((dir / "vault.tpx").string(), (dir / "backups/").string(),
                                          &written, nullptr));
    EXPECT_EQ(written, (dir / "backups" / "vault (3).tpx").string());

    EXPECT_EQ(Names(dir / "backups"),
              (std::vector<std::string>{"vault (2).tpx", "vault (3).tpx", "vault.tpx"}));
    EXPECT_EQ(txtest::ReadFile(dir / "backups" / "vault.tpx"), "first");
    EXPECT_EQ(txtest::ReadFile(dir / "backups" / "vault (2).tpx"), "second");
    for (const auto& name : Names(dir / "backups"))
        EXPECT_EQ(Mode(dir / "backups" / name), 0600u) << name;
}

TEST(ShellCopy, FullTargetPathCreatesMissingFoldersAndCopiesBinaryExactly) {
    txtest::ScratchDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7);
    WriteFile(dir / "vault.tpx", bytes);
    fs::path target = dir / "new" / "deeper" / "vault_2004.tpx";

    std::string written;
    ASSERT_TRUE(CopyFileRenameOnCollision((dir / "vault.tpx").string(), target.string(), &written,
                                          nullptr));
    EXPECT_EQ(written, target.string());
    EXPECT_EQ(txtest::ReadFile(target), bytes);
    EXPECT_EQ(Names(target.parent_path()), std::vector<std::string>{"vault_2004.tpx"});
}

TEST(ShellCopy, FailuresLeaveNothingBehindAndTheShellReportsThem) {
    txtest::ScratchDir dir;
    fs::create_directory(dir / "out");
    CHeadlessShell shell;
    CScopedMessageRecorder messages;

    std::string written = "unchanged";
    EXPECT_FALSE(shell.CopyFile((dir / "missing.tpx").string(), (dir / "out").string(), &written));
    EXPECT_EQ(written, "unchanged");
    EXPECT_TRUE(Names(dir / "out").empty());
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].flags & 0xF0, unsigned(MB_ICONSTOP));
    EXPECT_NE(messages.Messages()[0].text.find("missing.tpx"), std::string::npos);

    // A folder cannot be copied, and a target below a plain file cannot be made.
    EXPECT_FALSE(shell.CopyFile((dir / "out").string(), (dir / "out2").string()));
    WriteFile(dir / "plain", "x");
    EXPECT_FALSE(shell.CopyFile((dir / "plain").string(), (dir / "plain" / "sub" / "c").string()));
    EXPECT_EQ(messages.Messages().size(), 3u);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"out", "plain"}));
}

TEST(ShellOpen, HeadlessShellReportsWhetherTheOpenerStarted) {
    CHeadlessShell missing("/nonexistent/opener-for-tests");
    EXPECT_FALSE(missing.OpenDocument("https://example.invalid/"));
    EXPECT_FALSE(missing.ExploreFolder("/tmp"));

    CHeadlessShell working("true");
    EXPECT_TRUE(working.OpenDocument("/srv/file.txt"));
    EXPECT_TRUE(working.OpenDocument("-rf"));
    EXPECT_FALSE(working.OpenDocument("")); // nothing to open
}

TEST(ShellRecorder, RecordsRequestsAndRestoresThePreviousShell) {
    txtest::ScratchDir dir;
    WriteFile(dir / "a.tpx", "a");
    IShell* before = &Shell();
    {
        CScopedShellRecorder rec;
        EXPECT_EQ(&Shell(), &rec);
        EXPECT_TRUE(Shell().OpenDocument("https://example.invalid/"));
        rec.SetOpenResult(false);
        EXPECT_FALSE(Shell().ExploreFolder(dir.Path().string()));
        std::string written;
        EXPECT_TRUE(Shell().CopyFile((dir / "a.tpx").string(), (dir / "b.tpx").string(), &written));

        CScopedMessageRecorder messages;
        rec.SetCopyFails(true);
        EXPECT_FALSE(Shell().CopyFile((dir / "a.tpx").string(), (dir / "c.tpx").string()));
        EXPECT_EQ(messages.Messages().size(), 1u);

        ASSERT_EQ(rec.Calls().size(), 4u);
        EXPECT_EQ(rec.Calls()[0].action, CRecordingShell::kOpen);
        EXPECT_EQ(rec.Calls()[1].action, CRecordingShell::kExplore);
        EXPECT_EQ(rec.Calls()[2].copiedTo, written);
        EXPECT_EQ(rec.Calls()[3].copiedTo, "");
        EXPECT_FALSE(fs::exists(dir / "c.tpx"));
    }
    EXPECT_EQ(&Shell(), before);
}
