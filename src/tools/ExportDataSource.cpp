#include "tools/ExportDataSource.h"

void CExportDataSource::Reset() {
    m_queue.clear();
    if (!m_tree)
        return;
    const IExportTree::HNODE root = m_tree->GetRootNode();
    if (root == IExportTree::kNoNode)
        return;
    std::deque<IExportTree::HNODE> level{root};
    while (!level.empty()) {
        const IExportTree::HNODE node = level.front();
        level.pop_front();
        m_queue.push_back(node);
        for (auto child = m_tree->GetChildNode(node); child != IExportTree::kNoNode;
             child = m_tree->GetNextSiblingNode(child))
            level.push_back(child);
    }
}

bool CExportDataSource::NextGroup(CExportGroup& group) {
    group.Clear();
    while (m_tree && !m_queue.empty()) {
        const IExportTree::HNODE node = m_queue.front();
        m_queue.pop_front();
        if (!m_tree->GetCheck(node))
            continue;
        group.SetID(m_tree->GetNodeId(node));
        for (auto child = m_tree->GetChildNode(node); child != IExportTree::kNoNode;
             child = m_tree->GetNextSiblingNode(child))
            group.Add(m_tree->GetNodeId(child));
        return true;
    }
    return false;
}
