#include "storage/BackupReminder.h"
#include "platform/MessageBox.h"
#include "platform/TresorixSettings.h"
#include "storage/BackupDialogs.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr std::time_t kDay = 86400;

std::string LastBackupAt(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return FormatLastBackup(local);
}

// Settings with the reminder on every 7 days and backups going into a scratch folder.
class BackupReminder : public ::testing::Test {
protected:
    void SetUp() override {
        m_settings.Backup_RemaindDaysEnable = 1;
        m_settings.Backup_RemaindDays = 7;
        m_settings.Backup_LastBackup.clear();
        m_settings.Backup_NextTime = 0;
        m_settings.Backup_AppendTimestamp = 0;
        m_settings.BackupToFolder = (m_dir / "backups").string();
        m_previous = SetTresorixSettings(&m_settings);
        m_vault = (m_dir / "vault.tpx").string();
        std::ofstream(m_vault) << "vault";
        // Whole seconds, as the stored text keeps them.
        std::tm local{};
        std::time_t t = std::time(nullptr);
        localtime_r(&t, &local);
        local.tm_isdst = -1;
        m_now = std::mktime(&local);
    }
    void TearDown() override { SetTresorixSettings(m_previous); }

    std::size_t Backups() const {
        if (!fs::exists(m_dir / "backups"))
            return 0;
        std::size_t n = 0;
        for (const auto& entry : fs::directory_iterator(m_dir / "backups"))
            n += entry.is_regular_file();
        return n;
    }

    txtest::ScratchDir m_dir;
    CTresorixSettings m_settings;
    CTresorixSettings* m_previous = nullptr;
    std::string m_vault;
    std::time_t m_now = 0;
    CScopedMessageRecorder m_messages;
    CScopedBackupDialogsRecorder m_dialogs;
};

} // namespace

TEST(BackupLastBackup, ExactlyTwentyNineCharactersMakeATime) {
    std::tm when{};
    when.tm_year = 104;
    when.tm_mon = 10;
    when.tm_mday = 15;
    when.tm_hour = 10;
    when.tm_min = 30;
    const std::string text = FormatLastBackup(when);
    EXPECT_EQ(text, "2004 0011 0015 0010 0030 0000");
    ASSERT_EQ(text.size(), 29u);

    std::tm back{};
    ASSERT_TRUE(ParseLastBackup(text, &back));
    EXPECT_EQ(back.tm_year, 104);
    EXPECT_EQ(back.tm_mon, 10);
    EXPECT_EQ(back.tm_mday, 15);
    EXPECT_EQ(back.tm_hour, 10);
    EXPECT_EQ(back.tm_min, 30);
    EXPECT_EQ(back.tm_sec, 0);

    EXPECT_FALSE(ParseLastBackup(text.substr(0, 28), &back));
    EXPECT_FALSE(ParseLastBackup(text + "0", &back));
    EXPECT_FALSE(ParseLastBackup(" " + text.substr(0, 28), &back));
    EXPECT_FALSE(ParseLastBackup("", &back));
    EXPECT_FALSE(ParseLastBackup("abcd efgh ijkl mnop qrst uvwx", &back));
    EXPECT_FALSE(ParseLastBackup("2004 0002 0030 0010 0030 0000", &back)); // 30 February
    EXPECT_FALSE(ParseLastBackup("2004 0011 0015 0024 0030 0000", &back));
}

TEST(BackupLastBackup, DisplayTextOrNever) {
    EXPECT_EQ(LastBackupDisplayText(""), "Never");
    EXPECT_EQ(LastBackupDisplayText("2004 0011 0015 0010 0030 000"), "Never");
    const std::string shown = LastBackupDisplayText("2004 0011 0015 0010 0030 0000");
    EXPECT_NE(shown.find("2004"), std::string::npos) << shown;
    EXPECT_NE(shown.find("30"), std::string::npos) << shown;
}

TEST_F(BackupReminder, DueAfterSevenDaysNotAfterSix) {
    m_settings.Backup_LastBackup = LastBackupAt(m_now - 6 * kDay);
    EXPECT_FALSE(IsBackupDue(m_settings, m_now));
    EXPECT_FALSE(RemindOrBackUp(m_vault, m_settings, m_now));
    EXPECT_TRUE(m_dialogs.Shown().empty());

    m_settings.Backup_LastBackup = LastBackupAt(m_now - 7 * kDay);
    EXPECT_TRUE(IsBackupDue(m_settings, m_now));
    EXPECT_TRUE(RemindOrBackUp(m_vault, m_settings, m_now));
    ASSERT_EQ(m_dialogs.Shown().size(), 1u);
    EXPECT_EQ(m_dialogs.Shown()[0].path, m_vault);
    EXPECT_TRUE(m_dialogs.Shown()[0].allowedNow);
    EXPECT_TRUE(m_dialogs.Shown()[0].countdown);
}

