#pragma once

#include <QToolButton>

#include <functional>

// The small button beside a copyable field: copies the field's current text to the
// clipboard (tool tip "Copy to Clipboard"); a click that fails says so (61272).
class CCopyButton : public QToolButton {
    Q_OBJECT

public:
    using SOURCE = std::function<QString()>;

    // secret: the text is a password or masked value, copied so that clipboard managers
    // neither show nor keep it.
    explicit CCopyButton(SOURCE source, QWidget* parent = nullptr, bool secret = false);

    // Copies now; false when the clipboard refused.
    bool Copy();

private:
    SOURCE m_source;
    bool m_secret;
};
