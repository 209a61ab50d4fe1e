#include "storage/CreatorSQLite.h"

#include "model/Factory.h"
#include "platform/FileTime.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"
#include "security/Crc32.h"
#include "security/KivCrypto.h"
#include "storage/CreatorFiles.h"
#include "storage/CreatorPages.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace {

constexpr unsigned kCannotMoveAsideText = 62101;
constexpr unsigned kCannotWriteText = 62102;
constexpr std::size_t kHeaderBlockBytes = 16384;

void ReportFileError(unsigned id, const std::string& path, const std::string& reason) {
    KivMessageBox(FormatString(LoadString(id), path, reason), MB_OK | MB_ICONSTOP);
}

} // namespace

std::vector<std::uint8_t> CCreatorSQLite::BuildHeaderPayload() {
    CMemFile payload;
    std::vector<std::uint8_t> block(kHeaderBlockBytes, 0);
    payload.Write(block.data(), block.size());
    payload.SeekToBegin();
    std::int32_t seal = GetCRC32(payload);
    std::uint8_t sealBytes[4];
    for (int i = 0; i < 4; ++i)
        sealBytes[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(seal) >> (8 * i));
    payload.SeekToEnd();
    payload.Write(sealBytes, sizeof sealBytes);
    return std::vector<std::uint8_t>(payload.GetData(), payload.GetData() + payload.GetLength());
}

void CCreatorSQLite::FillHeader(CKivDatabase& db) {
    std::vector<std::uint8_t> plain = BuildHeaderPayload();
    CMemFile in(plain.data(), plain.size());
    CMemFile out;
    CKivCrypto crypto;
    crypto.SetKey(m_key);
    if (!crypto.Encrypt(in, out))
        throw CSQLiteException(0, "The header of the new data file could not be encrypted.");
    CSQLiteBinary cipher(out.GetData(), static_cast<int>(out.GetLength()));
    CSQLiteBuffer sql;
    const std::string text = cipher.ToText();
    if (text.empty() ||
        !sql.Format(tx::sql::kFillHeader, m_userName.c_str(), m_hint.c_str(), text.c_str()))
        throw CSQLiteException(0, "Out of memory");
    db.Execute(sql);
}

bool CCreatorSQLite::HasRecord(CKivDatabase& db, int id) {
    CSQLiteBuffer sql;
    if (!sql.Format(tx::sql::kSelectItemData, id))
        return false;
    CursorPtr cursor(db.Query(sql));
    if (!cursor)
        return false;
    CRow* raw = nullptr;
    if (cursor->Fetch(raw) != 0 || !raw)
        return false;
    RowPtr row(raw);
    FieldPtr field(row->GetField(0));
    const char* text = field ? field->AsString() : nullptr;
    return text && *text;
}

int CCreatorSQLite::CreateFolder(const CLSID& clsid, int parent, const std::string& name) {
    if (!m_tresorix)
        return 0;
    TComPtr<ITreeItem> node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, m_tresorix.Get());
    if (!node || !node->Insert())
        return 0;
    const int id = node->GetID();
    if (parent != 0) {
        TComPtr<ITreeItem> parentNode = CreateObjectAs<ITreeItem>(CLSID_TreeItem, m_tresorix.Get());
        if (!parentNode)
            return 0;
        parentNode->SetID(parent);
        parentNode->AddChild(node.Get());
    }
    TComPtr<ICommonProperties> record = CreateObjectAs<ICommonProperties>(clsid);
    if (!record)
        return id;
    record->SetName(name);
    record->SetCreated(CurrentFileTime());
    return node->SetData(record.Get()) ? id : 0;
}

bool CCreatorSQLite::CreateDefaultFolders(CKivDatabase* db) {
    if (!db)
        return false;
    m_tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    if (!m_tresorix)
        return false;
    m_tresorix->AttachDatabase(db);
    m_tresorix->SetPassword(m_key);
    m_tresorix->SetUserName(m_userName);

    std::vector<int> made;
    const int root = CreateFolder(CLSID_RootFolder, 0, LoadString(IDS_ROOT_FOLDER_NAME));
    made.push_back(root);
    if (root > 0) {
        made.push_back(
            CreateFolder(CLSID_DeletedFolder, root, LoadString(IDS_DELETED_FOLDER_NAME)));
        if (m_createCategories) {
            for (unsigned id : m_categories) {
                const std::string name = LoadString(id);
                if (!name.empty())
                    made.push_back(CreateFolder(CLSID_Folder, root, name));
            }
        }
    }
    m_tresorix->AttachDatabase(nullptr);
    m_tresorix = nullptr;

    for (int id : made) {
        if (id <= 0 || !HasRecord(*db, id))
            return false;
    }
    return true;
}

bool CCreatorSQLite::Build(const std::string& tempPath) {
    DatabasePtr db(new (std::nothrow) CSQLiteDatabase);
    if (!db)
        return false;
    try {
        db->Open(tempPath);
        db->BeginTransaction();
        for (const char* statement : tx::sql::kCreationStatements)
            db->Execute(statement);
        FillHeader(*db);
        // The folders report their own failures; a file without them must not be committed.
        if (!CreateDefaultFolders(db.get()))
            return false;
        db->CommitTransaction();
        db->Close();
        return true;
    } catch (const CSQLiteException& e) {
        m_tresorix = nullptr;
        e.ReportError(MB_ICONSTOP);
        return false;
    }
}

int CCreatorSQLite::Create() {
    m_backupName.clear();
    std::string reason;
    if (!BackUpExisting(m_path, &m_backupName, &reason)) {
        ReportFileError(kCannotMoveAsideText, m_path, reason);
        return 0;
    }
    const std::string temp = CreateTempFileBeside(m_path, &reason);
    if (temp.empty()) {
        ReportFileError(kCannotWriteText, m_path, reason);
        return 0;
    }
    if (!Build(temp)) {
        RemoveTempDatabase(temp);
        return 0;
    }
    if (!MoveFileNoReplace(temp, m_path)) {
        ReportFileError(kCannotWriteText, m_path, m_path + ": " + std::strerror(errno));
        RemoveTempDatabase(temp);
        return 0;
    }
    return 1;
}
