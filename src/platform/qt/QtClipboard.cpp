#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

bool CQtClipboard::SetText(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(QString::fromStdString(text));
    return true;
}

bool CQtClipboard::Clear() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear(QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->clear(QClipboard::Selection);
    return true;
}

bool CQtClipboard::GetText(std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    const QString value = clipboard->text();
    if (value.isEmpty())
        return false;
    text = value.toStdString();
    return true;
}
