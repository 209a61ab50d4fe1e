#include "ui/CopyButton.h"

#include "platform/Clipboard.h"
#include "platform/StringTable.h"
#include "ui/TextBytes.h"

#include <QStyle>

namespace {
constexpr unsigned kIdCopyToClipboard = 61267;
}

CCopyButton::CCopyButton(SOURCE source, QWidget* parent)
    : QToolButton(parent), m_source(std::move(source)) {
    setToolTip(QString::fromStdString(LoadString(kIdCopyToClipboard)));
    setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    if (icon().isNull())
        setText(QStringLiteral("C"));
    setAutoRaise(true);
    connect(this, &QToolButton::clicked, this, [this] { Copy(); });
}

bool CCopyButton::Copy() {
    return CopyTextToClipboard(m_source ? ToBytes(m_source()) : std::string());
}
