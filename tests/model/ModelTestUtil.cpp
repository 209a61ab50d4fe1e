#include "model/ModelTestUtil.h"

#include "model/Factory.h"
#include "platform/MemFile.h"
#include "security/Crc32.h"
#include "security/KivCrypto.h"
#include "security/MD5Checksum.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteDatabase.h"
#include "storage/Statements.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>

#include <sys/stat.h>

namespace txtest {

std::string FromHex(const std::string& hex) {
    QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(hex));
    return bytes.toStdString();
}

std::string ToHex(const std::string& bytes) {
    return QByteArray::fromStdString(bytes).toHex().toStdString();
}

std::string Sha256Hex(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

QJsonObject LoadManifest(const std::string& vault) {
    QFile file(QString::fromStdString((FixturesDir() / "vaults" / (vault + ".tpx.json")).string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "manifest of " << vault;
    return QJsonDocument::fromJson(file.readAll()).object();
}

std::filesystem::path CopyVault(const std::string& vault, const ScratchDir& dir) {
    std::filesystem::path target = dir / (vault + ".tpx");
    std::filesystem::copy_file(FixturesDir() / "vaults" / (vault + ".tpx"), target,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    return target;
}

std::string ManifestBytes(const QJsonObject& field) {
    return FromHex(field.value("hex").toString().toStdString());
}

TComPtr<ITresorix> OpenTresorix(const std::filesystem::path& path, const std::string& keyText) {
    TComPtr<ITresorix> tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    if (!tresorix || !tresorix->Open(path.string()))
        return {};
    tresorix->SetPassword(keyText);
    tresorix->SetAuthorised(true);
    return tresorix;
}

void CreateVault(const std::filesystem::path& path, const std::string& username,
                 const std::string& password, const std::string& hint) {
    const std::string key = CMD5Checksum::GetMD5(password);
    {
        CSQLiteDatabase db;
        db.Open(path.string());
        db.BeginTransaction();
        for (const char* statement : tx::sql::kCreationStatements)
            db.Execute(statement);
        CMemFile payload;
        std::string block(16384, '\0');
        payload.Write(block.data(), block.size());
        payload.SeekToBegin();
        std::int32_t seal = GetCRC32(payload);
        payload.Write(&seal, sizeof seal);
        payload.SeekToBegin();
        CMemFile encrypted;
        CKivCrypto crypto;
        crypto.SetKey(key);
        crypto.Encrypt(payload, encrypted);
        CSQLiteBinary binary(encrypted.GetData(), static_cast<int>(encrypted.GetLength()));
        std::string text = binary.ToText();
        CSQLiteBuffer sql;
        db.Execute(sql.Format(tx::sql::kFillHeader, username.c_str(), hint.c_str(), text.c_str()));
        db.CommitTransaction();
    }
    ::chmod(path.c_str(), 0600);
    TComPtr<ITresorix> tresorix = OpenTresorix(path, key);
    ASSERT_TRUE(tresorix);
    ASSERT_EQ(AddNode(tresorix.Get(), 0, CLSID_RootFolder, "My Passwords"), kRootFolderId);
    ASSERT_EQ(AddNode(tresorix.Get(), kRootFolderId, CLSID_DeletedFolder, "Deleted"),
              kDeletedFolderId);
    tresorix->Close();
}

std::string Serialise(ICommonProperties* record) {
    CMemFile file;
    EXPECT_TRUE(record->Serialize(file, true));
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

TComPtr<ICommonProperties> NewRecord(const CLSID& clsid) {
    return CreateObjectAs<ICommonProperties>(clsid);
}

int AddNode(ITresorix* tresorix, int parent, const CLSID& clsid, const std::string& name) {
    TComPtr<ITreeItem> node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, tresorix);
    if (!node || !node->Insert())
        return 0;
    if (parent > 0)
        MakeTreeItem(tresorix, parent)->AddChild(node.Get());
    TComPtr<ICommonProperties> record = NewRecord(clsid);
    record->SetName(name);
    record->SetCreated(1);
    node->SetData(record.Get());
    return node->GetID();
}

void ExecuteSql(const std::filesystem::path& path, const std::string& sql) {
    CSQLiteDatabase db;
    db.Open(path.string());
    db.Execute(sql.c_str());
}

std::vector<std::string> QueryColumn(const std::filesystem::path& path, const std::string& sql) {
    std::vector<std::string> values;
    CSQLiteDatabase db;
    db.Open(path.string());
    CursorPtr cursor(db.Query(sql.c_str()));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr row(raw);
        FieldPtr field(row->GetField(0));
        const char* text = field->AsString();
        values.push_back(text ? text : "<null>");
    }
    return values;
}

std::vector<int> ReadFavorites(const std::filesystem::path& path, const std::string& keyText) {
    CSQLiteDatabase db;
    db.Open(path.string());
    CSQLiteBuffer sql;
    CursorPtr cursor(db.Query(sql.Format(tx::sql::kSelectHeaderData, 1)));
    CRow* raw = nullptr;
    std::vector<int> favorites;
    if (!cursor || cursor->Fetch(raw) != 0)
        return favorites;
    RowPtr row(raw);
    FieldPtr field(row->GetField(0));
    BinaryPtr bytes(field->AsBinary());
    CMemFile in(bytes->GetData(), static_cast<std::size_t>(bytes->GetLength()));
    CMemFile plain;
    CKivCrypto crypto;
    crypto.SetKey(keyText);
    crypto.Decrypt(in, plain);
    plain.SeekToBegin();
    std::int32_t count = 0;
    if (plain.Read(&count, 4) != 4 || count < 0 || count > 100000)
        return favorites;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t id = 0;
        plain.Read(&id, 4);
        favorites.push_back(id);
    }
    return favorites;
}

} // namespace txtest
