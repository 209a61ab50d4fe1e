#pragma once

#include <QDialog>

#include <functional>

class CTxDoc;
class QTreeWidget;
class QTreeWidgetItem;

// Picks a folder of the open data file from its tree (the picker the search, the import and
// the export share).
class CFolderPickerDlg : public QDialog {
    Q_OBJECT

public:
    CFolderPickerDlg(CTxDoc& doc, int selected, QWidget* parent = nullptr);

    // The chosen folder, 0 when none is selected.
    int SelectedFolder() const;
    bool Select(int id);
    QTreeWidget* Tree() const { return m_tree; }

private:
    void AddChildren(QTreeWidgetItem* parent, int id, int depth);

    CTxDoc& m_doc;
    QTreeWidget* m_tree;
};

// How a window asks for a folder: the chosen identifier, or 0 for Cancel. Tests replace it.
using FOLDER_PICKER = std::function<int(CTxDoc& doc, int current, QWidget* parent)>;
// The picker dialog, run modally.
int PickFolder(CTxDoc& doc, int current, QWidget* parent);
