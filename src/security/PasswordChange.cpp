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
#include <functional>
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

namespace {

bool ListTableIds(CKivDatabase& db, const char* table, std::vector<int>& ids) {
    CSQLiteBuffer sql;
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
    return true;
}

bool ReEncryptRows(CKivDatabase& db, const char* table, const std::vector<int>& ids,
                   const std::string& oldKeyText, const std::string& newKeyText,
                   const std::function<void()>& rowDone) {
    CSQLiteBuffer sql;
    for (int id : ids) {
        if (rowDone)
            rowDone();
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

} // namespace

bool ReEncryptTable(CKivDatabase& db, const char* table, const std::string& oldKeyText,
                    const std::string& newKeyText) {
    std::vector<int> ids;
    return ListTableIds(db, table, ids) &&
           ReEncryptRows(db, table, ids, oldKeyText, newKeyText, {});
}

bool ApplyPasswordChange(const std::string& path, const std::string& oldKeyText,
                         const std::string& newKeyText, const std::string& newUsername,
                         const std::string& hint) {
    return ApplyPasswordChange(path, oldKeyText, newKeyText, newUsername, hint, {});
}

bool ApplyPasswordChange(const std::string& path, const std::string& oldKeyText,
                         const std::string& newKeyText, const std::string& newUsername,
                         const std::string& hint, const PROGRESS_CALLBACK& progress) {
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
        // Listing every table first gives the progress its total; the rows listed are the
        // same, since the header update touches only its own table.
        std::vector<int> header;
        std::vector<int> main;
        std::vector<int> data;
        bool ok = ListTableIds(*db, tx::sql::kHeaderTableName, header) &&
                  ListTableIds(*db, tx::sql::kMainTableName, main) &&
                  ListTableIds(*db, tx::sql::kDataTableName, data);
        const std::uint64_t total = header.size() + main.size() + data.size();
        std::uint64_t done = 0;
        const std::function<void()> rowDone = [&] {
            ReportProgress(progress, done, total);
            ++done;
        };
        ok = ok &&
             ReEncryptRows(*db, tx::sql::kHeaderTableName, header, oldKeyText, newKeyText, rowDone);
        if (ok) {
            CSQLiteBuffer sql;
            db->Execute(sql.Format(tx::sql::kUpdateHeaderCredentials, newUsername.c_str(),
                                   hint.c_str(), 1));
            ok = ReEncryptRows(*db, tx::sql::kMainTableName, main, oldKeyText, newKeyText,
                               rowDone) &&
                 ReEncryptRows(*db, tx::sql::kDataTableName, data, oldKeyText, newKeyText, rowDone);
        }
        if (ok)
            ReportProgress(progress, total, total);
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
