#pragma once

#include <QLineEdit>

class QKeyEvent;
class QMouseEvent;

// A text box for secrets: masked unless App_ShowPasswords asks for clear text (or the owner
// switches it), and it wipes its text when it goes away. A masked box gives nothing to copy,
// cut or drag; a shown one copies as a secret, so clipboard managers do not keep it.
class CKivPasswordEdit : public QLineEdit {
    Q_OBJECT

public:
    // SetShowPassword's argument that takes App_ShowPasswords.
    static constexpr int kFromSettings = -1;

    explicit CKivPasswordEdit(QWidget* parent = nullptr);
    ~CKivPasswordEdit() override;

    // 1 shows the text, 0 masks it, kFromSettings follows App_ShowPasswords.
    void SetShowPassword(int show);
    bool IsShowingPassword() const { return echoMode() == QLineEdit::Normal; }
    // Overwrites and empties the text (and the undo history that holds copies of it).
    void Wipe();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The desktop's selection buffer receives selected text past the secret clipboard; a shown
    // password selected there gets the secret mark too.
    void MarkSelectionSecret();
};
