#include "ui/PasswordEdit.h"

#include "platform/SecretClipboard.h"
#include "platform/TresorixSettings.h"
#include "platform/qt/QtSecretClipboard.h"
#include "ui/TextBytes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>

CKivPasswordEdit::CKivPasswordEdit(QWidget* parent) : QLineEdit(parent) {
    // The standard menu would copy past the secret clipboard.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    SetShowPassword(kFromSettings);
}

CKivPasswordEdit::~CKivPasswordEdit() {
    Wipe();
}

void CKivPasswordEdit::SetShowPassword(int show) {
    if (show == kFromSettings)
        show = TresorixSettings().App_ShowPasswords != 0;
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

void CKivPasswordEdit::keyPressEvent(QKeyEvent* event) {
    const bool copy = event->matches(QKeySequence::Copy);
    const bool cut = event->matches(QKeySequence::Cut);
    if (!copy && !cut) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    // Masked: nothing leaves the box, and a cut deletes nothing either.
    if (!IsShowingPassword() || !hasSelectedText())
        return;
    std::string selected = ToBytes(selectedText());
    const bool copied = CopySecretTextToClipboard(selected);
    std::fill(selected.begin(), selected.end(), '\0');
    if (cut && copied && !isReadOnly())
        del();
}

void CKivPasswordEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    MarkSelectionSecret();
}

void CKivPasswordEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    MarkSelectionSecret();
}

void CKivPasswordEdit::MarkSelectionSecret() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!IsShowingPassword() || !hasSelectedText() || !clipboard->supportsSelection() ||
        !clipboard->ownsSelection())
        return;
    const QString format = QString::fromLatin1(CQtSecretClipboard::kHintFormat);
    const QMimeData* current = clipboard->mimeData(QClipboard::Selection);
    if (!current || current->hasFormat(format))
        return;
    auto* data = new QMimeData;
    data->setText(current->text());
    data->setData(format, CQtSecretClipboard::kHintSecret);
    clipboard->setMimeData(data, QClipboard::Selection);
}
