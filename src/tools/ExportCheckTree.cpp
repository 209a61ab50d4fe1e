#include "tools/ExportCheckTree.h"

#include "model/Factory.h"
#include "model/Interfaces.h"

#include <deque>
#include <unordered_set>
#include <utility>

void CascadeCheck(IExportTree& tree, IExportTree::HNODE node, bool checked) {
    if (node == IExportTree::kNoNode)
        return;
    tree.SetCheck(node, checked);
    if (checked) {
        for (auto up = tree.GetParentNode(node); up != IExportTree::kNoNode;
             up = tree.GetParentNode(up))
            tree.SetCheck(up, true);
    }
    // An explicit stack: the tree may be deep.
    std::vector<IExportTree::HNODE> pending;
    for (auto child = tree.GetChildNode(node); child != IExportTree::kNoNode;
         child = tree.GetNextSiblingNode(child))
        pending.push_back(child);
    while (!pending.empty()) {
        const auto current = pending.back();
        pending.pop_back();
        tree.SetCheck(current, checked);
        for (auto child = tree.GetChildNode(current); child != IExportTree::kNoNode;
             child = tree.GetNextSiblingNode(child))
            pending.push_back(child);
    }
}

const CExportCheckTree::NODE* CExportCheckTree::At(HNODE node) const {
    return node != kNoNode && node <= m_nodes.size() ? &m_nodes[node - 1] : nullptr;
}

CExportCheckTree::NODE* CExportCheckTree::At(HNODE node) {
    return node != kNoNode && node <= m_nodes.size() ? &m_nodes[node - 1] : nullptr;
}

IExportTree::HNODE CExportCheckTree::AddNode(HNODE parent, int id, const std::string& name,
                                             bool checked) {
    NODE added;
    added.id = id;
    added.name = name;
    added.checked = checked;
    added.parent = At(parent) ? parent : kNoNode;
    m_nodes.push_back(std::move(added));
    const HNODE handle = m_nodes.size();
    if (NODE* up = At(m_nodes.back().parent)) {
        if (NODE* last = At(up->lastChild))
            last->next = handle;
        else
            up->firstChild = handle;
        up->lastChild = handle;
    } else {
        // Top-level nodes chain after the first one.
        for (HNODE h = GetRootNode(); h != kNoNode && h != handle; h = At(h)->next) {
            if (At(h)->next == kNoNode) {
                At(h)->next = handle;
                break;
            }
        }
    }
    return handle;
}

bool CExportCheckTree::Fill(ITresorix* tresorix, int rootId) {
    Clear();
    TComPtr<ICommonProperties> root = tresorix ? GetItemProperties(tresorix, rootId) : nullptr;
    if (!root)
        return false;
    std::deque<std::pair<HNODE, int>> pending;
    pending.emplace_back(AddNode(kNoNode, rootId, root->GetName()), rootId);
    // A damaged tree whose parents form a cycle must not be walked for ever.
    std::unordered_set<int> visited{rootId};
    while (!pending.empty()) {
        auto [handle, id] = pending.front();
        pending.pop_front();
        TComPtr<ITreeItem> node = MakeTreeItem(tresorix, id);
        TComPtr<ITreeIterator> children = node ? node->GetIterator(ITreeItem::kChildren) : nullptr;
        if (!children)
            continue;
        for (TComPtr<ITreeItem> child = children->First(); child; child = children->Next()) {
            const int childId = child->GetID();
            if (!visited.insert(childId).second)
                continue;
            TComPtr<ICommonProperties> record = GetCommonProperties(child->GetData());
            const HNODE added =
                AddNode(handle, childId, record ? record->GetName() : std::string());
            pending.emplace_back(added, childId);
        }
    }
    return true;
}

IExportTree::HNODE CExportCheckTree::FindNode(int id) const {
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes[i].id == id)
            return i + 1;
    }
    return kNoNode;
}

std::string CExportCheckTree::GetName(HNODE node) const {
    const NODE* n = At(node);
    return n ? n->name : std::string();
}

IExportTree::HNODE CExportCheckTree::GetRootNode() const {
    // Top-level nodes have no parent; the first one added is the first root.
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes[i].parent == kNoNode)
            return i + 1;
    }
    return kNoNode;
}

IExportTree::HNODE CExportCheckTree::GetChildNode(HNODE node) const {
    const NODE* n = At(node);
    return n ? n->firstChild : kNoNode;
}

IExportTree::HNODE CExportCheckTree::GetNextSiblingNode(HNODE node) const {
    const NODE* n = At(node);
    return n ? n->next : kNoNode;
}

IExportTree::HNODE CExportCheckTree::GetParentNode(HNODE node) const {
    const NODE* n = At(node);
    return n ? n->parent : kNoNode;
}

int CExportCheckTree::GetNodeId(HNODE node) const {
    const NODE* n = At(node);
    return n ? n->id : 0;
}

bool CExportCheckTree::GetCheck(HNODE node) const {
    const NODE* n = At(node);
    return n && n->checked;
}

void CExportCheckTree::SetCheck(HNODE node, bool checked) {
    if (NODE* n = At(node))
        n->checked = checked;
}
