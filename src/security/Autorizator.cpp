#include "security/Autorizator.h"

#include "security/Login.h"
#include "security/LoginText.h"
#include "security/SecureZero.h"

CAutorizator::~CAutorizator() {
    Reset();
}

void CAutorizator::SetKey(const std::string& keyText) {
    SecureZero(m_keyText);
    m_keyText = keyText;
}

void CAutorizator::Reset() {
    m_path.clear();
    m_username.clear();
    SecureZero(m_keyText);
}

int CAutorizator::Value(const std::string& value, std::string& out) {
    int result = 1;
    if (value.empty())
        result = Login();
    out = value;
    return result;
}

int CAutorizator::GetUsername(std::string& username) {
    return Value(m_username, username);
}

int CAutorizator::GetKey(std::string& keyText) {
    return Value(m_keyText, keyText);
}

int CAutorizator::GetFilename(std::string& path) {
    return Value(m_path, path);
}

int CAutorizator::Login() {
    if (!m_dialog)
        return -1;
    LOGIN_MATCH accepted;
    std::string acceptedPath;
    auto check = [&](const std::string& path, const std::string& username,
                     const std::vector<std::string>& keyTexts) {
        LOGIN_MATCH match;
        if (!CheckLoginForms(path, TextForms(username), keyTexts, &match, m_parent))
            return false;
        SecureZero(accepted.keyText);
        accepted = std::move(match);
        acceptedPath = path;
        return true;
    };
    if (!m_dialog->DoModal(m_path, check, m_parent) || accepted.keyText.empty()) {
        SecureZero(accepted.keyText);
        return -1;
    }
    m_username = accepted.username;
    SetKey(accepted.keyText);
    m_path = acceptedPath;
    SecureZero(accepted.keyText);
    return 0;
}
