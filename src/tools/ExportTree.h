#pragma once

#include <cstdint>

// The data tree of the export: folders and records of the data file, each with a check box.
// The wizard's tree control implements it; CExportCheckTree is a plain one. Nodes are opaque
// handles, kNoNode meaning none.
class IExportTree {
public:
    using HNODE = std::uintptr_t;
    static constexpr HNODE kNoNode = 0;

    virtual ~IExportTree() = default;

    // The first top-level node.
    virtual HNODE GetRootNode() const = 0;
    virtual HNODE GetChildNode(HNODE node) const = 0;
    virtual HNODE GetNextSiblingNode(HNODE node) const = 0;
    virtual HNODE GetParentNode(HNODE node) const = 0;
    // The data file's identifier of the node.
    virtual int GetNodeId(HNODE node) const = 0;
    virtual bool GetCheck(HNODE node) const = 0;
    virtual void SetCheck(HNODE node, bool checked) = 0;
};

// A check change with "Cascade check" on: checking a node checks its ancestors and all its
// descendants; unchecking it unchecks all its descendants.
void CascadeCheck(IExportTree& tree, IExportTree::HNODE node, bool checked);
