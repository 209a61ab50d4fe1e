#pragma once

#include <QLineEdit>

#include <string>

// An editable address box that treats its text as a link when it begins with one of the known
// link prefixes: it is then drawn in the link colour, shows a hand cursor over the text, and a
// click on the text opens it with the shell.
class CHyperlinkBox : public QLineEdit {
    Q_OBJECT

public:
    explicit CHyperlinkBox(QWidget* parent = nullptr);

    // Whether text, without leading and trailing blanks and in lower case, starts with a link
    // prefix ("www", "http://", "mailto:", ...).
    static bool IsLink(const QString& text);
    // The reason shown after "Unable to open hyperlink:" for a shell result of 32 or less.
    static QString FailureReason(int code);

    bool IsLink() const { return IsLink(text()); }
    // Opens the text with the shell; a failure beeps and tells the user. False on failure.
    bool OpenLink();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void UpdateLook();
    bool OverText(int x) const;
};
