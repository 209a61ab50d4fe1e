#include "app/HyperlinkBox.h"

#include "app/EditorStrings.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "ui/TextBytes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <cstdio>

namespace {

constexpr const char* kPrefixes[] = {
    "www",       "http://", "file://",   "mailto:", "ftp://", "https://",
    "gopher://", "nntp:",   "prospero:", "telnet:", "news:",  "wais:"};

constexpr unsigned kIdUnableToOpen = 63008;
constexpr unsigned kIdUnknownError = 63009;
// The shell gives no code of its own; a refusal means nothing is registered for the link.
constexpr int kNoAssociation = 31;

} // namespace

CHyperlinkBox::CHyperlinkBox(QWidget* parent) : QLineEdit(parent) {
    setMouseTracking(true);
    connect(this, &QLineEdit::textChanged, this, [this] { UpdateLook(); });
    UpdateLook();
}

bool CHyperlinkBox::IsLink(const QString& text) {
    const QString link = text.trimmed().toLower();
    for (const char* prefix : kPrefixes)
        if (link.startsWith(QLatin1String(prefix)))
            return true;
    return false;
}

QString CHyperlinkBox::FailureReason(int code) {
    struct REASON {
        int code;
        unsigned id;
    };
    static constexpr REASON kReasons[] = {
        {0, 63010},  {2, 63011},  {3, 63012},  {5, 63013},  {8, 63014},  {11, 63015}, {26, 63016},
        {27, 63017}, {28, 63018}, {29, 63019}, {30, 63020}, {31, 63021}, {32, 63022}};
    for (const REASON& r : kReasons)
        if (r.code == code)
            return EdText(r.id);
    const std::string format = EdString(kIdUnknownError);
    char text[128];
    std::snprintf(text, sizeof text, format.c_str(), code);
    return QString::fromUtf8(text);
}

bool CHyperlinkBox::OpenLink() {
    const std::string link = ToBytes(text().trimmed());
    if (!link.empty() && Shell().OpenDocument(link))
        return true;
    QApplication::beep();
    KivMessageBox(EdString(kIdUnableToOpen) + ToBytes(FailureReason(kNoAssociation)),
                  MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CHyperlinkBox::OverText(int x) const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int width = fontMetrics().horizontalAdvance(text());
    return x >= area.left() && x <= area.left() + width + 2;
}

void CHyperlinkBox::mousePressEvent(QMouseEvent* event) {
    // The first click into a box that is not being edited follows the link; once the box has
    // the focus, clicks place the cursor as usual so the address can be changed.
    if (event->button() == Qt::LeftButton && !hasFocus() && IsLink() &&
        OverText(event->position().toPoint().x())) {
        OpenLink();
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void CHyperlinkBox::mouseMoveEvent(QMouseEvent* event) {
    const bool hand = !hasFocus() && IsLink() && OverText(event->position().toPoint().x());
    setCursor(hand ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QLineEdit::mouseMoveEvent(event);
}

void CHyperlinkBox::UpdateLook() {
    QPalette p = palette();
    const QPalette system = QApplication::palette(this);
    p.setColor(QPalette::Text,
               IsLink() ? system.color(QPalette::Link) : system.color(QPalette::Text));
    setPalette(p);
    QFont f = font();
    f.setUnderline(IsLink());
    setFont(f);
}
