#pragma once

#include "tools/ExportTree.h"

#include <string>
#include <vector>

class ITresorix;

// A data tree held in memory: for tests and the command-line tool, and a model of what the
// wizard's tree control shows.
class CExportCheckTree : public IExportTree {
public:
    // Adds a node under parent (kNoNode for a top-level node) after its last child.
    HNODE AddNode(HNODE parent, int id, const std::string& name = {}, bool checked = false);

    // Replaces the contents by the tree of the data file below rootId: every node with its
    // children, in the order the data file gives them, nothing checked. False when the root
    // has no readable record.
    bool Fill(ITresorix* tresorix, int rootId);

    // The node with the data file identifier id, or kNoNode.
    HNODE FindNode(int id) const;
    std::string GetName(HNODE node) const;
    void Clear() { m_nodes.clear(); }
    std::size_t GetCount() const { return m_nodes.size(); }

    HNODE GetRootNode() const override;
    HNODE GetChildNode(HNODE node) const override;
    HNODE GetNextSiblingNode(HNODE node) const override;
    HNODE GetParentNode(HNODE node) const override;
    int GetNodeId(HNODE node) const override;
    bool GetCheck(HNODE node) const override;
    void SetCheck(HNODE node, bool checked) override;

private:
    struct NODE {
        int id = 0;
        std::string name;
        bool checked = false;
        HNODE parent = kNoNode;
        HNODE firstChild = kNoNode;
        HNODE lastChild = kNoNode;
        HNODE next = kNoNode;
    };

    // Handles are positions + 1, so that 0 stays "none".
    const NODE* At(HNODE node) const;
    NODE* At(HNODE node);

    std::vector<NODE> m_nodes;
};
