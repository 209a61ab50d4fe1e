#pragma once

#include "model/Interfaces.h"
#include "model/KivDoc.h"

#include <QTreeView>

#include <unordered_map>
#include <vector>

class CTxDoc;
class QStandardItem;
class QStandardItemModel;

// The folder tree of the left pane: folders only, children read when a node is expanded,
// expanded flags read from and stored into the data file, labels renamed in place. While
// nobody is logged in it shows the single node "Please login...".
class CMainTreeView : public QTreeView, public IKivView {
    Q_OBJECT

public:
    static constexpr int kIdRole = Qt::UserRole + 1;

    explicit CMainTreeView(CTxDoc& doc, QWidget* parent = nullptr);
    ~CMainTreeView() override;

    void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;

    // Rebuilds the whole tree from the data file.
    void Reload();
    // The identifier of the selected folder (0: none).
    int SelectedId() const;
    // Selects the node of folder id (expanding its ancestors as needed). With announce the
    // selection counts as the user's: it enters the history and the views are told.
    bool SelectFolder(int id, bool announce = false);
    // The node of id, when loaded.
    QStandardItem* ItemOf(int id) const;

    // The rename rules: an empty name is refused (false); otherwise the name is made unique
    // among the siblings, stored, and the label shows it.
    bool RenameFolder(int id, const QString& name);
    void BeginRename();

    bool CanDropIds(const std::vector<int>& ids, int target) const;
    bool DropIds(const std::vector<int>& ids, int target);

    QStandardItemModel* Model() const { return m_model; }
    // Whether the tree shows a logged-in data file (false: the "Please login..." node).
    bool ShowsData() const { return m_showsData; }

signals:
    void ContextMenuRequested(const QPoint& globalPos, int id);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // What one build of the tree learnt about a record: read once per build.
    struct RECORDINFO {
        bool isFolder = false;
        QString name;
        int image = 0;
    };
    // A build (a reload, or the expansion of a node and of its stored-expanded sub-folders)
    // lists each folder's children and reads each record once; the memo ends with it.
    class CBuild;
    friend class CBuild;

    QStandardItem* MakeItem(int id, const QString& name, int image);
    void LoadChildren(QStandardItem* item);
    bool HasSubFolders(int id);
    const std::vector<TComPtr<ITreeItem>>& ChildrenOf(int id);
    const RECORDINFO* InfoOf(ITreeItem& node);
    void OnExpanded(const QModelIndex& index, bool expanded);
    void OnItemChanged(QStandardItem* item);
    void OnCurrentChanged(const QModelIndex& current);
    int IdAtPos(const QPoint& pos) const;

    CTxDoc& m_doc;
    QStandardItemModel* m_model;
    int m_busy = 0; // > 0 while the tree changes itself: no stores, no hints
    int m_builds = 0;
    std::unordered_map<int, std::vector<TComPtr<ITreeItem>>> m_children;
    std::unordered_map<int, RECORDINFO> m_records;
    bool m_showsData = false;
};
