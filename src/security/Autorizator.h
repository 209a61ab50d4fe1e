#pragma once

#include <functional>
#include <string>
#include <vector>

// The login dialog as the credentials object sees it. The application supplies the window;
// tests supply a script.
class ILoginDialog {
public:
    // Runs the check for the typed values: the path as chosen, the username as typed and the
    // record key texts of the typed password (PasswordKeyTexts, so the password itself never
    // leaves the dialog); true accepts. The dialog keeps asking until the check accepts or
    // the user cancels.
    using CHECK = std::function<bool(const std::string& path, const std::string& username,
                                     const std::vector<std::string>& keyTexts)>;

    virtual ~ILoginDialog() = default;
    // Shows the dialog for path (the user may pick another file there). True when the user
    // confirmed and check accepted; false on cancel.
    virtual bool DoModal(const std::string& path, const CHECK& check, void* parent) = 0;
};

// The credentials of the data file in use: its path, and after a login the username and the
// record key text. The password itself is never kept.
class CAutorizator {
public:
    CAutorizator() = default;
    virtual ~CAutorizator();
    CAutorizator(const CAutorizator&) = delete;
    CAutorizator& operator=(const CAutorizator&) = delete;

    // Each runs Login() first when its value is empty, then copies the value out (empty when
    // the login was cancelled). 1 when the value was known, 0 after a successful login, -1
    // after a cancelled one.
    int GetUsername(std::string& username);
    int GetKey(std::string& keyText);
    int GetFilename(std::string& path);

    // Shows the login dialog for the stored path with the login check; on success keeps the
    // accepted username, key text and the dialog's path and returns 0; -1 on cancel.
    int Login();

    void SetFilename(const std::string& path) { m_path = path; }
    // Set directly by the creation of a new data file, without a dialog.
    void SetUsername(const std::string& username) { m_username = username; }
    void SetKey(const std::string& keyText);
    // Empties the path, the username and the key text (logout).
    void Reset();

    // The dialog Login() shows (not owned); without one every login is cancelled.
    void SetLoginDialog(ILoginDialog* dialog) { m_dialog = dialog; }
    void SetParent(void* parent) { m_parent = parent; }

private:
    int Value(const std::string& value, std::string& out);

    std::string m_path;
    std::string m_username;
    std::string m_keyText;
    void* m_parent = nullptr;
    ILoginDialog* m_dialog = nullptr;
};
