#include "platform/qt/QtSecretClipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// Marks our own copies; its value changes with every copy, so an older copy of ours that
// another program put back does not count as the last one.
constexpr const char* kStampFormat = "application/x-tresorix-copy";

bool TracksOwnership() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

} // namespace

bool CQtSecretClipboard::SetText(const std::string& text) {
    return Set(text, false);
}

bool CQtSecretClipboard::SetSecretText(const std::string& text) {
    return Set(text, true);
}

bool CQtSecretClipboard::Set(const std::string& text, bool secret) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    m_stamp = QByteArray::number(QCoreApplication::applicationPid()) + '.' +
              QByteArray::number(++m_serial);
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    data->setData(QString::fromLatin1(kStampFormat), m_stamp);
    if (secret)
        data->setData(QString::fromLatin1(kHintFormat), QByteArray(kHintSecret));
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return true;
}

bool CQtSecretClipboard::HoldsOurCopy() const {
    if (m_stamp.isEmpty())
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    // Where the platform tracks ownership, another owner settles it without fetching that
    // owner's data (a round trip that a hung program can stall).
    if (TracksOwnership() && !clipboard->ownsClipboard())
        return false;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    return data && data->data(QString::fromLatin1(kStampFormat)) == m_stamp;
}

bool CQtSecretClipboard::Clear() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    if (HoldsOurCopy())
        clipboard->clear(QClipboard::Clipboard);
    // Text selected in our own windows (a password shown in clear) is ours as well.
    if (clipboard->supportsSelection() && clipboard->ownsSelection())
        clipboard->clear(QClipboard::Selection);
    m_stamp.clear();
    return true;
}

bool CQtSecretClipboard::GetText(std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    const QString value = clipboard->text();
    if (value.isEmpty())
        return false;
    text = value.toStdString();
    return true;
}
