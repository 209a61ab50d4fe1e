#pragma once

#include <vector>

class CTxDoc;

// The rules of dragging records and folders onto the folder tree, the record list and the
// favorites tree. The windows find the node under the cursor; this decides and carries out.
class CTxDragDrop {
public:
    explicit CTxDragDrop(CTxDoc& doc) : m_doc(doc) {}

    // Starts a drag of ids (in drag order) from window source (not interpreted here).
    void BeginDrag(std::vector<int> ids, const void* source = nullptr);
    void EndDrag();
    bool IsDragging() const { return !m_dragged.empty(); }
    const std::vector<int>& GetDragged() const { return m_dragged; }
    const void* GetSource() const { return m_source; }

    // The target in the record list: the record under the cursor, or over empty space (0) the
    // folder shown now.
    int ListTarget(int itemUnderCursor) const;

    // A drop on target is allowed when target is a folder and neither it nor any node above
    // it is one of the dragged nodes.
    bool CanDrop(int target) const;
    // Moves every dragged node into target when allowed; false when refused (0 = no target)
    // or when a move failed.
    bool Drop(int target);

    // Favorites take records only: refused when one of the dragged nodes is a folder.
    bool CanDropOnFavorites() const;
    // Adds the dragged records in drag order and tells the views (hint 5).
    bool DropOnFavorites();

private:
    CTxDoc& m_doc;
    std::vector<int> m_dragged;
    const void* m_source = nullptr;
};
