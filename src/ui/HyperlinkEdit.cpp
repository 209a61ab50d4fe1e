#include "ui/HyperlinkEdit.h"

#include "platform/Shell.h"
#include "ui/TextBytes.h"

CHyperlinkEdit::CHyperlinkEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    QPalette p = palette();
    p.setColor(QPalette::Text, p.color(QPalette::Link));
    setPalette(p);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
}

bool CHyperlinkEdit::OpenLink() {
    const std::string target = ToBytes(text().trimmed());
    return !target.empty() && Shell().OpenDocument(target);
}

void CHyperlinkEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    OpenLink();
}
