#include "SampleApp.h"

#include "app/BackupDlg.h"
#include "app/BackupOptinsDlg.h"
#include "app/ChangePaswordDlg.h"
#include "app/Commands.h"
#include "app/DatabaseManagerDlg.h"
#include "storage/BackupDialogs.h"
#include "storage/BackupReminder.h"
#include "ui/PasswordEdit.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <ctime>

using apptest::CAppHarness;
using apptest::CModalScript;
using apptest::CSampleApp;

namespace {

constexpr unsigned kPostponed = 61383;
constexpr unsigned kWrongOldPassword = 61334;
constexpr unsigned kNewPasswordsDiffer = 61335;
constexpr unsigned kLoginRefused = 61221;

// A backup folder of its own, copies without a timestamp.
QString PrepareBackups(CSampleApp& s) {
    const QString folder = s.h.dir.filePath(QStringLiteral("backups"));
    QDir().mkpath(folder);
    s.app->Settings().BackupToFolder = folder.toStdString();
    s.app->Settings().Backup_AppendTimestamp = 0;
    return folder;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int FileCount(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList(QDir::Files).size());
}

std::string DaysAgo(int days) {
    const std::time_t then = std::time(nullptr) - static_cast<std::time_t>(days) * 86400 - 60;
    std::tm local{};
    localtime_r(&then, &local);
    return FormatLastBackup(local);
}

// Opens the database manager and hands it to step.
void RunManager(CSampleApp& s, std::function<void(CDatabaseManagerDlg&)> step) {
    s.script->Add([step](QDialog& d) {
        step(dynamic_cast<CDatabaseManagerDlg&>(d));
        if (d.isVisible())
            d.reject();
        return d.result();
    });
    s.Frame().OnCommand(cmd::kDatabaseManagement);
}

} // namespace

class DatabaseDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void BackupWhileOpenIsMadeAfterTheCountdownAtLogout();
    void OptionsStopTheCountdownAndAreStoredOnOkOnly();
    void ReminderFollowsTheDaysSinceTheLastBackup();
    void PasswordChangeChecksThenReopensWithTheNewPassword();
    void ManagerCompressesAndOpensAnotherFile();
};

void DatabaseDialogsTest::BackupWhileOpenIsMadeAfterTheCountdownAtLogout() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const QString folder = PrepareBackups(s);
    QVERIFY(s.Enabled(cmd::kBackupOptions));
    QString caption;
    s.script->Add([&](QDialog& d) {
        auto& dialog = dynamic_cast<CBackupDlg&>(d);
        caption = dialog.SaveButton()->text();
        dialog.SaveButton()->click();
        return d.result();
    });
    s.Frame().OnCommand(cmd::kBackupOptions);
    QCOMPARE(caption, QStringLiteral("Save Backup")); // no countdown from the command
    QVERIFY(h.Shown(kPostponed));
    QCOMPARE(s.app->Settings().Backup_NextTime, 1);
    QCOMPARE(FileCount(folder), 0);

    std::vector<QString> captions;
    bool pressedEarly = false;
    s.script->Add([&](QDialog& d) {
        auto& dialog = dynamic_cast<CBackupDlg&>(d);
        captions.push_back(dialog.SaveButton()->text());
        for (int i = 0; i < 9; ++i)
            dialog.Tick();
        captions.push_back(dialog.SaveButton()->text());
        pressedEarly = d.result() == QDialog::Accepted || FileCount(folder) != 0;
        dialog.Tick();
        return d.result();
    });
    s.Frame().OnCommand(cmd::kLogout);
    QVERIFY(!s.Doc().IsAuthorised());
    QCOMPARE(captions, (std::vector<QString>{QStringLiteral("Save Backup (10)"),
                                             QStringLiteral("Save Backup (1)")}));
    QVERIFY(!pressedEarly);
    QCOMPARE(FileCount(folder), 1);
    const QString copy = QDir(folder).filePath(QFileInfo(s.vault).fileName());
    QCOMPARE(ReadAll(copy), ReadAll(s.vault));
    QCOMPARE(s.app->Settings().Backup_NextTime, 0);
    QVERIFY(ParseLastBackup(s.app->Settings().Backup_LastBackup, nullptr));
    QVERIFY(s.script->Done());
}

