#pragma once

#include <QLineEdit>

// A read-only box showing an address as a link; a double click opens it with the shell.
class CHyperlinkEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CHyperlinkEdit(QWidget* parent = nullptr);

    // Opens the current text with the shell; false when empty or nothing opened it.
    bool OpenLink();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
