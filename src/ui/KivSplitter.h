#pragma once

#include <QSplitter>

// A splitter whose first pane has a remembered size (width or height by orientation) and
// whose second pane can be hidden and shown again at its former size.
class CKivSplitter : public QSplitter {
    Q_OBJECT

public:
    explicit CKivSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    int FirstPaneSize() const;
    void SetFirstPaneSize(int size);
    int SecondPaneSize() const;
    void SetSecondPaneVisible(bool visible, int size);
    bool IsSecondPaneVisible() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyFirst(int size);

    int m_pendingFirst = -1;
    bool m_applied = false;
};