void DatabaseDialogsTest::OptionsStopTheCountdownAndAreStoredOnOkOnly() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const QString folder = PrepareBackups(s);
    CTresorixSettings& settings = s.app->Settings();
    settings.Backup_RemaindDaysEnable = 1;
    settings.Backup_RemaindDays = 7;
    settings.Backup_Timestamp = "_%Y";
    bool stopped = false;
    bool rangeOk = false;
    bool liveTest = false;
    s.script->Add([&](QDialog& d) {
        auto& dialog = dynamic_cast<CBackupDlg&>(d);
        dialog.Tick();
        s.script->Add([&](QDialog& o) {
            auto& options = dynamic_cast<CBackupOptinsDlg&>(o);
            options.DaysBox()->setValue(45);
            rangeOk = options.DaysBox()->value() == 30 && options.DaysBox()->minimum() == 1;
            options.FormatBox()->setText(QStringLiteral("%Y"));
            liveTest =
                options.FormatTest()->text() == QString::fromStdString(TimestampFormatTest("%Y"));
            options.TimestampBox()->setChecked(true);
            const bool enabled = options.FormatBox()->isEnabled();
            options.TimestampBox()->setChecked(false);
            liveTest = liveTest && enabled && !options.FormatsButton()->isEnabled();
            o.reject();
            return o.result();
        });
        dialog.OptionsButton()->click();
        stopped = !dialog.Countdown().IsRunning() &&
                  dialog.SaveButton()->text() == QStringLiteral("Save Backup");
        // A tick after the countdown stopped presses nothing.
        dialog.Tick();
        stopped = stopped && d.result() != QDialog::Accepted;
        s.script->Add([](QDialog& o) {
            auto& options = dynamic_cast<CBackupOptinsDlg&>(o);
            options.DaysBox()->setValue(12);
            options.accept();
            return o.result();
        });
        dialog.OptionsButton()->click();
        d.reject();
        return d.result();
    });
    s.Frame().OnCommand(cmd::kLogout);
    QVERIFY(stopped);
    QVERIFY(rangeOk);
    QVERIFY(liveTest);
    QVERIFY(s.script->Done());
    // Cancel changed nothing; OK stored its boxes (the days and the unchanged rest).
    QCOMPARE(settings.Backup_RemaindDays, 12);
    QCOMPARE(settings.Backup_Timestamp, std::string("_%Y"));
    QCOMPARE(settings.Backup_AppendTimestamp, 0);
    QCOMPARE(FileCount(folder), 0);
}

void DatabaseDialogsTest::ReminderFollowsTheDaysSinceTheLastBackup() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    PrepareBackups(s);
    CTresorixSettings& settings = s.app->Settings();
    settings.Backup_RemaindDaysEnable = 1;
    settings.Backup_RemaindDays = 7;
    settings.Backup_LastBackup = DaysAgo(6);
    s.Frame().OnCommand(cmd::kLogout);
    QVERIFY(!s.Doc().IsAuthorised());
    const std::size_t before = s.script->Shown().size();
    QCOMPARE(s.script->Unexpected(), 0);

    s.script->Add(apptest::LoginStep(QStringLiteral("carol"), QStringLiteral("S3cret!pass")));
    s.Frame().OnCommand(cmd::kLogin);
    QVERIFY(s.Doc().IsAuthorised());
    settings.Backup_LastBackup = DaysAgo(7);
    bool countdown = false;
    s.script->Add([&](QDialog& d) {
        countdown = dynamic_cast<CBackupDlg&>(d).Countdown().IsRunning();
        d.reject();
        return d.result();
    });
    s.Frame().OnCommand(cmd::kLogout);
    QVERIFY(countdown);
    QCOMPARE(s.script->Shown().size(), before + 2);
    QVERIFY(s.script->Done());
}

