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
    if (m_pendingFirst >= 0 && (s.value(0) == 0 || !m_applied))
        return m_pendingFirst;
    return s.value(0);
}

void CKivSplitter::SetFirstPaneSize(int size) {
    m_pendingFirst = size;
    m_applied = false;
    ApplyFirst(size);
}

void CKivSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    // Sizes set before the first layout are scaled by the splitter; the remembered size is
    // an absolute one, so it is applied again once the pane really has its size.
    if (!m_applied && m_pendingFirst >= 0)
        ApplyFirst(m_pendingFirst);
}

void CKivSplitter::ApplyFirst(int size) {
    QList<int> s = sizes();
    if (s.size() < 2)
        return;
    const int total = orientation() == Qt::Horizontal ? width() : height();
    if (isVisible() && total > size + handleWidth())
        m_applied = true;
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
