#pragma once

#include <string>
#include <vector>

// The login check: a data file accepts a username and a record key text when the header row
// asks for a password, holds that username byte for byte, and its payload decrypted under the
// key ends in an intact seal. Each check runs on a short-lived connection of its own.

// The forms that were accepted.
struct LOGIN_MATCH {
    std::string username;
    std::string keyText;
};

// 1 to accept, 0 to refuse. A refusal shows message 61221, except when the file could not be
// read as a data file: then the database's own message is shown instead.
int CheckLogin(const std::string& path, const std::string& username, const std::string& keyText,
               void* parent = nullptr);

// The same check for several forms of one typed login (see LoginText.h): accepts when some
// username form and some key text pass together, and fills match with them. Message 61221
// is shown once, after every form was refused.
bool CheckLoginForms(const std::string& path, const std::vector<std::string>& usernames,
                     const std::vector<std::string>& keyTexts, LOGIN_MATCH* match,
                     void* parent = nullptr);

// The check for a username and password as typed (UTF-8), with their Windows-1252 forms.
bool CheckTypedLogin(const std::string& path, const std::string& username,
                     const std::string& password, LOGIN_MATCH* match, void* parent = nullptr);

// Shows the password hint stored in the file at path (61328), or 61327 when there is none.
void ShowPasswordHint(const std::string& path);
