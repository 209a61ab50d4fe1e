#include "cli/CliTestSupport.h"

#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>

using txtest::CLIRUN;
using txtest::CliVaultDir;
using txtest::RunCli;

namespace fs = std::filesystem;

TEST(CliUsage, HelpAndMistakesOfTheCommandLine) {
    CLIRUN run = RunCli({"--help"});
    EXPECT_EQ(run.code, 0);
    for (const char* command : {"create", "ls", "show", "add", "dump", "generate", "check"})
        EXPECT_NE(run.out.find(command), std::string::npos) << command;
    run = RunCli({"add", "--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("--masked-field NAME=VALUE"), std::string::npos);
    EXPECT_EQ(RunCli({"help", "extract"}).code, 0);
    EXPECT_EQ(RunCli({}).code, 1);
    EXPECT_EQ(RunCli({"frobnicate"}).code, 1);
    EXPECT_EQ(RunCli({"ls", "--colour", "v.tpx"}).code, 1);
    run = RunCli({"ls", "--password-stdin", "v.tpx"}, "pw\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("-u USER"), std::string::npos);
    EXPECT_EQ(RunCli({"ls", "-u", "erin"}).code, 1);
}

TEST(CliLogin, RefusedLoginsExitWithTwoAndChangeNothing) {
    CliVaultDir dir;
    const std::string before = txtest::FileDigest(dir.Vault());
    CLIRUN run = dir.Run({"ls"}, "wrong");
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("forget your username or password"), std::string::npos);
    EXPECT_EQ(RunCli({"ls", "-u", "Erin", "--password-stdin", dir.Vault()}, "pw\n").code, 2);
    EXPECT_EQ(
        RunCli({"add", "-u", "erin", "--password-stdin", dir.Vault(), "--name", "x"}, "p\n").code,
        2);
    // No password at all on standard input is a usage problem, not a refusal.
    EXPECT_EQ(RunCli({"ls", "-u", "erin", "--password-stdin", dir.Vault()}, "").code, 1);
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), before);
}

TEST(CliLogin, FilesThatAreNoVaultsAreDataErrors) {
    CliVaultDir dir;
    txtest::WriteFile(dir / "notes.txt", "just some text, no data file\n");
    CLIRUN run = RunCli({"ls", "-u", "erin", "--password-stdin", dir / "notes.txt"}, "pw\n");
    EXPECT_EQ(run.code, 3);
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(txtest::ReadFile(dir / "notes.txt"), "just some text, no data file\n");
    // A missing vault is reported and not created by the attempt.
    run = RunCli({"ls", "-u", "erin", "--password-stdin", dir / "missing.tpx"}, "pw\n");
    EXPECT_EQ(run.code, 3);
    EXPECT_FALSE(fs::exists(dir / "missing.tpx"));
    EXPECT_EQ(RunCli({"hint", dir / "missing.tpx"}).code, 3);
    EXPECT_FALSE(fs::exists(dir / "missing.tpx"));
}

TEST(CliCreate, MakesALoggableVaultWithItsHintAndCategories) {
    txtest::ScratchDir scratch;
    const std::string plain = scratch / "plain.tpx";
    CLIRUN run = RunCli(
        {"create", "-u", "erin", "--hint", "the hint", "--categories", plain, "--password-stdin"},
        "pw\n");
    ASSERT_EQ(run.code, 0) << run.err;
    struct stat info {};
    ASSERT_EQ(::stat(plain.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    run = RunCli({"hint", plain});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "the hint\n");
    run = RunCli({"ls", "-u", "erin", "--password-stdin", "--json", plain}, "pw\n");
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonArray items = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
    ASSERT_EQ(items.size(), 16);
    EXPECT_EQ(items[0].toObject()["name"].toString(), "My Passwords");
    EXPECT_EQ(items[1].toObject()["name"].toString(), "Deleted");
    EXPECT_EQ(items[2].toObject()["path"].toString(), "My Passwords/Email Accounts");

    // Without an extension the wizard's ".trx" is added.
    ASSERT_EQ(RunCli({"create", "-u", "x", "--password-stdin", scratch / "noext"}, "p\n").code, 0);
    EXPECT_TRUE(fs::exists(scratch / "noext.trx"));
    // An empty hint reads as the hint text of the login dialog; JSON gives it as it is.
    run = RunCli({"hint", scratch / "noext.trx"});
    EXPECT_EQ(run.out, "Password hint not specified.\n");
    run = RunCli({"hint", "--json", scratch / "noext.trx"});
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(run.out))["hint"].toString(), "");
}

