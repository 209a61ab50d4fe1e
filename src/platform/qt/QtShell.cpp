#include "platform/qt/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

bool LooksLikeUrl(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2)
        return false; // "C:" style drive letters and bare paths
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = text[i];
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok)
            return false;
    }
    return true;
}

bool CQtShell::OpenDocument(const std::string& pathOrUrl) {
    if (pathOrUrl.empty())
        return false;
    const QString text = QString::fromStdString(pathOrUrl);
    const QUrl url = LooksLikeUrl(pathOrUrl) ? QUrl(text) : QUrl::fromLocalFile(text);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool CQtShell::ExploreFolder(const std::string& folder) {
    if (folder.empty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
}
