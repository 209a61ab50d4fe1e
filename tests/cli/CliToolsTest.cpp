#include "cli/CliTestSupport.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

using txtest::CLIRUN;
using txtest::CliVaultDir;

namespace fs = std::filesystem;

namespace {

const char* const kSamplePassword = "S3cret!pass";

CLIRUN OnSample(const fs::path& vault, std::vector<std::string> words) {
    words.insert(words.begin() + 1, {"-u", "carol", "--password-stdin", vault.string()});
    return txtest::RunCli(words, std::string(kSamplePassword) + "\n");
}

std::vector<int> Ids(const CLIRUN& run) {
    std::vector<int> ids;
    for (const QJsonValue& item :
         QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array())
        ids.push_back(item.toObject()["id"].toInt());
    return ids;
}

// Lowers the largest file the process may write, as a full disk would stop it.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int);
};

} // namespace

TEST(CliSearch, FieldsTypesFoldersAndSubfolders) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir scratch;
    const fs::path vault = txtest::CopyFixtureVault("sample", scratch);
    EXPECT_EQ(Ids(OnSample(vault, {"search", "--json", "gmail"})), std::vector<int>{11});
    // Stored Windows-1252 names match what is typed in UTF-8.
    EXPECT_EQ(Ids(OnSample(vault, {"search", "--json", "--in", "name", "caf\xc3\xa9*review"})),
              std::vector<int>{18});
    EXPECT_EQ(Ids(OnSample(vault, {"search", "--json", "--type", "card", ""})),
              (std::vector<int>{19, 20}));
    // Password records in the widest sense: URL records are password records too.
    std::vector<int> deep =
        Ids(OnSample(vault, {"search", "--json", "--folder", "My Passwords/Business", "--type",
                             "password", ""}));
    std::sort(deep.begin(), deep.end());
    EXPECT_EQ(deep, (std::vector<int>{12, 15, 18}));
    EXPECT_EQ(Ids(OnSample(vault, {"search", "--json", "--folder", "My Passwords/Business",
                                   "--no-subfolders", "--type", "password", ""})),
              std::vector<int>{12});
    // The card holder is only looked at when asked for.
    EXPECT_TRUE(Ids(OnSample(vault, {"search", "--json", "\"CAROL SMITH\""})).empty());
    EXPECT_EQ(Ids(OnSample(vault, {"search", "--json", "--in", "cardholder", "\"CAROL SMITH\""})),
              std::vector<int>{19});
    CLIRUN text = OnSample(vault, {"search", "gmail"});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.out.find("My Passwords/Email Accounts/Gmail"), std::string::npos);
    EXPECT_EQ(OnSample(vault, {"search", "--in", "colour", "x"}).code, 1);
    EXPECT_EQ(OnSample(vault, {"search", "--type", "rocket", "x"}).code, 1);
    EXPECT_EQ(OnSample(vault, {"search", "--folder", "#11", "x"}).code, 3);
}

TEST(CliImport, MapsColumnsByNumberOrTitleIntoAFolder) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/Imported"}).code, 0);
    txtest::WriteFile(dir / "a.csv", "Title,User,Secret,Mail,Site,Notes\n"
                                     "Mail,me,p1,me@x.org,https://x.org,first\\nsecond\n"
                                     "\"Bank\",you,p\\,2,you@x.org,https://b.org,n\n");
    CLIRUN run =
        dir.Run({"import-csv", dir / "a.csv", "--separator", ",", "--header", "--strip-quotes",
                 "--folder", "My Passwords/Imported", "--map", "name=Title,login=User,password=3",
                 "--map", "email=Mail,url=Site,comments=6"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonArray items = dir.Json({"ls", "My Passwords/Imported"}).array();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[1].toObject()["name"].toString(), "Bank");
    const QJsonObject mail = dir.Json({"show", "--reveal", "My Passwords/Imported/Mail"}).object();
    EXPECT_EQ(mail["fields"]["login"].toString(), "me");
    EXPECT_EQ(mail["fields"]["email"].toString(), "me@x.org");
    EXPECT_EQ(mail["fields"]["url"].toString(), "https://x.org");
    EXPECT_EQ(mail["comments"].toString(), "first\nsecond");
    EXPECT_EQ(dir.Json({"show", "--reveal", "My Passwords/Imported/Bank"})["fields"]["password"]
                  .toString(),
              "p,2");

    // With a header and no map, the columns titled like the fields are taken.
    txtest::WriteFile(dir / "b.csv", "Name;Password\nAuto;pw\n");
    ASSERT_EQ(dir.Run({"import-csv", dir / "b.csv", "--header"}).code, 0);
    EXPECT_EQ(dir.Json({"show", "--reveal", "My Passwords/Auto"})["fields"]["password"].toString(),
              "pw");
}

