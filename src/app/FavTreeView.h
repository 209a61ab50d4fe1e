#pragma once

#include "model/KivDoc.h"

#include <QTreeWidget>

#include <vector>

class CTxDoc;

// The favorites view of the left pane: one flat node per favorite, in list order. Choosing a
// node makes it the document's selected favorite (hint 6); records dropped on it are added.
class CFavTreeView : public QTreeWidget, public IKivView {
    Q_OBJECT

public:
    static constexpr int kIdRole = Qt::UserRole + 1;

    explicit CFavTreeView(CTxDoc& doc, QWidget* parent = nullptr);
    ~CFavTreeView() override;

    void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;

    void Reload();
    // The identifiers shown, in order.
    std::vector<int> Ids() const;
    // Selects the node of id as a click does; false when it is not shown.
    bool SelectFavorite(int id);
    // Forgets the selection (switching to the view by command).
    void ClearChoice();
    // Small or large icons after View_FavViewLargeIcons.
    void ApplyIconSize();

    bool CanDropIds(const std::vector<int>& ids) const;
    bool DropIds(const std::vector<int>& ids);

signals:
    void CommandRequested(int id);
    void ContextMenuRequested(const QPoint& globalPos, int id);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnSelected();

    CTxDoc& m_doc;
    int m_busy = 0;
};
