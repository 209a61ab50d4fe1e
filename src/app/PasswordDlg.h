#pragma once

#include "security/Autorizator.h"

#include <QDialog>

#include <string>

class CKivPasswordEdit;
class QLineEdit;
class QPushButton;

// The login dialog. What the user types as password never leaves it: the check and the
// caller see only its record key texts, and the box is wiped whenever the dialog closes.
class CPasswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    ~CPasswordDlg() override;

    void SetPath(const std::string& path) { m_path = path; }
    const std::string& GetPath() const { return m_path; }
    // Without a check the dialog never accepts.
    void SetCheck(ILoginDialog::CHECK check) { m_check = std::move(check); }

    std::string GetUsername() const;
    // The record key text that was accepted (empty until OK succeeded).
    const std::string& GetKeyText() const { return m_keyText; }
    // The "&More..." command that closed the dialog (0 for OK and Cancel).
    int GetCommand() const { return m_command; }

    QLineEdit* UsernameBox() const { return m_username; }
    CKivPasswordEdit* PasswordBox() const { return m_password; }
    QPushButton* MoreButton() const { return m_more; }

    // Runs a command of the "&More..." menu.
    void OnMoreCommand(int command);

    void accept() override;
    void done(int result) override;

private:
    std::string m_path;
    ILoginDialog::CHECK m_check;
    std::string m_keyText;
    int m_command = 0;
    QLineEdit* m_username;
    CKivPasswordEdit* m_password;
    QPushButton* m_more;
};

// The login dialog as the credentials object asks for it.
class CTxLoginDialog : public ILoginDialog {
public:
    bool DoModal(const std::string& path, const CHECK& check, void* parent) override;
    // The "&More..." command that closed the last dialog (0 for none).
    int GetLastCommand() const { return m_lastCommand; }

private:
    int m_lastCommand = 0;
};