TEST(CliCreate, RefusesToReplaceOrToTakeEmptyPasswordsUnasked) {
    CliVaultDir dir;
    const std::string before = txtest::FileDigest(dir.Vault());
    CLIRUN run = RunCli({"create", "-u", "erin", "--password-stdin", dir.Vault()}, "other\n");
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("--replace"), std::string::npos);
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), before);

    run = RunCli({"create", "-u", "erin", "--password-stdin", dir / "empty.tpx"}, "\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(fs::exists(dir / "empty.tpx"));
    run = RunCli(
        {"create", "-u", "erin", "--password-stdin", "--empty-password", dir / "empty.tpx"}, "\n");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(RunCli({"ls", "-u", "erin", "--password-stdin", dir / "empty.tpx"}, "\n").code, 0);

    // Replacing moves the old file aside; the old one still opens with its own password.
    run = RunCli({"create", "-u", "erin", "--password-stdin", "--replace", dir.Vault()}, "new\n");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(txtest::FileDigest(dir.Vault() + ".bak01"), before);
    EXPECT_EQ(dir.Run({"ls"}, "new").code, 0);
    EXPECT_EQ(RunCli({"ls", "-u", "erin", "--password-stdin", dir.Vault() + ".bak01"}, "pw\n").code,
              0);
}

TEST(CliPasswd, ReEncryptsUnderTheNewPasswordAndKeepsTheContents) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"add", "--name", "Mail", "--password", "s3cr3t"}).code, 0);
    txtest::WriteFile(dir / "a.bin", std::string(600000, 'a'));
    ASSERT_EQ(dir.Run({"attach", dir / "a.bin"}).code, 0);
    const QJsonDocument before = dir.Json({"show", "--reveal", "My Passwords/Mail"});

    CLIRUN run = RunCli({"passwd", "-u", "erin", "--password-stdin", dir.Vault(), "--new-user",
                         "fred", "--hint", "new hint"},
                        "pw\nnew pw\n");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(dir.Run({"ls"}, "pw").code, 2);
    EXPECT_EQ(RunCli({"hint", dir.Vault()}).out, "new hint\n");
    const std::vector<std::string> login = {"-u", "fred", "--password-stdin", dir.Vault()};
    auto as = [&](std::vector<std::string> words) {
        words.insert(words.begin() + 1, login.begin(), login.end());
        return RunCli(words, "new pw\n");
    };
    run = as({"show", "--reveal", "--json", "My Passwords/Mail"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(run.out)), before);
    EXPECT_EQ(as({"check"}).code, 0);
    ASSERT_EQ(as({"extract", "My Passwords/a.bin", dir / "out.bin"}).code, 0);
    EXPECT_TRUE(txtest::ReadFile(dir / "out.bin") == std::string(600000, 'a'));

    // An empty new password needs its own permission.
    run = RunCli({"passwd", "-u", "fred", "--password-stdin", dir.Vault()}, "new pw\n\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(as({"ls"}).code, 0);
}

TEST(CliBackup, CopiesAClosedVaultWithoutOverwriting) {
    CliVaultDir dir;
    fs::create_directory(dir.Dir() / "backups");
    const std::string folder = dir / "backups";
    CLIRUN first = dir.Run({"backup", "--to", folder, "--no-timestamp", "--json"});
    ASSERT_EQ(first.code, 0) << first.err;
    CLIRUN second = dir.Run({"backup", "--to", folder, "--no-timestamp", "--json"});
    ASSERT_EQ(second.code, 0) << second.err;
    const std::string a = QJsonDocument::fromJson(QByteArray::fromStdString(first.out))["copied_to"]
                              .toString()
                              .toStdString();
    const std::string b =
        QJsonDocument::fromJson(QByteArray::fromStdString(second.out))["copied_to"]
            .toString()
            .toStdString();
    EXPECT_EQ(a, folder + "/v.tpx");
    EXPECT_NE(a, b);
    EXPECT_EQ(txtest::FileDigest(a), txtest::FileDigest(dir.Vault()));
    EXPECT_EQ(txtest::FileDigest(b), txtest::FileDigest(dir.Vault()));

    CLIRUN stamped = dir.Run({"backup", "--to", folder, "--timestamp", "-%Y"});
    ASSERT_EQ(stamped.code, 0) << stamped.err;
    EXPECT_NE(stamped.out.find("v-2"), std::string::npos) << stamped.out;
    EXPECT_EQ(dir.Run({"backup", "--to", dir / "nowhere"}).code, 3);
    EXPECT_EQ(dir.Run({"backup"}).code, 1);
    EXPECT_EQ(dir.Run({"backup", "--to", folder}, "wrong").code, 2);
}

TEST(CliCompact, KeepsEveryRecord) {
    CliVaultDir dir;
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(dir.Run({"add", "--name", "n" + std::to_string(i), "--type", "note"}).code, 0);
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/Deleted/x"}).code, 0);
    const QJsonDocument before = dir.Json({"ls"});
    CLIRUN run = dir.Run({"compact"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(dir.Json({"ls"}), before);
    EXPECT_EQ(dir.Run({"check"}).code, 0);
}

TEST(CliLockedVault, AWriteWhileAnotherConnectionHoldsTheFileFailsCleanly) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"add", "--name", "before"}).code, 0);
    const QJsonDocument listing = dir.Json({"ls"});
    {
        CSQLiteDatabase other;
        other.Open(dir.Vault());
        other.BeginTransaction();
        other.Execute("update tresorix_main set expanded = '0' where id = 1");
        CLIRUN run = dir.Run({"add", "--name", "during"});
        EXPECT_EQ(run.code, 3);
        EXPECT_FALSE(run.err.empty());
        other.RollbackTransaction();
    }
    EXPECT_EQ(dir.Json({"ls"}), listing);
}
