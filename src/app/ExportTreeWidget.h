#pragma once

#include "tools/ExportTree.h"

#include <QTreeWidget>

class CTxDoc;

// The export's data tree: every folder and record of the data file with a check box. It is
// the data source's view of the tree; with cascading on, a check change spreads the way the
// export expects.
class CExportTreeWidget : public QTreeWidget, public IExportTree {
    Q_OBJECT

public:
    explicit CExportTreeWidget(QWidget* parent = nullptr);

    // Fills the tree from the root folder, expanded, nothing checked.
    void Fill(CTxDoc& doc);
    void SetCascade(bool cascade) { m_cascade = cascade; }
    bool IsCascade() const { return m_cascade; }

    QTreeWidgetItem* FindItem(int id) const;
    static HNODE Handle(QTreeWidgetItem* item) { return reinterpret_cast<HNODE>(item); }
    static QTreeWidgetItem* Item(HNODE node) { return reinterpret_cast<QTreeWidgetItem*>(node); }

    HNODE GetRootNode() const override;
    HNODE GetChildNode(HNODE node) const override;
    HNODE GetNextSiblingNode(HNODE node) const override;
    HNODE GetParentNode(HNODE node) const override;
    int GetNodeId(HNODE node) const override;
    bool GetCheck(HNODE node) const override;
    void SetCheck(HNODE node, bool checked) override;

private:
    void AddChildren(CTxDoc& doc, QTreeWidgetItem* parent, int id, int depth);
    void OnItemChanged(QTreeWidgetItem* item, int column);

    bool m_cascade = false;
    bool m_spreading = false;
};
