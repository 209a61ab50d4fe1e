#include "cli/CliTestSupport.h"

#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteDatabase.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>

using txtest::CLIRUN;
using txtest::RunCli;

namespace fs = std::filesystem;

namespace {

struct FIXTUREVAULT {
    const char* name;
    const char* user;
    const char* password;
};

const FIXTUREVAULT kVaults[] = {
    {"new-empty", "alice", "correct horse"},
    {"new-categories", "bob", ""},
    {"sample", "carol", "S3cret!pass"},
    {"big", "dave", "big"},
};

CLIRUN RunOn(const FIXTUREVAULT& vault, const fs::path& path, std::vector<std::string> words) {
    words.insert(words.begin() + 1, {"-u", vault.user, "--password-stdin", path.string()});
    return RunCli(words, std::string(vault.password) + "\n");
}

std::string FirstText(CSQLiteDatabase& db, const char* sql) {
    CursorPtr cursor(db.Query(sql));
    CRow* raw = nullptr;
    EXPECT_TRUE(cursor && cursor->Fetch(raw) == 0 && raw);
    RowPtr row(raw);
    FieldPtr field(row->GetField(0));
    return field->AsString();
}

// Runs statements on a copy of the sample vault, then "check --json" on it.
QJsonObject CheckDamaged(const std::vector<std::string>& statements) {
    txtest::ScratchDir scratch;
    const fs::path path = txtest::CopyFixtureVault("sample", scratch);
    {
        CSQLiteDatabase db;
        db.Open(path.string());
        for (const std::string& statement : statements)
            db.Execute(statement.c_str());
    }
    const CLIRUN run = RunOn(kVaults[2], path, {"check", "--json"});
    EXPECT_EQ(run.code, 3) << run.out << run.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

bool HasProblem(const QJsonObject& report, const std::string& table, int id,
                const std::string& words) {
    for (const QJsonValue& problem : report["problems"].toArray()) {
        const QJsonObject p = problem.toObject();
        if (p["table"].toString().toStdString() == table && p["id"].toInt() == id &&
            p["problem"].toString().toStdString().find(words) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

TEST(CliDump, EveryFixtureVaultDumpsExactlyAsItsManifest) {
    TX_REQUIRE_FIXTURES();
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(txtest::FixturesDir() / "vaults")) {
        const std::string file = entry.path().filename().string();
        if (file.size() < 9 || file.substr(file.size() - 9) != ".tpx.json")
            continue;
        const std::string name = file.substr(0, file.size() - 9);
        const FIXTUREVAULT* vault = nullptr;
        for (const FIXTUREVAULT& each : kVaults)
            if (name == each.name)
                vault = &each;
        ASSERT_TRUE(vault) << "no credentials known for " << file;
        SCOPED_TRACE(name);
        txtest::ScratchDir scratch;
        const fs::path path = txtest::CopyFixtureVault(name, scratch);
        const CLIRUN run = RunOn(*vault, path, {"dump", "--reveal"});
        ASSERT_EQ(run.code, 0) << run.err;
        QJsonObject expected =
            QJsonDocument::fromJson(QByteArray::fromStdString(txtest::ReadFile(entry.path())))
                .object();
        // What only the maker of a fixture knows.
        for (const char* key : {"description", "attachment_content", "notes"})
            expected.remove(key);
        QJsonParseError error;
        const QJsonDocument actual =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError);
        EXPECT_EQ(txtest::JsonDifference(actual.object(), expected), "");
        // Reading leaves the file as it was.
        EXPECT_EQ(txtest::FileDigest(path),
                  txtest::FileDigest(txtest::FixturesDir() / "vaults" / (name + ".tpx")));
        ++compared;
    }
    EXPECT_EQ(compared, 4);
}

TEST(CliDump, KeepsTheMasterPasswordOutUnlessRevealed) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir scratch;
    const fs::path path = txtest::CopyFixtureVault("sample", scratch);
    const CLIRUN run = RunOn(kVaults[2], path, {"dump"});
    ASSERT_EQ(run.code, 0);
    const QJsonObject credentials =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out))["credentials"].toObject();
    EXPECT_FALSE(credentials.contains("password"));
    EXPECT_EQ(credentials["key_text"].toString(), "ec5858520d3ef00dc774068ef9aa8f2d");
    EXPECT_EQ(run.out.find("S3cret!pass"), std::string::npos);
}

