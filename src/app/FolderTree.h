#pragma once

#include <QTreeWidget>

#include <functional>

class CTxDoc;

// A read-only tree of the data file's folders for the dialogs that ask for one (new folder,
// "Move to", the folder picker of search, import and export).
class CFolderTree : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int kIdRole = Qt::UserRole + 1;

    explicit CFolderTree(CTxDoc& doc, QWidget* parent = nullptr);

    // Rebuilds the tree from the data file (every folder below the root).
    void Reload();
    // Selects folder id and reveals it; false when it is not in the tree.
    bool Select(int id);
    // The selected folder's identifier, 0 when none.
    int SelectedId() const;
    QTreeWidgetItem* ItemOf(int id) const;

private:
    void AddChildren(QTreeWidgetItem* item, int id, int depth);

    CTxDoc& m_doc;
};
