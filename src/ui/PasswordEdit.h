#pragma once

#include <QLineEdit>

// A text box for secrets: masked unless App_ShowPasswords asks for clear text (or the owner
// switches it), and it wipes its text when it goes away.
class CKivPasswordEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CKivPasswordEdit(QWidget* parent = nullptr);
    ~CKivPasswordEdit() override;

    void SetShowPassword(bool show);
    bool IsShowingPassword() const { return echoMode() == QLineEdit::Normal; }
    // Overwrites and empties the text (and the undo history that holds copies of it).
    void Wipe();
};
