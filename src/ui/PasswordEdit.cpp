#include "ui/PasswordEdit.h"

#include "platform/TresorixSettings.h"

CKivPasswordEdit::CKivPasswordEdit(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    SetShowPassword(TresorixSettings().App_ShowPasswords != 0);
}

CKivPasswordEdit::~CKivPasswordEdit() {
    Wipe();
}

void CKivPasswordEdit::SetShowPassword(bool show) {
    setEchoMode(show ? QLineEdit::Normal : QLineEdit::Password);
}

void CKivPasswordEdit::Wipe() {
    const qsizetype length = text().size();
    if (length > 0)
        setText(QString(length, QChar(u'*')));
    clear();
    setModified(false);
    // setText() drops the undo history, so no copy of the typed text survives.
    setText(QString());
}