TEST_F(BackupReminder, MalformedOrMissingLastBackupMeansDue) {
    const std::string recent = LastBackupAt(m_now - kDay);
    for (const std::string& text : {std::string(), recent.substr(0, 28), recent + " "}) {
        m_settings.Backup_LastBackup = text;
        EXPECT_TRUE(IsBackupDue(m_settings, m_now)) << '"' << text << '"';
    }
    m_settings.Backup_LastBackup = recent;
    EXPECT_FALSE(IsBackupDue(m_settings, m_now));
}

TEST_F(BackupReminder, ReminderOffOnlyAPostponedBackupCounts) {
    m_settings.Backup_RemaindDaysEnable = 0;
    EXPECT_FALSE(RemindOrBackUp(m_vault, m_settings, m_now));
    m_settings.Backup_NextTime = 1;
    m_settings.Backup_LastBackup = LastBackupAt(m_now);
    EXPECT_TRUE(RemindOrBackUp(m_vault, m_settings, m_now));
    EXPECT_EQ(m_dialogs.Shown().size(), 1u);
    // No file was closed: nothing to back up.
    EXPECT_FALSE(RemindOrBackUp("", m_settings, m_now));
}

TEST_F(BackupReminder, OutOfRangeDaysDoNotBreakTheCheck) {
    m_settings.Backup_LastBackup = LastBackupAt(m_now - kDay);
    m_settings.Backup_RemaindDays = 2147483647;
    EXPECT_FALSE(IsBackupDue(m_settings, m_now));
    m_settings.Backup_RemaindDays = -5;
    EXPECT_TRUE(IsBackupDue(m_settings, m_now));
}

TEST_F(BackupReminder, EveryLogoutRemindsUntilABackupSucceeds) {
    m_dialogs.SetPressSave(true);
    {
        CScopedMessageRecorder failure;
        m_settings.BackupToFolder.clear(); // the copy fails
        EXPECT_TRUE(RemindOrBackUp(m_vault, m_settings, m_now));
        EXPECT_EQ(m_settings.Backup_LastBackup, "");
        EXPECT_EQ(failure.Messages().size(), 1u);
    }
    m_settings.BackupToFolder = (m_dir / "backups").string();
    EXPECT_TRUE(RemindOrBackUp(m_vault, m_settings, m_now));
    EXPECT_EQ(m_settings.Backup_LastBackup, LastBackupAt(m_now));
    EXPECT_EQ(Backups(), 1u);
    EXPECT_FALSE(RemindOrBackUp(m_vault, m_settings, m_now + kDay));
    EXPECT_EQ(m_dialogs.Shown().size(), 2u);
}

TEST_F(BackupReminder, BackupWhileOpenIsPostponedToTheNextLogout) {
    const std::string yesterday = LastBackupAt(m_now - kDay);
    m_settings.Backup_LastBackup = yesterday;
    EXPECT_FALSE(SaveBackup(m_vault, false, m_settings, m_now));
    EXPECT_EQ(m_settings.Backup_NextTime, 1);
    EXPECT_EQ(Backups(), 0u);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].flags, unsigned(MB_ICONINFORMATION));
    EXPECT_NE(m_messages.Messages()[0].text.find("needs to logout"), std::string::npos);

    // The next logout, although no backup is due by date: the dialog comes up with its
    // countdown and, untouched, saves (into the installed settings, at the current time).
    CUntouchedBackupDialogs untouched;
    IBackupDialogs* recorder = SetBackupDialogs(&untouched);
    EXPECT_TRUE(RemindOrBackUp(m_vault, m_settings, m_now));
    SetBackupDialogs(recorder);
    EXPECT_EQ(Backups(), 1u);
    EXPECT_EQ(m_settings.Backup_NextTime, 0);
    EXPECT_NE(m_settings.Backup_LastBackup, yesterday);
    EXPECT_TRUE(ParseLastBackup(m_settings.Backup_LastBackup, nullptr));
}

TEST_F(BackupReminder, FailedCopyClearsThePostponedFlagButKeepsTheLastTime) {
    const std::string last = LastBackupAt(m_now - 30 * kDay);
    m_settings.Backup_LastBackup = last;
    m_settings.Backup_NextTime = 1;
    EXPECT_FALSE(SaveBackup((m_dir / "gone.tpx").string(), true, m_settings, m_now));
    EXPECT_EQ(m_settings.Backup_NextTime, 0);
    EXPECT_EQ(m_settings.Backup_LastBackup, last);
}

TEST(BackupCountdown, TenSecondsThenPressesOnce) {
    CBackupCountdown countdown;
    EXPECT_EQ(countdown.Caption("Save Backup"), "Save Backup");
    countdown.Start();
    EXPECT_EQ(countdown.Caption("Save Backup"), "Save Backup (10)");
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(countdown.Tick());
    EXPECT_EQ(countdown.Caption("Save Backup"), "Save Backup (1)");
    EXPECT_TRUE(countdown.Tick());
    EXPECT_EQ(countdown.Caption("Save Backup"), "Save Backup");
    EXPECT_FALSE(countdown.Tick());

    countdown.Start();
    countdown.Tick();
    countdown.Stop(); // "Options..." stops it without pressing
    EXPECT_FALSE(countdown.IsRunning());
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(countdown.Tick());
}
