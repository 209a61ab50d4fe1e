#include "ui/KivSplitter.h"

CKivSplitter::CKivSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setChildrenCollapsible(false);
}

int CKivSplitter::FirstPaneSize() const {
    const QList<int> s = sizes();
    if (s.isEmpty())
        return 0;
    // Before the first layout the sizes are all zero: the requested size is the truth.
    if (m_pendingFirst >= 0 && s.value(0) == 0)
        return m_pendingFirst;
    return s.value(0);
}

void CKivSplitter::SetFirstPaneSize(int size) {
    m_pendingFirst = size;
    QList<int> s = sizes();
    if (s.size() < 2)
        return;
    const int total = orientation() == Qt::Horizontal ? width() : height();
    s[0] = size;
    s[1] = std::max(1, total - size - handleWidth());
    setSizes(s);
}

int CKivSplitter::SecondPaneSize() const {
    return sizes().value(1);
}

void CKivSplitter::SetSecondPaneVisible(bool visible, int size) {
    if (count() < 2)
        return;
    QWidget* second = widget(1);
    second->setVisible(visible);
    if (visible) {
        QList<int> s = sizes();
        const int first = FirstPaneSize();
        s[0] = first;
        s[1] = size;
        setSizes(s);
    }
}

bool CKivSplitter::IsSecondPaneVisible() const {
    return count() >= 2 && !widget(1)->isHidden();
}
