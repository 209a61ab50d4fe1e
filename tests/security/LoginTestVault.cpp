#include "security/LoginTestVault.h"

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
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

namespace logintest {

namespace {

std::string EncryptedText(const std::string& plain, const std::string& key) {
    CMemFile in(plain.data(), plain.size());
    CMemFile out;
    CKivCrypto crypto;
    crypto.SetKey(key);
    crypto.Encrypt(in, out);
    CSQLiteBinary binary(out.GetData(), static_cast<int>(out.GetLength()));
    return binary.ToText();
}

std::string Le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<std::size_t>(i)] =
            static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
    return s;
}

} // namespace

void CreateVault(const std::filesystem::path& path, const VAULT& vault) {
    const std::string key = CMD5Checksum::GetMD5(vault.password);
    std::string payload(16384, '\0');
    std::string content = Le32(static_cast<std::int32_t>(vault.favorites.size()));
    for (int id : vault.favorites)
        content += Le32(id);
    content += std::string(28, '\0');
    payload.replace(0, content.size(), content);
    payload += Le32(AdditiveChecksum(payload.data(), payload.size()));

    CSQLiteDatabase db;
    db.Open(path.string());
    db.BeginTransaction();
    for (const char* statement : tx::sql::kCreationStatements)
        db.Execute(statement);
    CSQLiteBuffer sql;
    db.Execute(sql.Format(tx::sql::kFillHeader, vault.username.c_str(), vault.hint.c_str(),
                          EncryptedText(payload, key).c_str()));
    for (const std::string& plain : vault.treePayloads) {
        db.Execute(tx::sql::kInsertTreeRow);
        if (plain != "<null>")
            db.Execute(sql.Format(tx::sql::kUpdateItemData, EncryptedText(plain, key).c_str(),
                                  db.GetLastInsertId()));
    }
    int part = 0;
    for (const std::string& plain : vault.partPayloads)
        db.Execute(
            sql.Format(tx::sql::kInsertFilePart, 1, ++part, EncryptedText(plain, key).c_str()));
    db.CommitTransaction();
}

PAYLOADS DecryptAll(const std::filesystem::path& path, const std::string& keyText) {
    PAYLOADS payloads;
    CSQLiteDatabase db;
    db.Open(path.string());
    for (const char* table : tx::sql::kPayloadTables) {
        CSQLiteBuffer sql;
        CursorPtr cursor;
        try {
            cursor.reset(db.Query(sql.Format("select id, data from %s", table)));
        } catch (const CSQLiteException&) {
            continue; // a table the test removed
        }
        CRow* raw = nullptr;
        while (cursor->Fetch(raw) == 0) {
            RowPtr row(raw);
            FieldPtr id(row->GetField(0));
            FieldPtr data(row->GetField(1));
            std::string plain = "<null>";
            if (data->AsString()) {
                BinaryPtr bytes(data->AsBinary());
                CMemFile in(bytes->GetData(), static_cast<std::size_t>(bytes->GetLength()));
                CMemFile out;
                CKivCrypto crypto;
                crypto.SetKey(keyText);
                crypto.Decrypt(in, out);
                plain.assign(reinterpret_cast<const char*>(out.GetData()), out.GetLength());
            }
            payloads[{table, id->AsInt()}] = plain;
        }
    }
    return payloads;
}

void ExecuteSql(const std::filesystem::path& path, const std::string& sql) {
    CSQLiteDatabase db;
    db.Open(path.string());
    db.Execute(sql.c_str());
}

std::string QueryText(const std::filesystem::path& path, const std::string& sql) {
    CSQLiteDatabase db;
    db.Open(path.string());
    CursorPtr cursor(db.Query(sql.c_str()));
    CRow* raw = nullptr;
    if (cursor->Fetch(raw) != 0)
        return "<none>";
    RowPtr row(raw);
    FieldPtr field(row->GetField(0));
    const char* text = field->AsString();
    return text ? text : "<null>";
}

std::filesystem::path CopyVault(const std::string& vault, const txtest::ScratchDir& dir) {
    std::filesystem::path target = dir / (vault + ".tpx");
    std::filesystem::copy_file(txtest::FixturesDir() / "vaults" / (vault + ".tpx"), target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    return target;
}

} // namespace logintest
