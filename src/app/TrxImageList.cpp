#include "app/TrxImageList.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {

// Icon names of the theme for the indices 0..kCount-1. The named indices come first; the
// rest cycle through icons of things people keep in a vault, so an index picked by a user
// on another system still shows a meaningful picture.
constexpr std::array<const char*, 16> kNamed = {
    "user-home",          // 0 root folder
    "folder",             // 1 closed folder
    "folder-open",        // 2 open folder
    "dialog-password",    // 3 password
    "",                   // 4 credit card: drawn, the theme has none
    "x-office-document",  // 5 generic record
    "mail-unread",        // 6
    "network-server",     // 7
    "computer",           // 8
    "user-trash",         // 9 recycle bin
    "user-trash-full",    // 10
    "text-x-generic",     // 11 file
    "starred",            // 12 favorites
    "folder-documents",   // 13
    "applications-games", // 14
    "security-high",      // 15
};

constexpr const char* kCycle[] = {"security-high",
                                  "security-medium",
                                  "network-vpn",
                                  "network-wired",
                                  "network-wireless",
                                  "mail-send",
                                  "mail-read",
                                  "contact-new",
                                  "x-office-address-book",
                                  "x-office-calendar",
                                  "x-office-spreadsheet",
                                  "x-office-presentation",
                                  "applications-internet",
                                  "applications-office",
                                  "applications-games",
                                  "applications-system",
                                  "applications-utilities",
                                  "applications-development",
                                  "applications-multimedia",
                                  "applications-graphics",
                                  "web-browser",
                                  "emblem-web",
                                  "emblem-mail",
                                  "emblem-important",
                                  "emblem-favorite",
                                  "emblem-documents",
                                  "emblem-shared",
                                  "emblem-system",
                                  "system-users",
                                  "avatar-default",
                                  "user-info",
                                  "printer",
                                  "drive-harddisk",
                                  "media-optical",
                                  "input-gaming",
                                  "audio-x-generic",
                                  "video-x-generic",
                                  "image-x-generic",
                                  "package-x-generic",
                                  "folder-download",
                                  "folder-music",
                                  "folder-pictures",
                                  "folder-videos",
                                  "folder-remote",
                                  "folder-templates",
                                  "folder-publicshare",
                                  "accessories-calculator",
                                  "accessories-dictionary",
                                  "accessories-character-map",
                                  "utilities-terminal",
                                  "system-file-manager",
                                  "system-lock-screen",
                                  "preferences-desktop",
                                  "preferences-system",
                                  "help-browser",
                                  "appointment-new",
                                  "task-due",
                                  "trophy-gold",
                                  "face-smile",
                                  "bookmark-new",
                                  "document-properties",
                                  "mail-attachment",
                                  "modem",
                                  "pda",
                                  "multimedia-player",
                                  "camera-photo"};

QString NameAt(int index) {
    if (index < 0 || index >= CTrxImageList::kCount)
        return {};
    switch (index) {
    case CTrxImageList::kNote:
        return QStringLiteral("accessories-text-editor");
    case CTrxImageList::kProgram:
        return {};
    case CTrxImageList::kSearch:
        return QStringLiteral("system-search");
    case CTrxImageList::kWebLink:
        return QStringLiteral("insert-link");
    default:
        break;
    }
    if (index < static_cast<int>(kNamed.size()))
        return QString::fromLatin1(kNamed[static_cast<std::size_t>(index)]);
    const int n = static_cast<int>(sizeof kCycle / sizeof kCycle[0]);
    return QString::fromLatin1(kCycle[(index - static_cast<int>(kNamed.size())) % n]);
}

// A theme icon by name, else the PNG files of an installed theme looked up directly (the
// theme machinery may not know the theme when the desktop names none).
QIcon LoadThemeIcon(const QString& name) {
    if (name.isEmpty())
        return {};
    QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull() && !icon.availableSizes().isEmpty())
        return icon;
    QIcon files;
    static const char* const kSizes[] = {"16x16", "22x22", "24x24", "32x32", "48x48", "64x64"};
    static const char* const kContexts[] = {"places", "status",  "mimetypes",  "devices",
                                            "apps",   "actions", "categories", "emblems",
                                            "legacy", "emotes"};
    for (const char* size : kSizes)
        for (const char* context : kContexts) {
            const QString path = QStringLiteral("/usr/share/icons/Adwaita/%1/%2/%3.png")
                                     .arg(QLatin1String(size), QLatin1String(context), name);
            if (QFile::exists(path)) {
                files.addFile(path);
                break;
            }
        }
    return files;
}

