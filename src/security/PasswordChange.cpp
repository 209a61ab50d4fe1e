#include "security/PasswordChange.h"

#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/Autorizator.h"
#include "security/KivCrypto.h"
#include "security/LoginText.h"
#include "security/SecureZero.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <filesystem>
#include <new>
#include <vector>

namespace {

constexpr unsigned kIdsDatabaseNotFound = 61217;
constexpr unsigned kIdsEmptyPassword = 61230;
constexpr unsigned kIdsEmptyUsername = 61231;
constexpr unsigned kIdsWrongOldPassword = 61334;
constexpr unsigned kIdsNewPasswordsDiffer = 61335;

void Warn(unsigned id) {
    KivMessageBox(LoadString(id), MB_OK | MB_ICONEXCLAMATION);
}

// Decrypts one stored payload with one key and encrypts the plaintext with the other; the
// escaped text of the result, empty when nothing came out.
std::string ReEncrypt(const CSQLiteBinary& stored, const std::string& oldKeyText,
                      const std::string& newKeyText) {
    CMemFile in(stored.GetData(), static_cast<std::size_t>(stored.GetLength()));
    CMemFile plain;
    {
        CKivCrypto crypto(CRijndael::CBC, CKivCrypto::kChunkLength);
        crypto.SetKey(oldKeyText);
        if (!crypto.Decrypt(in, plain))
            return {};
    }
    plain.SeekToBegin();
    CMemFile encrypted;
    CKivCrypto crypto(CRijndael::CBC, CKivCrypto::kChunkLength);
    crypto.SetKey(newKeyText);
    if (!crypto.Encrypt(plain, encrypted) || encrypted.GetLength() == 0)
        return {};
    CSQLiteBinary binary(encrypted.GetData(), static_cast<int>(encrypted.GetLength()));
    return binary.ToText();
}

} // namespace

PASSWORD_CHANGE_CHECK::~PASSWORD_CHANGE_CHECK() {
    SecureZero(oldKeyText);
    SecureZero(newKeyText);
}

PASSWORD_CHANGE_CHECK ValidatePasswordChange(CAutorizator& autorizator,
                                             const PASSWORD_CHANGE_VALUES& values) {
    PASSWORD_CHANGE_CHECK check;
    std::string currentKey;
    autorizator.GetKey(currentKey);
    std::vector<std::string> typedKeys = PasswordKeyTexts(values.currentPassword);
    bool known = false;
    for (const std::string& key : typedKeys)
        known = known || (!currentKey.empty() && key == currentKey);
    WipeTexts(typedKeys);

    if (!known) {
        check.clearCurrentPassword = true;
        Warn(kIdsWrongOldPassword);
        check.clearNewPasswords = true;
        check.focus = PASSWORD_CHANGE_CHECK::kCurrentPassword;
    } else if (values.newUsername.empty()) {
        Warn(kIdsEmptyUsername);
        check.clearNewPasswords = true;
        check.focus = PASSWORD_CHANGE_CHECK::kUsername;
    } else if (values.newPassword != values.newPasswordAgain) {
        Warn(kIdsNewPasswordsDiffer);
        check.clearNewPasswords = true;
        check.focus = PASSWORD_CHANGE_CHECK::kNewPassword;
    } else if (values.newPassword.empty() &&
               KivMessageBox(LoadString(kIdsEmptyPassword), MB_YESNO | MB_ICONEXCLAMATION) ==
                   IDYES) {
        check.clearNewPasswords = true;
        check.focus = PASSWORD_CHANGE_CHECK::kNewPassword;
    } else {
        check.passed = true;
        check.oldKeyText = currentKey;
        check.newKeyText = MakeKeyText(values.newPassword);
    }
    SecureZero(currentKey);
    return check;
}

bool ReEncryptTable(CKivDatabase& db, const char* table, const std::string& oldKeyText,
                    const std::string& newKeyText) {
    CSQLiteBuffer sql;
    std::vector<int> ids;
    {
        CursorPtr cursor(db.Query(sql.Format(tx::sql::kSelectTableIds, table)));
        if (!cursor)
            return false;
        CRow* raw = nullptr;
        while (cursor->Fetch(raw) == 0) {
            RowPtr row(raw);
            FieldPtr field(row && row->GetFieldCount() > 0 ? row->GetField(0) : nullptr);
            if (!field)
                return false;
            ids.push_back(field->AsInt());
        }
    }
    for (int id : ids) {
        std::string text;
        {
            CursorPtr cursor(db.Query(sql.Format(tx::sql::kSelectTableData, table, id)));
            if (!cursor)
                return false;
            CRow* raw = nullptr;
            if (cursor->Fetch(raw) != 0)
                continue;
            RowPtr row(raw);
            FieldPtr field(row ? row->GetField(0) : nullptr);
            // A row whose payload was never written keeps its empty value.
            if (!field || !field->AsString())
                continue;
            BinaryPtr stored(field->AsBinary());
            if (!stored || stored->GetLength() <= 0)
                continue;
            text = ReEncrypt(*stored, oldKeyText, newKeyText);
        }
        if (text.empty())
            return false;
        db.Execute(sql.Format(tx::sql::kUpdateTableData, table, text.c_str(), id));
    }
    return true;
}

bool ApplyPasswordChange(const std::string& path, const std::string& oldKeyText,
                         const std::string& newKeyText, const std::string& newUsername,
                         const std::string& hint) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        KivMessageBox(LoadString(kIdsDatabaseNotFound), MB_OK | MB_ICONSTOP);
        return false;
    }
    DatabasePtr db(new (std::nothrow) CSQLiteDatabase());
    if (!db)
        return false;
    bool begun = false;
    try {
        db->Open(path);
        db->BeginTransaction();
        begun = true;
        bool ok = ReEncryptTable(*db, tx::sql::kHeaderTableName, oldKeyText, newKeyText);
        if (ok) {
            CSQLiteBuffer sql;
            db->Execute(sql.Format(tx::sql::kUpdateHeaderCredentials, newUsername.c_str(),
                                   hint.c_str(), 1));
            ok = ReEncryptTable(*db, tx::sql::kMainTableName, oldKeyText, newKeyText) &&
                 ReEncryptTable(*db, tx::sql::kDataTableName, oldKeyText, newKeyText);
        }
        if (!ok) {
            db->RollbackTransaction();
            db->Close();
            return false;
        }
        db->CommitTransaction();
        db->Close();
        return true;
    } catch (const CSQLiteException& e) {
        if (begun) {
            try {
                db->RollbackTransaction();
            } catch (const CSQLiteException&) {
            }
        }
        db->Close();
        e.ReportError(MB_ICONSTOP);
    }
    return false;
}
