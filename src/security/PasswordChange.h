#pragma once

#include "platform/ProgressCallback.h"

#include <string>

class CAutorizator;
class CKivDatabase;

// The change of the master password: the checks of the "Change Password" dialog, and the
// re-encryption of every payload of the data file under the new key in one transaction.

// The dialog's boxes, as typed.
struct PASSWORD_CHANGE_VALUES {
    std::string currentPassword;
    std::string newUsername;
    std::string newPassword;
    std::string newPasswordAgain;
    std::string hint;
};

// What the dialog does after the checks.
struct PASSWORD_CHANGE_CHECK {
    enum FOCUS { kNoFocus, kCurrentPassword, kUsername, kNewPassword };

    bool passed = false;
    FOCUS focus = kNoFocus;
    bool clearCurrentPassword = false;
    bool clearNewPasswords = false;
    // When passed: the key text the file is encrypted under now, and the new one.
    std::string oldKeyText;
    std::string newKeyText;

    ~PASSWORD_CHANGE_CHECK();
};

// Runs the checks in order, each failure with its message box: a wrong current password
// (61334), an empty username (61231), new passwords that differ (61335), and an empty new
// password, which the user may keep (61230, Yes/No). The current key comes from autorizator,
// which logs in first when it has none.
PASSWORD_CHANGE_CHECK ValidatePasswordChange(CAutorizator& autorizator,
                                             const PASSWORD_CHANGE_VALUES& values);

// Re-encrypts the DATA column of every row of table from oldKeyText to newKeyText. False when
// the table's rows cannot be listed; database failures are thrown.
bool ReEncryptTable(CKivDatabase& db, const char* table, const std::string& oldKeyText,
                    const std::string& newKeyText);

// Applies a checked change to the data file at path, which no other connection may hold (the
// document logs out first): on a connection of its own, in one transaction, re-encrypts the
// header, stores the new username and hint, then re-encrypts the tree and the file parts.
// On any failure the transaction is rolled back (a database failure is shown) and the file
// stays as it was, readable with the old password.
bool ApplyPasswordChange(const std::string& path, const std::string& oldKeyText,
                         const std::string& newKeyText, const std::string& newUsername,
                         const std::string& hint);
// The same, telling progress about every payload re-encrypted (of all rows of the three
// tables). Its answer is ignored: a change half done cannot be stopped part-way.
bool ApplyPasswordChange(const std::string& path, const std::string& oldKeyText,
                         const std::string& newKeyText, const std::string& newUsername,
                         const std::string& hint, const PROGRESS_CALLBACK& progress);
