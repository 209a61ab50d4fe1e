// Insert and delete through a cursor; the page changes are followed by a balance pass.
#include "sqlite2/BtCursorImpl.h"
#include "sqlite2/BtreeBalance.h"

#include "sqlite2/sqlite.h"

#include <cstring>
#include <memory>

namespace sqlite2 {

int BtCursorImpl::CheckWrite() {
    if (!m_bt)
        return SQLITE_MISUSE;
    if (!m_writable)
        return SQLITE_PERM;
    if (m_bt->ReadOnly())
        return SQLITE_READONLY;
    if (!m_bt->CanWrite())
        return SQLITE_ERROR;
    if (m_bt->HasReadCursor(m_root, this))
        return SQLITE_LOCKED;
    return SQLITE_OK;
}

namespace {

// A changed page that still fits needs no balance when it is the root or keeps at least two
// cells and is at least half full.
bool NeedsBalance(int level, const MemPage& mp) {
    return level > 0 && (mp.nCell < 2 || mp.nFree >= kHalfPage);
}

void FillPath(BalancePath& path, const PageRef* refs, const int* idx, int depth) {
    path.depth = depth;
    for (int i = 0; i < depth; i++) {
        path.pgno[i] = refs[i].Number();
        path.idx[i] = idx[i];
    }
}

} // namespace

Rc BtCursorImpl::Insert(const void* key, int nKey, const void* data, int nData) {
    int rc = CheckWrite();
    if (rc != SQLITE_OK)
        return rc;
    if (nKey < 0 || nData < 0 || nKey + nData == 0)
        return SQLITE_ERROR;
    if (uint32_t(nKey) > kMaxPayloadPart || uint32_t(nData) > kMaxPayloadPart)
        return SQLITE_TOOBIG;
    m_bt->SaveCursors(m_root, this);
    auto* k = static_cast<const uint8_t*>(key);
    int res = 0;
    rc = Seek(k, uint32_t(nKey), res);
    if (rc != SQLITE_OK)
        return rc;
    if (m_state != State::kValid) {
        // Only the root can be empty; load it again for the insertion.
        rc = MoveToRoot();
        if (rc != SQLITE_OK)
            return rc;
        if (m_depth == 0)
            return SQLITE_CORRUPT;
        m_idx[0] = 0;
        res = 1;
    }
    const ByteOrder& bo = m_bt->Order();
    int l = m_depth - 1;
    PgHdr* pg = m_refs[l].Hdr();
    MemPage& mp = ViewOf(pg);
    int idx = m_idx[l];
    uint8_t cell[kMaxCellSize];
    uint32_t size = 0;
    rc = m_bt->BuildCell(key, uint32_t(nKey), data, uint32_t(nData), cell, size);
    if (rc != SQLITE_OK)
        return rc;
    rc = m_refs[l].MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    if (res == 0) {
        const uint8_t* old = pg->data + mp.cell[idx];
        bo.Put32(cell, bo.Get32(old));
        rc = m_bt->FreeOverflow(old);
        if (rc != SQLITE_OK)
            return rc;
        DropCell(bo, pg, idx);
    } else {
        if (mp.right != 0)
            return SQLITE_CORRUPT; // a search ends on an interior page only on a match
        if (res < 0 && mp.nCell > 0)
            idx++;
    }
    bool placed = InsertCellInPlace(bo, pg, idx, cell, size);
    if (placed && !NeedsBalance(l, mp)) {
        rc = SQLITE_OK;
    } else {
        auto path = std::make_unique<BalancePath>();
        FillPath(*path, m_refs, m_idx, m_depth);
        path->modified[l] = true;
        if (!placed) {
            ReadCells(bo, pg, path->pending[l]);
            path->pending[l].Insert(size_t(idx), cell, uint16_t(size));
            path->hasPending[l] = true;
        }
        ReleasePath();
        Balancer balancer(*m_bt);
        rc = balancer.Run(*path);
    }
    ReleasePath();
    m_savedKey.assign(k, k + nKey);
    m_state = rc == SQLITE_OK ? State::kSaved : State::kInvalid;
    m_deleted = false;
    m_skip = 0;
    return rc;
}

Rc BtCursorImpl::Delete() {
    int rc = CheckWrite();
    if (rc != SQLITE_OK)
        return rc;
    if (m_deleted || !Valid() || m_skip != 0)
        return SQLITE_ERROR; // not on an entry (it was deleted, or never positioned)
    m_bt->SaveCursors(m_root, this);
    const ByteOrder& bo = m_bt->Order();
    int l = m_depth - 1;
    PgHdr* pg = m_refs[l].Hdr();
    int idx = m_idx[l];
    rc = CellKey(pg->data + ViewOf(pg).cell[idx], m_savedKey);
    if (rc != SQLITE_OK)
        return rc;
    rc = m_refs[l].MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    const uint8_t* cell = pg->data + ViewOf(pg).cell[idx];
    rc = m_bt->FreeOverflow(cell);
    if (rc != SQLITE_OK)
        return rc;
    Pgno leftChild = bo.Get32(cell);
    std::unique_ptr<BalancePath> path;
    if (leftChild == 0) {
        DropCell(bo, pg, idx);
        const MemPage& mp = ViewOf(pg);
        if (!NeedsBalance(l, mp) && (mp.nCell > 0 || mp.right == 0)) {
            ReleasePath();
            m_state = State::kSaved;
            m_deleted = true;
            m_skip = 0;
            return SQLITE_OK;
        }
        path = std::make_unique<BalancePath>();
        FillPath(*path, m_refs, m_idx, m_depth);
        path->modified[l] = true;
    } else {
        // Interior entry: the next entry (leftmost of the right-hand subtree) takes its place.
        Pgno child = ChildAt(bo, pg->data, ViewOf(pg), idx + 1);
        if (child == 0)
            return SQLITE_CORRUPT;
        m_idx[l] = idx + 1;
        rc = PushChild(child);
        if (rc == SQLITE_OK)
            rc = MoveToLeftmost();
        if (rc != SQLITE_OK)
            return rc;
        int leaf = m_depth - 1;
        PgHdr* lpg = m_refs[leaf].Hdr();
        if (ViewOf(lpg).nCell == 0 || ViewOf(lpg).right != 0)
            return SQLITE_CORRUPT;
        rc = m_refs[leaf].MakeWritable();
        if (rc != SQLITE_OK)
            return rc;
        uint8_t succ[kMaxCellSize];
        uint32_t size = CellSizeAt(bo, lpg->data, ViewOf(lpg).cell[0]);
        std::memcpy(succ, lpg->data + ViewOf(lpg).cell[0], size);
        bo.Put32(succ, leftChild);
        DropCell(bo, lpg, 0);
        DropCell(bo, pg, idx);
        path = std::make_unique<BalancePath>();
        FillPath(*path, m_refs, m_idx, m_depth);
        path->modified[l] = true;
        path->modified[leaf] = true;
        if (!InsertCellInPlace(bo, pg, idx, succ, size)) {
            ReadCells(bo, pg, path->pending[l]);
            path->pending[l].Insert(size_t(idx), succ, uint16_t(size));
            path->hasPending[l] = true;
        }
    }
    ReleasePath();
    Balancer balancer(*m_bt);
    rc = balancer.Run(*path);
    m_state = rc == SQLITE_OK ? State::kSaved : State::kInvalid;
    m_deleted = true;
    m_skip = 0;
    return rc;
}

} // namespace sqlite2
