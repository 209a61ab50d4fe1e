#pragma once

#include <QToolButton>

#include <functional>

// The small button beside a copyable field: copies the field's current text to the
// clipboard (tool tip "Copy to Clipboard").
class CCopyButton : public QToolButton {
    Q_OBJECT

public:
    using SOURCE = std::function<QString()>;

    explicit CCopyButton(SOURCE source, QWidget* parent = nullptr);

    // Copies now; false when the clipboard refused.
    bool Copy();

private:
    SOURCE m_source;
};