QColor TileColour(int index) {
    static const QColor kColours[] = {QColor(0x3465A4), QColor(0x4E9A06), QColor(0xCE5C00),
                                      QColor(0x75507B), QColor(0xC4A000), QColor(0x06989A)};
    return kColours[static_cast<std::size_t>(index < 0 ? 0 : index) % 6];
}

void DrawPadlock(QPainter& p, int s) {
    const qreal w = s;
    QPen pen(QColor(0x555753), w / 10.0);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(w * 0.28, w * 0.08, w * 0.44, w * 0.5), 0, 180 * 16);
    p.drawLine(QPointF(w * 0.28, w * 0.33), QPointF(w * 0.28, w * 0.45));
    p.drawLine(QPointF(w * 0.72, w * 0.33), QPointF(w * 0.72, w * 0.45));
    QLinearGradient body(0, w * 0.42, 0, w * 0.95);
    body.setColorAt(0, QColor(0xFCE94F));
    body.setColorAt(1, QColor(0xC4A000));
    p.setPen(QPen(QColor(0x8F5902), w / 24.0));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(w * 0.15, w * 0.42, w * 0.7, w * 0.52), w * 0.08, w * 0.08);
    p.setBrush(QColor(0x2E3436));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(w * 0.5, w * 0.62), w * 0.07, w * 0.07);
    p.drawRect(QRectF(w * 0.47, w * 0.64, w * 0.06, w * 0.16));
}

void DrawCard(QPainter& p, int s) {
    const qreal w = s;
    p.setPen(QPen(QColor(0x204A87), w / 24.0));
    p.setBrush(QColor(0x729FCF));
    p.drawRoundedRect(QRectF(w * 0.06, w * 0.2, w * 0.88, w * 0.6), w * 0.08, w * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2E3436));
    p.drawRect(QRectF(w * 0.06, w * 0.3, w * 0.88, w * 0.12));
    p.setBrush(QColor(0xEDD400));
    p.drawRoundedRect(QRectF(w * 0.16, w * 0.5, w * 0.18, w * 0.14), w * 0.03, w * 0.03);
}

void DrawTile(QPainter& p, int s, int index) {
    const qreal w = s;
    p.setPen(QPen(TileColour(index).darker(140), w / 20.0));
    p.setBrush(TileColour(index));
    p.drawRoundedRect(QRectF(w * 0.1, w * 0.1, w * 0.8, w * 0.8), w * 0.15, w * 0.15);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(std::max(6, s * 2 / 5));
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 0, w, w), Qt::AlignCenter, QString::number(index % 100));
}

} // namespace

CTrxImageList& ImageList() {
    static CTrxImageList list;
    return list;
}

void CTrxImageList::SelectIconTheme() {
    const QString current = QIcon::themeName();
    if (current.isEmpty() || current == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QString CTrxImageList::IconName(int index) {
    return NameAt(index);
}

QIcon CTrxImageList::Drawn(int index) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        if (index == kCreditCard)
            DrawCard(p, size);
        else if (index == kProgram)
            DrawPadlock(p, size);
        else
            DrawTile(p, size, index);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon CTrxImageList::ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        DrawPadlock(p, size);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void CTrxImageList::Load() {
    SelectIconTheme();
    m_icons.assign(kCount, QIcon());
    m_fromTheme.assign(kCount, false);
    for (int i = 0; i < kCount; ++i) {
        QIcon icon = i == kProgram ? ProgramIcon() : LoadThemeIcon(NameAt(i));
        m_fromTheme[static_cast<std::size_t>(i)] = !icon.isNull() && i != kProgram;
        m_icons[static_cast<std::size_t>(i)] = icon.isNull() ? Drawn(i) : icon;
    }
}

QIcon CTrxImageList::Icon(int index) const {
    if (m_icons.empty())
        const_cast<CTrxImageList*>(this)->Load();
    if (index < 0 || index >= static_cast<int>(m_icons.size()))
        index = kGenericRecord;
    return m_icons[static_cast<std::size_t>(index)];
}

bool CTrxImageList::FromTheme(int index) const {
    return index >= 0 && index < static_cast<int>(m_fromTheme.size()) &&
           m_fromTheme[static_cast<std::size_t>(index)];
}
