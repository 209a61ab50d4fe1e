#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class CKivSplitter;
class CPreviewContainer;
class CTxDoc;
class CTxListView;
class QLabel;

// The right pane: a header line (icon and caption), the item list and the preview pane
// below it. Header and preview are refreshed once, 250 ms after the last list refill, so
// that a burst of refills redraws them once.
class CRightFrame : public QWidget {
    Q_OBJECT

public:
    explicit CRightFrame(CTxDoc& doc, QWidget* parent = nullptr);
    ~CRightFrame() override;

    // Message 1025: the list was refilled; starts (or restarts) the refresh timer.
    void OnListRefilled(int hint);
    // The timer's work: header, then preview.
    void RefreshHeaderAndPreview();
    bool IsRefreshPending() const { return m_refreshTimer.isActive(); }

    void SetPreviewVisible(bool visible);
    bool IsPreviewVisible() const;
    // Stores the list pane's height into WndM_SplitterHeight (and the preview's height when
    // hidden); called while the folder tree is the left view.
    void StoreLayout();

    // Which left view is shown (0 tree, 1 favorites, 2 search).
    void SetLeftViewGetter(std::function<int()> getter);

    CTxListView* List() const { return m_list; }
    CPreviewContainer* Preview() const { return m_preview; }
    CKivSplitter* Splitter() const { return m_splitter; }
    QString HeaderText() const;

private:
    void RefreshHeader();
    void RefreshPreview();

    CTxDoc& m_doc;
    QLabel* m_headerIcon;
    QLabel* m_headerText;
    CKivSplitter* m_splitter;
    CTxListView* m_list;
    CPreviewContainer* m_preview;
    QTimer m_refreshTimer;
    int m_lastHint = 1;
    std::function<int()> m_leftView;
};
