#pragma once

#include <QDialog>

#include <string>

class CKivPasswordEdit;
class CTxDoc;
class QLineEdit;

// "Change Password": checks the typed values, logs the document out and re-encrypts the data
// file under the new password. On success it closes with OK; the caller then reopens the file
// through the login (ChangedPath()). A failed change stays open, logged out, file unchanged.
class CChangePaswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit CChangePaswordDlg(CTxDoc& doc, QWidget* parent = nullptr);

    CKivPasswordEdit* CurrentBox() const { return m_current; }
    QLineEdit* UsernameBox() const { return m_username; }
    CKivPasswordEdit* NewBox() const { return m_new; }
    CKivPasswordEdit* AgainBox() const { return m_again; }
    QLineEdit* HintBox() const { return m_hint; }
    // The data file that was changed (empty until a change succeeded).
    const std::string& ChangedPath() const { return m_changedPath; }

    void OnChange();

private:
    CTxDoc& m_doc;
    CKivPasswordEdit* m_current;
    QLineEdit* m_username;
    CKivPasswordEdit* m_new;
    CKivPasswordEdit* m_again;
    QLineEdit* m_hint;
    std::string m_changedPath;
};
