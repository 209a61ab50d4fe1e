#pragma once

#include "app/EditPanel.h"

#include <functional>

class CHyperlinkBox;
class CKivPasswordEdit;

// The password generator the "Generate New Password..." button runs: true (with the password)
// when it ended with OK. The program installs its generator window here.
using PASSWORD_GENERATOR = std::function<bool(QWidget* parent, std::string& password)>;
PASSWORD_GENERATOR SetPasswordGenerator(PASSWORD_GENERATOR generator);

// A URL box that offers the link editor when it is left with a text that is no link (while
// View_EditUnknownLinks is set); shared by the password and URL panels.
void WatchUnknownLinks(CEditPanel& panel, CHyperlinkBox& box);
// Adds the URL row (box, copy and "Go To..." buttons) to a panel's form.
void AddUrlRow(QFormLayout& form, const QString& label, CHyperlinkBox& box, QWidget* copy);

// Login, password (masked), URL and e-mail of a password record.
class CPasswordEditPanel : public CEditPanel {
    Q_OBJECT

public:
    explicit CPasswordEditPanel(QWidget* parent = nullptr);

    QLineEdit* LoginBox() const { return m_login; }
    CKivPasswordEdit* PasswordBox() const { return m_password; }
    CHyperlinkBox* UrlBox() const { return m_url; }
    QLineEdit* EmailBox() const { return m_email; }
    QPushButton* GenerateButton() const { return m_generate; }
    // Runs the generator; a non-empty password replaces the box and counts as a change.
    bool GeneratePassword();

protected:
    void LoadType(ICommonProperties* record) override;
    bool StoreType(ICommonProperties* record) override;

private:
    QLineEdit* m_login;
    CKivPasswordEdit* m_password;
    CHyperlinkBox* m_url;
    QLineEdit* m_email;
    QPushButton* m_generate;
};