TEST(CliDump, VaultsMadeByTheCommandLineDumpWhatWasPutIn) {
    txtest::CliVaultDir dir;
    ASSERT_EQ(dir.Run({"add", "--name", "Caf\xc3\xa9", "--login", "me", "--field", "A=1"}).code, 0);
    const QJsonObject dump = dir.Json({"dump"}).object();
    EXPECT_EQ(dump["sqlite"]["integrity_check"].toString(), "ok");
    EXPECT_EQ(dump["credentials"]["username"]["text"].toString(), "erin");
    EXPECT_EQ(dump["credentials"]["hint"]["text"].toString(), "the hint");
    EXPECT_TRUE(dump["header"]["seal_ok"].toBool());
    const QJsonArray tree = dump["tree"].toArray();
    ASSERT_EQ(tree.size(), 3);
    const QJsonObject record = tree[2]["record"].toObject();
    EXPECT_EQ(record["class"].toString(), "CPasswordItem");
    // Typed text is stored as UTF-8 bytes.
    EXPECT_EQ(record["name"]["hex"].toString(), "436166c3a9");
    EXPECT_EQ(record["custom_fields_text"]["text"].toString(), "0000\tA\t1\n");
    EXPECT_EQ(record["fields"]["login"]["text"].toString(), "me");
}

TEST(CliCheck, FixtureVaultsAreSound) {
    TX_REQUIRE_FIXTURES();
    for (const FIXTUREVAULT& vault : kVaults) {
        SCOPED_TRACE(vault.name);
        txtest::ScratchDir scratch;
        const fs::path path = txtest::CopyFixtureVault(vault.name, scratch);
        const CLIRUN run = RunOn(vault, path, {"check", "--json"});
        ASSERT_EQ(run.code, 0) << run.out << run.err;
        const QJsonObject report =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
        EXPECT_TRUE(report["ok"].toBool());
        EXPECT_TRUE(report["problems"].toArray().isEmpty());
    }
}

TEST(CliCheck, ReportsEveryUnreadableRecordAndPart) {
    TX_REQUIRE_FIXTURES();
    QJsonObject report =
        CheckDamaged({"update tresorix_main set data = 'A\x01\x05zz' where id = 11",
                      "update tresorix_main set data = NULL where id = 12"});
    EXPECT_TRUE(HasProblem(report, "tree", 11, "malformed"));
    EXPECT_TRUE(HasProblem(report, "tree", 12, "no record"));
    EXPECT_EQ(report["problems"].toArray().size(), 2);
    EXPECT_FALSE(report["ok"].toBool());

    report = CheckDamaged({"delete from tresorix_data where id = 2",
                           "update tresorix_main set id_parent = 99 where id = 13",
                           "update tresorix_main set id_parent = 14 where id = 7"});
    EXPECT_TRUE(HasProblem(report, "data", 3, "part 2 of #25 where part 1"));
    EXPECT_TRUE(HasProblem(report, "tree", 13, "parent #99 is missing"));
    EXPECT_TRUE(HasProblem(report, "tree", 7, "not a folder"));
    EXPECT_TRUE(HasProblem(report, "tree", 7, "loop"));

    // A record's ciphertext in the place of a file part decrypts to bytes of the wrong length,
    // and a part hanging under a password record belongs to no file.
    txtest::ScratchDir scratch;
    const fs::path path = txtest::CopyFixtureVault("sample", scratch);
    {
        CSQLiteDatabase db;
        db.Open(path.string());
        const std::string text = FirstText(db, "select data from tresorix_main where id = 11");
        CSQLiteBuffer sql;
        db.Execute(sql.Format("update tresorix_data set data = %Q where id = 2", text.c_str()));
        db.Execute(sql.Format(
            "insert into tresorix_data (id_parent, part, data) values (11, 1, %Q)", text.c_str()));
    }
    const CLIRUN run = RunOn(kVaults[2], path, {"check"});
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.out.find("data #2: decrypts to"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("which is not a file record"), std::string::npos) << run.out;
}
