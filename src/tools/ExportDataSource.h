#pragma once

#include "tools/ExportTree.h"

#include <cstddef>
#include <deque>
#include <utility>
#include <vector>

// What the data source hands to the output at each step: one checked node of the data tree
// and the identifiers of its direct children in tree order, with a read cursor.
class CExportGroup {
public:
    void Clear() {
        m_id = 0;
        m_items.clear();
        m_cursor = 0;
    }
    int GetID() const { return m_id; }
    void SetID(int id) { m_id = id; }
    void Add(int id) { m_items.push_back(id); }

    std::size_t GetCount() const { return m_items.size(); }
    int GetAt(std::size_t i) const { return m_items.at(i); }
    const std::vector<int>& GetItems() const { return m_items; }
    // Replaces the items (the sort puts them back in a new order).
    void SetItems(std::vector<int> items) {
        m_items = std::move(items);
        m_cursor = 0;
    }

    void Rewind() { m_cursor = 0; }
    // The item under the cursor, advancing it; false past the last one.
    bool Next(int& id) {
        if (m_cursor >= m_items.size())
            return false;
        id = m_items[m_cursor++];
        return true;
    }

private:
    int m_id = 0;
    std::vector<int> m_items;
    std::size_t m_cursor = 0;
};

// Hands out the groups of an export: every checked node of the data tree contributes its
// direct children, in breadth-first order of the checked nodes.
class CExportDataSource {
public:
    // The tree is not owned; it must outlive the data source's use.
    explicit CExportDataSource(IExportTree* tree) : m_tree(tree) {}

    // Empties the queue, then puts every node of the tree into it breadth-first from the
    // first root node.
    void Reset();
    // The next checked node of the queue and its children; false once the queue is empty.
    bool NextGroup(CExportGroup& group);

    IExportTree* GetTree() const { return m_tree; }

private:
    IExportTree* m_tree;
    std::deque<IExportTree::HNODE> m_queue;
};
