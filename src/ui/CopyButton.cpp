#include "ui/CopyButton.h"

#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/SecretClipboard.h"
#include "platform/StringTable.h"
#include "ui/TextBytes.h"

#include <QStyle>

#include <algorithm>

namespace {
constexpr unsigned kIdCopyToClipboard = 61267;
constexpr unsigned kIdCannotCopy = 61272;
} // namespace

CCopyButton::CCopyButton(SOURCE source, QWidget* parent, bool secret)
    : QToolButton(parent), m_source(std::move(source)), m_secret(secret) {
    setToolTip(QString::fromStdString(LoadString(kIdCopyToClipboard)));
    setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    if (icon().isNull())
        setText(QStringLiteral("C"));
    setAutoRaise(true);
    connect(this, &QToolButton::clicked, this, [this] {
        if (!Copy())
            KivMessageBox(LoadString(kIdCannotCopy), MB_OK | MB_ICONEXCLAMATION);
    });
}

bool CCopyButton::Copy() {
    std::string text = m_source ? ToBytes(m_source()) : std::string();
    const bool copied = m_secret ? CopySecretTextToClipboard(text) : CopyTextToClipboard(text);
    std::fill(text.begin(), text.end(), '\0');
    return copied;
}
