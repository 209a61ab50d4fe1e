#include "security/Login.h"

#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/Crc32.h"
#include "security/KivCrypto.h"
#include "security/LoginText.h"
#include "security/SecureZero.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <filesystem>
#include <new>

namespace {

constexpr unsigned kIdsLoginRefused = 61221;
constexpr unsigned kIdsDatabaseNotFound = 61217;
constexpr unsigned kIdsNoHint = 61327;
constexpr unsigned kIdsHint = 61328;

enum OUTCOME { kRefused, kAccepted, kDatabaseError };

// The engine would create an empty database for a path that does not exist; a login or a hint
// must not leave such a file behind.
bool DataFileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

bool SealHolds(const CSQLiteBinary& payload, const std::string& keyText) {
    CMemFile in(payload.GetData(), static_cast<std::size_t>(payload.GetLength()));
    CMemFile plain;
    CKivCrypto crypto(CRijndael::CBC, CKivCrypto::kChunkLength);
    crypto.SetKey(keyText);
    if (!crypto.Decrypt(in, plain))
        return false;
    plain.SeekToBegin();
    return plain.GetLength() > 0 && CheckCRC32(plain);
}

OUTCOME CheckHeader(const std::string& path, const std::vector<std::string>& usernames,
                    const std::vector<std::string>& keyTexts, LOGIN_MATCH* match) {
    if (!DataFileExists(path)) {
        KivMessageBox(LoadString(kIdsDatabaseNotFound), MB_OK | MB_ICONSTOP);
        return kDatabaseError;
    }
    DatabasePtr db(new (std::nothrow) CSQLiteDatabase());
    if (!db)
        return kRefused;
    OUTCOME outcome = kRefused;
    try {
        db->Open(path);
        CursorPtr cursor(db->Query(tx::sql::kSelectHeader));
        CRow* raw = nullptr;
        while (outcome == kRefused && cursor && cursor->Fetch(raw) == 0) {
            RowPtr row(raw);
            if (!row || row->GetFieldCount() < 5)
                continue;
            FieldPtr required(row->GetField(2));
            if (required->AsInt() == 0)
                continue;
            FieldPtr storedName(row->GetField(1));
            const char* stored = storedName->AsString();
            std::string name = stored ? stored : "";
            const std::string* matchedName = nullptr;
            for (const std::string& form : usernames)
                if (form == name)
                    matchedName = &form;
            if (!matchedName)
                break;
            FieldPtr data(row->GetField(4));
            BinaryPtr payload(data->AsBinary());
            if (!payload || payload->GetLength() <= 0)
                break;
            for (const std::string& key : keyTexts) {
                if (SealHolds(*payload, key)) {
                    if (match) {
                        match->username = *matchedName;
                        match->keyText = key;
                    }
                    outcome = kAccepted;
                    break;
                }
            }
            break;
        }
        cursor.reset();
        db->Close();
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        return kDatabaseError;
    }
    return outcome;
}

} // namespace

bool CheckLoginForms(const std::string& path, const std::vector<std::string>& usernames,
                     const std::vector<std::string>& keyTexts, LOGIN_MATCH* match, void*) {
    OUTCOME outcome = CheckHeader(path, usernames, keyTexts, match);
    if (outcome == kRefused)
        KivMessageBox(LoadString(kIdsLoginRefused), MB_OK | MB_ICONSTOP);
    return outcome == kAccepted;
}

int CheckLogin(const std::string& path, const std::string& username, const std::string& keyText,
               void* parent) {
    return CheckLoginForms(path, {username}, {keyText}, nullptr, parent) ? 1 : 0;
}

bool CheckTypedLogin(const std::string& path, const std::string& username,
                     const std::string& password, LOGIN_MATCH* match, void* parent) {
    std::vector<std::string> keys = PasswordKeyTexts(password);
    bool accepted = CheckLoginForms(path, TextForms(username), keys, match, parent);
    WipeTexts(keys);
    return accepted;
}

void ShowPasswordHint(const std::string& path) {
    if (!DataFileExists(path)) {
        KivMessageBox(LoadString(kIdsDatabaseNotFound), MB_OK | MB_ICONSTOP);
        return;
    }
    try {
        CSQLiteDatabase db;
        db.Open(path);
        CursorPtr cursor(db.Query(tx::sql::kSelectSecretWord));
        CRow* raw = nullptr;
        if (cursor && cursor->Fetch(raw) == 0) {
            RowPtr row(raw);
            FieldPtr field(row ? row->GetField(0) : nullptr);
            const char* text = field ? field->AsString() : nullptr;
            std::string hint = text && *text ? text : LoadString(kIdsNoHint);
            field.reset();
            row.reset();
            cursor.reset();
            KivMessageBox(FormatString(LoadString(kIdsHint), hint), MB_OK | MB_ICONINFORMATION);
        }
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
}