TEST(CliImport, IncompleteRowsAreAllOrNothingUnlessToldOtherwise) {
    CliVaultDir dir;
    txtest::WriteFile(dir / "c.csv", "A;a\nB\nC;c\n");
    const std::string before = txtest::FileDigest(dir.Vault());
    CLIRUN run = dir.Run({"import-csv", dir / "c.csv", "--map", "name=1,login=2"});
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("line 2 has no value for login"), std::string::npos) << run.err;
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), before);

    const QJsonObject skipped =
        dir.Json({"import-csv", dir / "c.csv", "--map", "name=1,login=2", "--skip-invalid"})
            .object();
    EXPECT_EQ(skipped["imported"].toInt(), 2);
    EXPECT_EQ(skipped["skipped_lines"].toArray(), QJsonArray{2});
    ASSERT_EQ(
        dir.Run({"import-csv", dir / "c.csv", "--map", "name=1,login=2", "--keep-invalid"}).code,
        0);
    EXPECT_EQ(dir.Json({"ls", "My Passwords"}).array().size(), 6);
}

TEST(CliImport, BadSourcesAndMappingsWriteNothing) {
    CliVaultDir dir;
    txtest::WriteFile(dir / "d.csv", "A;a\n\nB;b\n");
    txtest::WriteFile(dir / "e.csv", "A;a\nB;b\n");
    txtest::WriteFile(dir / "empty.csv", "");
    const std::string before = txtest::FileDigest(dir.Vault());
    // Reading stops at an empty line; what follows would be lost.
    CLIRUN run = dir.Run({"import-csv", dir / "d.csv", "--map", "name=1"});
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("line 2 is empty"), std::string::npos);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv"}).code, 1);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv", "--map", "name=3"}).code, 1);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv", "--map", "name=0"}).code, 1);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv", "--map", "colour=1"}).code, 1);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv", "--map", "name=Title"}).code, 1);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv", "--header", "--map", "name=Title"}).code, 1);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv", "--map", "name=1", "--separator", ";;"}).code,
              1);
    EXPECT_EQ(dir.Run({"import-csv", dir / "empty.csv", "--map", "name=1"}).code, 3);
    EXPECT_EQ(dir.Run({"import-csv", dir / "missing.csv", "--map", "name=1"}).code, 3);
    EXPECT_EQ(dir.Run({"import-csv", dir / "e.csv", "--map", "name=1", "--folder", "#9"}).code, 3);
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), before);
}