void DatabaseDialogsTest::PasswordChangeChecksThenReopensWithTheNewPassword() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    bool wrongOld = false;
    bool mismatch = false;
    bool oldRefused = false;
    RunManager(s, [&](CDatabaseManagerDlg& manager) {
        s.script->Add([&](QDialog& d) {
            auto& dialog = dynamic_cast<CChangePaswordDlg&>(d);
            if (dialog.UsernameBox()->text() != QStringLiteral("carol"))
                return int(QDialog::Rejected);
            dialog.CurrentBox()->setText(QStringLiteral("wrong"));
            dialog.NewBox()->setText(QStringLiteral("n3w!"));
            dialog.AgainBox()->setText(QStringLiteral("n3w!"));
            dialog.OnChange();
            wrongOld = h.Shown(kWrongOldPassword) && dialog.CurrentBox()->text().isEmpty() &&
                       dialog.NewBox()->text().isEmpty() && s.Doc().IsAuthorised();
            dialog.CurrentBox()->setText(QStringLiteral("S3cret!pass"));
            dialog.NewBox()->setText(QStringLiteral("n3w!"));
            dialog.AgainBox()->setText(QStringLiteral("other"));
            dialog.OnChange();
            mismatch = h.Shown(kNewPasswordsDiffer) && dialog.AgainBox()->text().isEmpty() &&
                       s.Doc().IsAuthorised();
            dialog.NewBox()->setText(QStringLiteral("n3w!"));
            dialog.AgainBox()->setText(QStringLiteral("n3w!"));
            dialog.UsernameBox()->setText(QStringLiteral("dora"));
            dialog.OnChange();
            return d.result();
        });
        // The login after the change: the old credentials are refused, the new ones taken.
        s.script->Add([&](QDialog& d) {
            auto& login = dynamic_cast<CPasswordDlg&>(d);
            login.UsernameBox()->setText(QStringLiteral("carol"));
            login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
            login.accept();
            oldRefused = d.result() != QDialog::Accepted && h.Shown(kLoginRefused);
            login.UsernameBox()->setText(QStringLiteral("dora"));
            login.PasswordBox()->setText(QStringLiteral("n3w!"));
            login.accept();
            return d.result();
        });
        manager.findChild<QPushButton*>(QStringLiteral("ChangePassword"))->click();
    });
    QVERIFY(wrongOld);
    QVERIFY(mismatch);
    QVERIFY(oldRefused);
    QVERIFY(s.script->Done());
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(s.Doc().GetRecord(14)->GetName(), std::string("Router admin"));
    QCOMPARE(s.Doc().GetFavorites().GetCount(), 4);
}

void DatabaseDialogsTest::ManagerCompressesAndOpensAnotherFile() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const QString other = apptest::CopyVault(s.h.dir, QStringLiteral("new-empty.tpx"));
    QVERIFY(!other.isEmpty());
    RunManager(s, [&](CDatabaseManagerDlg& manager) {
        manager.OnCompress();
        s.script->Add(apptest::LoginStep(QStringLiteral("alice"), QStringLiteral("correct horse")));
        manager.OpenFile(other.toStdString());
    });
    QVERIFY(h.messages.Messages().empty()); // compaction went through silently
    QVERIFY(s.script->Done());
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(QString::fromStdString(s.Frame().OpenPath()), other);
    // The compacted sample still opens with all its records.
    RunManager(s, [&](CDatabaseManagerDlg& manager) {
        s.script->Add(apptest::LoginStep(QStringLiteral("carol"), QStringLiteral("S3cret!pass")));
        manager.OpenFile(s.vault.toStdString());
    });
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(s.Doc().GetRecord(25)->GetName(), std::string("Backup keys"));

    // Logged out the manager still opens: compaction and locating say why they cannot run,
    // and another file can be opened.
    s.Frame().OnCommand(cmd::kLogout);
    QCoreApplication::processEvents();
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(s.Enabled(cmd::kDatabaseManagement));
    RunManager(s, [&](CDatabaseManagerDlg& manager) {
        manager.OnCompress();
        manager.OnLocate();
        manager.OnChangePassword();
        s.script->Add(apptest::LoginStep(QStringLiteral("alice"), QStringLiteral("correct horse")));
        manager.OpenFile(other.toStdString());
    });
    QCOMPARE(h.Count(61333), 3);
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(QString::fromStdString(s.Frame().OpenPath()), other);
}

TX_APP_TEST_MAIN(DatabaseDialogsTest)
#include "DatabaseDialogsTest.moc"
