#include "cli/CliTestSupport.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>

using txtest::CLIRUN;
using txtest::CliVaultDir;

namespace fs = std::filesystem;

namespace {

std::string Pattern(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    return bytes;
}

} // namespace

TEST(CliAttach, StoresFilesOfEveryPartCountAndExtractsThemExactly) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/Work"}).code, 0);
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{524288},
                               std::size_t{524289}, std::size_t{1300000}}) {
        SCOPED_TRACE(length);
        const std::string name = "f" + std::to_string(length) + ".pdf";
        const std::string bytes = Pattern(length);
        txtest::WriteFile(dir / name, bytes);
        CLIRUN run = dir.Run({"attach", "--folder", "My Passwords/Work", dir / name});
        ASSERT_EQ(run.code, 0) << run.err;
        const int id = CliVaultDir::IdOf(run);
        const QJsonObject record = dir.Json({"show", "#" + std::to_string(id)}).object();
        EXPECT_EQ(record["name"].toString().toStdString(), name);
        EXPECT_EQ(record["fields"].toObject()["file-name"].toString().toStdString(), name);
        EXPECT_EQ(record["fields"].toObject()["extension"].toString(), ".pdf");
        EXPECT_EQ(record["fields"].toObject()["parts"].toInt(),
                  static_cast<int>((length + 524287) / 524288));
        run = dir.Run({"extract", "#" + std::to_string(id), dir / ("out-" + name)});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_TRUE(txtest::ReadFile(dir / ("out-" + name)) == bytes);
        struct stat info {};
        ASSERT_EQ(::stat((dir / ("out-" + name)).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    EXPECT_EQ(dir.Run({"check"}).code, 0);
}

TEST(CliAttach, ReplacingAFileAndNamingTheRecord) {
    CliVaultDir dir;
    txtest::WriteFile(dir / "report.pdf", Pattern(1000));
    CLIRUN run = dir.Run({"attach", dir / "report.pdf", "--name", "Report", "--comments", "v1"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.substr(run.out.find(' ') + 1), "My Passwords/Report\n");
    txtest::WriteFile(dir / "second.txt", Pattern(700000));
    ASSERT_EQ(dir.Run({"attach", "--item", "My Passwords/Report", dir / "second.txt"}).code, 0);
    const QJsonObject record = dir.Json({"show", "My Passwords/Report"}).object();
    EXPECT_EQ(record["fields"].toObject()["file-name"].toString(), "second.txt");
    EXPECT_EQ(record["fields"].toObject()["extension"].toString(), ".txt");
    EXPECT_EQ(record["comments"].toString(), "v1");
    // The target folder receives the file under its stored name.
    fs::create_directory(dir.Dir() / "out");
    ASSERT_EQ(dir.Run({"extract", "My Passwords/Report", dir / "out"}).code, 0);
    EXPECT_TRUE(txtest::ReadFile(dir.Dir() / "out" / "second.txt") == Pattern(700000));
    // A copy of a file record carries its own copy of the file.
    run = dir.Run({"cp", "My Passwords/Report"});
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(dir.Run({"rm", "My Passwords/Report"}).code, 0);
    ASSERT_EQ(dir.Run({"empty-trash"}).code, 0);
    ASSERT_EQ(dir.Run({"extract", "My Passwords/Report (2)", dir / "copy.txt"}).code, 0);
    EXPECT_TRUE(txtest::ReadFile(dir / "copy.txt") == Pattern(700000));
    EXPECT_EQ(dir.Run({"check"}).code, 0);
}

TEST(CliAttach, BadInputLeavesVaultAndTargetsAlone) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"add", "--name", "Mail"}).code, 0);
    txtest::WriteFile(dir / "a.bin", Pattern(10));
    ASSERT_EQ(dir.Run({"attach", dir / "a.bin"}).code, 0);
    const std::string before = txtest::FileDigest(dir.Vault());
    EXPECT_EQ(dir.Run({"attach", dir / "missing.bin"}).code, 3);
    EXPECT_EQ(dir.Run({"attach", dir.Dir().string()}).code, 3);
    EXPECT_EQ(dir.Run({"attach", "--item", "My Passwords/Mail", dir / "a.bin"}).code, 3);
    EXPECT_EQ(dir.Run({"attach", "--item", "#1", "--folder", "#1", dir / "a.bin"}).code, 1);
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), before);

    txtest::WriteFile(dir / "taken.bin", "mine");
    EXPECT_EQ(dir.Run({"extract", "My Passwords/a.bin", dir / "taken.bin"}).code, 3);
    EXPECT_EQ(txtest::ReadFile(dir / "taken.bin"), "mine");
    ASSERT_EQ(dir.Run({"extract", "--force", "My Passwords/a.bin", dir / "taken.bin"}).code, 0);
    EXPECT_EQ(txtest::ReadFile(dir / "taken.bin"), Pattern(10));
    EXPECT_EQ(dir.Run({"extract", "My Passwords/Mail", dir / "mail.bin"}).code, 3);
    EXPECT_FALSE(fs::exists(dir / "mail.bin"));
    EXPECT_EQ(dir.Run({"extract", "My Passwords/a.bin", dir / "no/such/folder/x"}).code, 3);
}

TEST(CliAttach, ExtractingFixtureAttachmentsGivesTheirRecordedBytes) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir scratch;
    const std::string vault = txtest::CopyFixtureVault("sample", scratch).string();
    const QJsonDocument manifest = QJsonDocument::fromJson(QByteArray::fromStdString(
        txtest::ReadFile(txtest::FixturesDir() / "vaults" / "sample.tpx.json")));
    int checked = 0;
    for (const QJsonValue& node : manifest["tree"].toArray()) {
        const QJsonObject attachment = node["record"]["attachment"].toObject();
        if (attachment.isEmpty())
            continue;
        const std::string item = "#" + std::to_string(node["id"].toInt());
        const std::string target = scratch / ("out" + item);
        CLIRUN run = txtest::RunCli(
            {"extract", "-u", "carol", "--password-stdin", vault, item, target}, "S3cret!pass\n");
        ASSERT_EQ(run.code, 0) << run.err;
        const std::string bytes = txtest::ReadFile(target);
        EXPECT_EQ(static_cast<qint64>(bytes.size()), attachment["length"].toInteger());
        EXPECT_EQ(
            QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
                .toHex()
                .toStdString(),
            attachment["sha256"].toString().toStdString());
        ++checked;
    }
    EXPECT_EQ(checked, 2);
}
