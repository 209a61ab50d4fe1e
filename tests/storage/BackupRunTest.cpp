#include "platform/MessageBox.h"
#include "storage/KivBackup.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr char kDefaultFormat[] = "_%Y_%m_%d_%H_%M_%S";

std::time_t At(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::tm Local(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

class BackupRun : public ::testing::Test {
protected:
    void SetUp() override {
        m_source = (m_dir / "vault.tpx").string();
        std::ofstream(m_source, std::ios::binary) << std::string("SQLite\0data", 11);
        m_folder = (m_dir / "backups").string();
    }

    txtest::ScratchDir m_dir;
    std::string m_source;
    std::string m_folder;
    CScopedMessageRecorder m_messages;
};

} // namespace

TEST_F(BackupRun, TimestampGoesBetweenBaseNameAndExtension) {
    const std::tm when = Local(At(2004, 11, 15, 10, 30, 0));
    EXPECT_EQ(CKivBackup(m_source, m_folder, kDefaultFormat, true).MakeDestination(when),
              m_folder + "/vault_2004_11_15_10_30_00.tpx");
    EXPECT_EQ(CKivBackup(m_source, m_folder + "/", kDefaultFormat, true).MakeDestination(when),
              m_folder + "/vault_2004_11_15_10_30_00.tpx");
    EXPECT_EQ(CKivBackup("/d.x/vault", m_folder, "-%Y", true).MakeDestination(when),
              m_folder + "/vault-2004");
    EXPECT_EQ(CKivBackup("/d/a.b.tpx", m_folder, "%d", true).MakeDestination(when),
              m_folder + "/a.b15.tpx");
    // A stamp cannot lead the copy into another folder.
    EXPECT_EQ(CKivBackup(m_source, m_folder, "_%m/%d", true).MakeDestination(when),
              m_folder + "/vault_11-15.tpx");
    EXPECT_EQ(CKivBackup(m_source, m_folder, "", true).MakeDestination(when),
              m_folder + "/vault.tpx");
    // Without the flag the copy keeps its name inside the folder.
    EXPECT_EQ(CKivBackup(m_source, m_folder, kDefaultFormat, false).MakeDestination(when),
              m_folder + "/");
}

TEST_F(BackupRun, CopiesArePrivateExactAndNeverOverwritten) {
    const std::time_t when = At(2004, 11, 15, 10, 30, 0);
    CKivBackup stamped(m_source, m_folder, kDefaultFormat, true);
    ASSERT_TRUE(stamped.RunAt(when));
    ASSERT_TRUE(stamped.RunAt(when));
    EXPECT_EQ(stamped.GetCopiedTo(), m_folder + "/vault_2004_11_15_10_30_00 (2).tpx");

    CKivBackup plain(m_source, m_folder, kDefaultFormat, false);
    ASSERT_TRUE(plain.RunAt(when));
    EXPECT_EQ(plain.GetCopiedTo(), m_folder + "/vault.tpx");
    ASSERT_TRUE(plain.RunAt(when));
    EXPECT_EQ(plain.GetCopiedTo(), m_folder + "/vault (2).tpx");

    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(m_folder)) {
        ++count;
        EXPECT_EQ(txtest::ReadFile(entry.path()), txtest::ReadFile(m_source)) << entry.path();
        struct stat info {};
        ASSERT_EQ(::stat(entry.path().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << entry.path();
    }
    EXPECT_EQ(count, 4u);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(BackupRun, FailuresAreReportedOnceAndCopyNothing) {
    CKivBackup noFolder(m_source, "", kDefaultFormat, true);
    EXPECT_FALSE(noFolder.Run());
    CKivBackup noSource((m_dir / "gone.tpx").string(), m_folder, kDefaultFormat, true);
    EXPECT_FALSE(noSource.Run());

    ASSERT_EQ(m_messages.Messages().size(), 2u);
    for (const auto& message : m_messages.Messages())
        EXPECT_EQ(message.flags & 0xF0, unsigned(MB_ICONSTOP));
    EXPECT_FALSE(fs::exists(m_folder) && !fs::is_empty(m_folder));
}