TEST(CliExport, CsvRoundTripsThroughTheImport) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/Work"}).code, 0);
    ASSERT_EQ(dir.Run({"add", "--folder", "My Passwords/Work", "--name", "Mail", "--login", "a;b",
                       "--password", "p", "--comments", "two\nlines"})
                  .code,
              0);
    ASSERT_EQ(dir.Run({"add", "--name", "Top", "--login", "t"}).code, 0);
    CLIRUN run = dir.Run({"export", dir / "out.csv", "--folder", "My Passwords/Work", "--columns",
                          "name,login,password,comments", "--header"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string csv = txtest::ReadFile(dir / "out.csv");
    EXPECT_EQ(csv, "Name;Login;Password;Comments;\r\nMail;a\\;b;p;two\\nlines;\r\n");

    txtest::ScratchDir other;
    ASSERT_EQ(
        txtest::RunCli({"create", "-u", "x", "--password-stdin", other / "o.tpx"}, "y\n").code, 0);
    run = txtest::RunCli(
        {"import-csv", "-u", "x", "--password-stdin", other / "o.tpx", dir / "out.csv", "--header"},
        "y\n");
    ASSERT_EQ(run.code, 0) << run.err;
    run = txtest::RunCli({"show", "-u", "x", "--password-stdin", "--reveal", "--json",
                          other / "o.tpx", "My Passwords/Mail"},
                         "y\n");
    const QJsonObject mail = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    EXPECT_EQ(mail["fields"]["login"].toString(), "a;b");
    EXPECT_EQ(mail["comments"].toString(), "two\nlines");
}

TEST(CliExport, HtmlXmlAndOptionsOfEachFormat) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir scratch;
    const fs::path vault = txtest::CopyFixtureVault("sample", scratch);
    ASSERT_EQ(OnSample(vault, {"export", "-f", "html", "--title", "Mine", "--look", "simple",
                               scratch / "out.html"})
                  .code,
              0);
    const std::string html = txtest::ReadFile(scratch / "out.html");
    EXPECT_NE(html.find("Mine - Tresorix Pro"), std::string::npos);
    EXPECT_NE(html.find("Gmail"), std::string::npos);
    ASSERT_EQ(OnSample(vault, {"export", "-f", "xml", "--folder", "My Passwords/Credit Cards",
                               "--columns", "name,card-number", scratch / "out.xml"})
                  .code,
              0);
    const std::string xml = txtest::ReadFile(scratch / "out.xml");
    EXPECT_NE(xml.find("4111 1111 1111 1111"), std::string::npos);
    EXPECT_NE(xml.find("<CUSTOM_FIELDS>"), std::string::npos);
    EXPECT_EQ(xml.find("Gmail"), std::string::npos);
    ASSERT_EQ(OnSample(vault, {"export", "-f", "xml", "--no-custom-fields", "--force",
                               scratch / "out.xml"})
                  .code,
              0);
    EXPECT_EQ(txtest::ReadFile(scratch / "out.xml").find("<CUSTOM_FIELDS>"), std::string::npos);

    EXPECT_EQ(OnSample(vault, {"export", "-f", "pdf", scratch / "x"}).code, 1);
    EXPECT_EQ(OnSample(vault, {"export", "-f", "html", "--header", scratch / "x"}).code, 1);
    EXPECT_EQ(OnSample(vault, {"export", "--columns", "name,colour", scratch / "x"}).code, 1);
    EXPECT_EQ(OnSample(vault, {"export", "-f", "trx", "--columns", "name", scratch / "x"}).code, 1);
    EXPECT_FALSE(fs::exists(scratch / "x"));
    // Neither an existing file without --force nor the vault itself is written over.
    EXPECT_EQ(OnSample(vault, {"export", scratch / "out.html"}).code, 3);
    EXPECT_EQ(OnSample(vault, {"export", "--force", vault.string()}).code, 3);
    EXPECT_EQ(OnSample(vault, {"check"}).code, 0);
}

TEST(CliExport, TrxCopiesWithTheSourceOrNewCredentials) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir scratch;
    const fs::path vault = txtest::CopyFixtureVault("sample", scratch);
    ASSERT_EQ(OnSample(vault, {"export", "-f", "trx", "--skip-deleted", scratch / "copy.tpx"}).code,
              0);
    CLIRUN run = OnSample(scratch / "copy.tpx", {"check", "--json"});
    ASSERT_EQ(run.code, 0) << run.out << run.err;
    const QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    EXPECT_EQ(report["files"].toInt(), 2);
    EXPECT_EQ(txtest::RunCli({"hint", scratch / "copy.tpx"}).out, "usual\n");
    EXPECT_TRUE(Ids(OnSample(scratch / "copy.tpx", {"search", "--json", "Hotmail"})).empty());

    run = txtest::RunCli({"export", "-u", "carol", "--password-stdin", vault.string(), "-f", "trx",
                          "--new-user", "dora", "--new-password", "--new-hint", "h",
                          scratch / "new.tpx"},
                         std::string(kSamplePassword) + "\nfresh\n");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(
        txtest::RunCli({"ls", "-u", "dora", "--password-stdin", scratch / "new.tpx"}, "fresh\n")
            .code,
        0);
    EXPECT_EQ(OnSample(scratch / "new.tpx", {"ls"}).code, 2);
}

TEST(CliExport, AFullDiskLeavesNoFileBehind) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir scratch;
    const fs::path vault = txtest::CopyFixtureVault("big", scratch);
    txtest::WriteFile(scratch / "old.csv", "keep me");
    CLIRUN csv;
    CLIRUN trx;
    {
        CFileSizeLimit limit(64 * 1024);
        csv = txtest::RunCli({"export", "-u", "dave", "--password-stdin", vault.string(), "--force",
                              scratch / "old.csv"},
                             "big\n");
        trx = txtest::RunCli({"export", "-u", "dave", "--password-stdin", vault.string(), "-f",
                              "trx", scratch / "copy.tpx"},
                             "big\n");
    }
    EXPECT_EQ(csv.code, 3);
    EXPECT_FALSE(csv.err.empty());
    EXPECT_EQ(txtest::ReadFile(scratch / "old.csv"), "keep me");
    EXPECT_EQ(trx.code, 3);
    EXPECT_FALSE(fs::exists(scratch / "copy.tpx"));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(scratch.Path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"big.tpx", "old.csv"}));
}
