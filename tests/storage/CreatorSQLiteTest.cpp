#include "storage/CreatorSQLite.h"
#include "model/Factory.h"
#include "model/PayloadCipher.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/TresorixSettings.h"
#include "security/Crc32.h"
#include "security/Login.h"
#include "security/MD5Checksum.h"
#include "storage/CreatorPages.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteEngine.h"

#include "common/Fixtures.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::vector<std::optional<std::string>>>;

Rows Query(const std::string& path, const char* sql) {
    CSQLiteDatabase db;
    db.Open(path);
    Rows rows;
    CursorPtr cursor(db.Query(sql));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0 && raw) {
        RowPtr row(raw);
        std::vector<std::optional<std::string>> values;
        for (int i = 0; i < row->GetFieldCount(); ++i) {
            FieldPtr field(row->GetField(i));
            const char* text = field->AsString();
            values.push_back(text ? std::optional<std::string>(text) : std::nullopt);
        }
        rows.push_back(std::move(values));
    }
    return rows;
}

std::string Sha256(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::string Hex(const std::string& bytes) {
    return QByteArray(bytes.data(), qsizetype(bytes.size())).toHex().toStdString();
}

// The plaintext of an encrypted text column.
std::string Decrypt(const std::string& text, const std::string& key) {
    CSQLiteBinary cipher;
    EXPECT_EQ(cipher.FromText(text), 1);
    CMemFile plain;
    EXPECT_TRUE(DecryptPayload(cipher.GetData(), std::size_t(cipher.GetLength()), key, plain));
    return std::string(reinterpret_cast<const char*>(plain.GetData()), plain.GetLength());
}

// A serialised folder with its two file times (which differ on every creation) blanked.
std::string WithoutTimes(std::string serialised) {
    if (serialised.size() < 24)
        return serialised;
    std::uint32_t nameLength = 0;
    std::memcpy(&nameLength, serialised.data() + 16, 4);
    std::size_t times = 16 + 4 + nameLength + 4;
    if (times + 16 <= serialised.size())
        serialised.replace(times, 16, 16, '\0');
    return serialised;
}

QJsonObject Manifest(const std::string& name) {
    QFile file(QString::fromStdString((txtest::FixturesDir() / "vaults" / name).string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

std::string JsonText(const QJsonValue& value) {
    return value.toString().toStdString();
}

std::string FromHex(const QJsonValue& value) {
    return QByteArray::fromHex(value.toString().toLatin1()).toStdString();
}

class CreatorSQLite : public ::testing::Test {
protected:
    int Create(const std::string& path, const std::string& user, const std::string& password,
               const std::string& hint, bool categories) {
        CCreatorSQLite creator;
        creator.SetFileName(path);
        creator.SetUserName(user);
        creator.SetKey(CMD5Checksum::GetMD5(password));
        creator.SetHint(hint);
        creator.SetCreateCategories(categories);
        if (categories)
            creator.SetCategories(VisibleDefaultCategories());
        int result = creator.Create();
        m_backupName = creator.GetBackupName();
        return result;
    }

    // Compares the created file with a fixture made by the original program: the same
    // schema, the same header text, the same tree rows and records apart from their times.
    void ExpectSameAsFixture(const std::string& path, const std::string& fixture) {
        const QJsonObject manifest = Manifest(fixture + ".json");
        const std::string key = JsonText(manifest["credentials"].toObject()["key_text"]);

        const Rows schema = Query(path, "SELECT type, name, tbl_name, sql FROM sqlite_master");
        const QJsonArray expectedSchema = manifest["schema"].toArray();
        ASSERT_EQ(schema.size(), std::size_t(expectedSchema.size()));
        for (qsizetype i = 0; i < expectedSchema.size(); ++i) {
            const QJsonObject row = expectedSchema[i].toObject();
            EXPECT_EQ(schema[i][0], JsonText(row["type"])) << i;
            EXPECT_EQ(schema[i][1], JsonText(row["name"])) << i;
            EXPECT_EQ(schema[i][2], JsonText(row["tbl_name"])) << i;
            if (row["sql"].isNull())
                EXPECT_FALSE(schema[i][3].has_value()) << i;
            else
                EXPECT_EQ(schema[i][3], JsonText(row["sql"])) << i;
        }

        const QJsonObject header = manifest["header"].toObject();
        const Rows headers = Query(path, "SELECT ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, "
                                         "DATA FROM TRESORIX_TRESORIX");
        ASSERT_EQ(headers.size(), 1u);
        EXPECT_EQ(headers[0][0], "1");
        EXPECT_EQ(headers[0][1], FromHex(header["username"].toObject()["hex"]));
        EXPECT_EQ(headers[0][2], "1");
        EXPECT_EQ(headers[0][3], FromHex(header["secret_word"].toObject()["hex"]));
        ASSERT_TRUE(headers[0][4].has_value());
        // No salt: the same credentials give the very same header text.
        EXPECT_EQ(Sha256(*headers[0][4]), JsonText(header["data_text"].toObject()["sha256"]));
        const std::string payload = Decrypt(*headers[0][4], key);
        EXPECT_EQ(Sha256(payload), JsonText(header["payload_sha256"]));

        const QJsonArray tree = manifest["tree"].toArray();
        const Rows rows = Query(path, "SELECT ID, ID_PARENT, EXPANDED, DATA FROM TRESORIX_MAIN");
        ASSERT_EQ(rows.size(), std::size_t(tree.size()));
        for (qsizetype i = 0; i < tree.size(); ++i) {
            const QJsonObject node = tree[i].toObject();
            const QJsonObject record = node["record"].toObject();
            EXPECT_EQ(rows[i][0], std::to_string(node["id"].toInt()));
            EXPECT_EQ(rows[i][1], std::to_string(node["parent"].toInt()));
            EXPECT_EQ(rows[i][2], JsonText(node["expanded"]));
            ASSERT_TRUE(rows[i][3].has_value());
            const std::string serialised = Decrypt(*rows[i][3], key);
            const std::string expected = FromHex(record["serialised"].toObject()["hex"]);
            EXPECT_EQ(Hex(WithoutTimes(serialised)), Hex(WithoutTimes(expected)))
                << JsonText(record["name"].toObject()["text"]);
        }
        EXPECT_TRUE(Query(path, "SELECT ID FROM TRESORIX_DATA").empty());
    }

    txtest::ScratchDir m_dir;
    std::string m_backupName;
};

// An engine on which storing a record fails, as a full disk would make it.
int FailingRecordExec(sqlite* db, const char* sql, sqlite_callback cb, void* arg, char** error) {
    if (std::strncmp(sql, "update tresorix_main set data", 29) == 0) {
        *error = sqlite_mprintf("disk I/O error");
        return 10;
    }
    return RealSQLiteEngine().exec(db, sql, cb, arg, error);
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(CreatorHeaderPayload, SixteenKilobytesOfZerosAndTheirSeal) {
    const std::vector<std::uint8_t> payload = CCreatorSQLite::BuildHeaderPayload();
    ASSERT_EQ(payload.size(), 16388u);
    EXPECT_TRUE(std::all_of(payload.begin(), payload.end() - 4, [](auto b) { return b == 0; }));
    EXPECT_EQ(AdditiveChecksum(payload.data(), 16384), -1);
    EXPECT_EQ(std::vector<std::uint8_t>(payload.end() - 4, payload.end()),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    CMemFile stream(payload.data(), payload.size());
    EXPECT_TRUE(CheckCRC32(stream));
}

TEST_F(CreatorSQLite, LeaveEmptyMatchesTheFixture) {
    TX_REQUIRE_FIXTURES();
    const std::string path = (m_dir / "new-empty.tpx").string();
    CScopedMessageRecorder messages;
    ASSERT_EQ(Create(path, "alice", "correct horse", "a horse", false), 1);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(m_backupName, "");
    ExpectSameAsFixture(path, "new-empty.tpx");

    // Nothing but the file itself is left in the folder, and only its owner can read it.
    EXPECT_EQ(Entries(m_dir.Path()), std::vector<std::string>{"new-empty.tpx"});
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(CreatorSQLite, AllCategoriesMatchTheFixture) {
    TX_REQUIRE_FIXTURES();
    const std::string path = (m_dir / "new-categories.tpx").string();
    ASSERT_EQ(Create(path, "bob", "", "", true), 1);
    ExpectSameAsFixture(path, "new-categories.tpx");
    const Rows rows = Query(path, "SELECT ID, ID_PARENT FROM TRESORIX_MAIN WHERE ID > 2");
    ASSERT_EQ(rows.size(), 14u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], std::to_string(i + 3));
        EXPECT_EQ(rows[i][1], "1");
    }
}

TEST_F(CreatorSQLite, TheNewFileOpensWithItsCredentialsOnly) {
    const std::string path = (m_dir / "v.tpx").string();
    ASSERT_EQ(Create(path, "bob", "", "", false), 1);
    CScopedMessageRecorder messages;
    EXPECT_EQ(CheckLogin(path, "bob", CMD5Checksum::GetMD5("")), 1);
    EXPECT_EQ(CheckLogin(path, "bob", CMD5Checksum::GetMD5("x")), 0);
    EXPECT_EQ(CheckLogin(path, "Bob", CMD5Checksum::GetMD5("")), 0);
    EXPECT_EQ(messages.Messages().size(), 2u);

    // The records load through the item model with the same key.
    TComPtr<ITresorix> tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    ASSERT_TRUE(tresorix);
    ASSERT_TRUE(tresorix->Open(path));
    tresorix->SetPassword(CMD5Checksum::GetMD5(""));
    TComPtr<ICommonProperties> root = GetItemProperties(tresorix.Get(), kRootFolderId);
    TComPtr<ICommonProperties> bin = GetItemProperties(tresorix.Get(), kDeletedFolderId);
    ASSERT_TRUE(root && bin);
    EXPECT_EQ(root->GetName(), "My Passwords");
    EXPECT_EQ(bin->GetName(), "Deleted");
    CLSID clsid{};
    bin->GetClassID(clsid);
    EXPECT_TRUE(clsid == CLSID_DeletedFolder);
    FILETIME64 created = 0, modified = 0;
    EXPECT_TRUE(root->GetCreated(created));
    EXPECT_TRUE(root->GetModified(modified));
    EXPECT_GT(created, 0u);
    EXPECT_GE(modified, created);
    tresorix->Close();
}

TEST_F(CreatorSQLite, OldFilesMoveToBak01ThenBak02) {
    const std::string path = (m_dir / "a.tpx").string();
    std::ofstream(path) << "first";
    ASSERT_EQ(Create(path, "u", "p", "", false), 1);
    EXPECT_EQ(m_backupName, path + ".bak01");
    EXPECT_EQ(txtest::ReadFile(path + ".bak01"), "first");

    ASSERT_EQ(Create(path, "u2", "p", "", false), 1);
    EXPECT_EQ(m_backupName, path + ".bak02");
    EXPECT_EQ(Query(path + ".bak02", "SELECT USERNAME FROM TRESORIX_TRESORIX")[0][0], "u");
    EXPECT_EQ(Query(path, "SELECT USERNAME FROM TRESORIX_TRESORIX")[0][0], "u2");
    EXPECT_EQ(txtest::ReadFile(path + ".bak01"), "first");
}

TEST_F(CreatorSQLite, AnOldFileThatCannotBeMovedAsideIsNeverTruncated) {
    // The ".bak01" name of a 251-character file name is longer than any file system allows.
    const std::string path = (m_dir / (std::string(247, 'v') + ".tpx")).string();
    std::ofstream(path) << "precious data";
    CScopedMessageRecorder messages;
    EXPECT_EQ(Create(path, "u", "p", "", false), 0);
    EXPECT_EQ(txtest::ReadFile(path), "precious data");
    EXPECT_EQ(Entries(m_dir.Path()).size(), 1u);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].flags & 0xF0, unsigned(MB_ICONSTOP));
    EXPECT_NE(messages.Messages()[0].text.find("has not been changed"), std::string::npos);
}

TEST_F(CreatorSQLite, AnUnwritableFolderFailsCleanly) {
    CScopedMessageRecorder messages;
    EXPECT_EQ(Create((m_dir / "missing" / "v.tpx").string(), "u", "p", "", false), 0);
    EXPECT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(Entries(m_dir.Path()).empty());
}

TEST_F(CreatorSQLite, AFolderThatCannotBeStoredFailsTheWholeCreation) {
    const std::string path = (m_dir / "v.tpx").string();
    CScopedMessageRecorder messages;
    SQLITE_ENGINE engine = RealSQLiteEngine();
    engine.exec = FailingRecordExec;
    const SQLITE_ENGINE previous = SetSQLiteEngine(engine);
    const int result = Create(path, "u", "p", "", true);
    SetSQLiteEngine(previous);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(messages.Messages().empty());
    EXPECT_TRUE(Entries(m_dir.Path()).empty()) << "no half-made file, no temporary left";
}

TEST_F(CreatorSQLite, FinishPageStoresThePathOnSuccessOnly) {
    CTresorixSettings settings;
    settings.App_ConnectionString = "before";
    CTresorixSettings* previous = SetTresorixSettings(&settings);
    CScopedMessageRecorder messages;

    const std::string bad = (m_dir / "missing" / "v.tpx").string();
    CFinishPageResult result = RunFinishPage(bad, "u", "p", "", false, {});
    EXPECT_FALSE(result.created);
    EXPECT_EQ(result.titleId, unsigned(IDS_CREATE_ERROR_TITLE));
    EXPECT_EQ(result.textId, unsigned(IDS_CREATE_ERROR_TEXT));
    EXPECT_EQ(settings.App_ConnectionString, "before");

    const std::string good = (m_dir / "v.trx").string();
    result = RunFinishPage(good, "u", "p", "hint", true, {61237, 61251});
    EXPECT_TRUE(result.created);
    EXPECT_EQ(result.titleId, unsigned(IDS_CREATE_SUCCESS_TITLE));
    EXPECT_EQ(settings.App_ConnectionString, good);
    SetTresorixSettings(previous);

    const Rows rows = Query(good, "SELECT ID, ID_PARENT FROM TRESORIX_MAIN");
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(CheckLogin(good, "u", CMD5Checksum::GetMD5("p")), 1);
    EXPECT_EQ(Query(good, "SELECT SECRET_WORD FROM TRESORIX_TRESORIX")[0][0], "hint");
}
