#pragma once

#include "model/KivDoc.h"

#include <QWidget>

#include <functional>
#include <vector>

class CTxDoc;
class CTxListModel;
class QListView;
class QStackedWidget;
class QTreeView;
class QAbstractItemView;
class QItemSelectionModel;

// The item list of the right pane: details (four columns) or icons/list, over one model and
// one selection. It fills itself from the document's hints and persists its layout in the
// profile section "MainListView".
class CTxListView : public QWidget, public IKivView {
    Q_OBJECT

public:
    // The list control's view styles, as stored in "ViewStyle".
    enum STYLE { kLargeIcons = 0, kDetails = 1, kSmallIcons = 2, kList = 3 };
    static constexpr const char* kSection = "MainListView";

    explicit CTxListView(CTxDoc& doc, QWidget* parent = nullptr);
    ~CTxListView() override;

    void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;

    // Refills for the folder at the current position of the navigation history.
    void RefillFolder();

    void SetViewStyle(int style);
    int GetViewStyle() const { return m_style; }
    void SetGridLines(bool on);
    void SetFullRowSelect(bool on);

    // Header click: ascending for a new column, reversed for the current one.
    void OnHeaderClicked(int column);

    std::vector<int> SelectedIds() const;
    void SelectAll();
    void SelectId(int id);

    // The drop rules for the list: the record under the cursor (0: empty space, the folder
    // shown) is the target.
    bool CanDropIds(const std::vector<int>& ids, int itemUnderCursor) const;
    bool DropIds(const std::vector<int>& ids, int itemUnderCursor);

    // Persistence of "GridLines", "FullRowSelect", "ViewStyle" and "Columns".
    void LoadState();
    void SaveState() const;

    CTxListModel& Model() const { return *m_model; }
    QTreeView* Details() const { return m_details; }
    QListView* Icons() const { return m_icons; }
    QAbstractItemView* CurrentView() const;

    // Called after every refill with the hint that caused it (1 folder, 6 favorites, 8 search).
    void SetRefilledHandler(std::function<void(int)> handler) { m_onRefilled = std::move(handler); }
    // Whether the search is the left view: the list then keeps showing the results.
    void SetSearchShownGetter(std::function<bool()> getter) { m_searchShown = std::move(getter); }

signals:
    void SelectionChanged();
    void ContextMenuRequested(const QPoint& globalPos, bool onItem);
    void ItemActivated(int id);

private:
    void NotifyRefilled(int hint);
    bool eventFilter(QObject* watched, QEvent* event) override;
    int IdAt(QAbstractItemView* view, const QPoint& pos) const;

    CTxDoc& m_doc;
    CTxListModel* m_model;
    QStackedWidget* m_stack;
    QTreeView* m_details;
    QListView* m_icons;
    QItemSelectionModel* m_selection;
    int m_style = kDetails;
    bool m_gridLines = false;
    bool m_fullRowSelect = false;
    std::function<void(int)> m_onRefilled;
    std::function<bool()> m_searchShown;
};
