#include "model/TxDragDrop.h"

#include "model/Interfaces.h"
#include "model/TxDoc.h"

void CTxDragDrop::BeginDrag(std::vector<int> ids, const void* source) {
    m_dragged = std::move(ids);
    m_source = source;
}

void CTxDragDrop::EndDrag() {
    m_dragged.clear();
    m_source = nullptr;
}

int CTxDragDrop::ListTarget(int itemUnderCursor) const {
    return itemUnderCursor > 0 ? itemUnderCursor : m_doc.GetCurrentFolder();
}

bool CTxDragDrop::CanDrop(int target) const {
    return target > 0 && !m_dragged.empty() && m_doc.CanMoveItems(m_dragged) &&
           m_doc.IsValidMoveTarget(m_dragged, target);
}

bool CTxDragDrop::Drop(int target) {
    if (!CanDrop(target))
        return false;
    bool ok = true;
    for (int id : m_dragged)
        ok = m_doc.MoveItem(id, target) && ok;
    return ok;
}

bool CTxDragDrop::CanDropOnFavorites() const {
    if (m_dragged.empty() || !m_doc.IsAuthorised())
        return false;
    for (int id : m_dragged) {
        TComPtr<ICommonProperties> record = m_doc.GetRecord(id);
        if (!record || record->IsFolder())
            return false;
    }
    return true;
}

bool CTxDragDrop::DropOnFavorites() {
    if (!CanDropOnFavorites())
        return false;
    m_doc.AddFavorites(m_dragged);
    return true;
}
