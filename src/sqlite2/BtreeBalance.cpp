#include "sqlite2/BtreeBalance.h"

#include "sqlite2/sqlite.h"

#include <algorithm>

namespace sqlite2 {

namespace {

// End index (exclusive) of each new page's cells in combined; the cell at cnt[j] (j < k-1) is
// the divider that goes up to the parent. Fills pages greedily, then evens neighbours out.
std::vector<size_t> SplitPoints(const CellList& c) {
    size_t n = c.Count();
    std::vector<size_t> cnt;
    uint32_t size = 0;
    for (size_t i = 0; i < n; i++) {
        uint32_t s = c.Size(i);
        if (size + s > uint32_t(kPageUsable)) {
            cnt.push_back(i);
            size = 0;
            continue;
        }
        size += s;
    }
    cnt.push_back(n);
    size_t k = cnt.size();
    if (k > 1 && cnt[k - 1] == cnt[k - 2] + 1)
        cnt[k -
            2]--; // the last page would be empty: its divider comes down, the cell before goes up
    auto start = [&](size_t j) { return j == 0 ? size_t(0) : cnt[j - 1] + 1; };
    for (size_t j = k - 1; j >= 1; j--) {
        uint32_t right = 0, left = 0;
        for (size_t i = start(j); i < cnt[j]; i++)
            right += c.Size(i);
        for (size_t i = start(j - 1); i < cnt[j - 1]; i++)
            left += c.Size(i);
        while (true) {
            size_t d = cnt[j - 1];
            if (d - 1 <= start(j - 1))
                break;
            uint32_t newRight = right + c.Size(d);
            uint32_t newLeft = left - c.Size(d - 1);
            if (newRight > newLeft)
                break;
            right = newRight;
            left = newLeft;
            cnt[j - 1]--;
        }
    }
    return cnt;
}

} // namespace

int Balancer::Run(BalancePath& path) {
    for (int l = path.depth - 1; l >= 1; l--) {
        if (!path.modified[l])
            continue;
        int rc = BalanceLevel(path, l);
        if (rc != SQLITE_OK)
            return rc;
    }
    return path.modified[0] ? BalanceRoot(path) : SQLITE_OK;
}

int Balancer::WriteContent(Pgno pgno, const CellList& cells) {
    PageRef ref;
    int rc = m_bt.GetPager().Get(pgno, ref, true);
    if (rc == SQLITE_OK)
        rc = ref.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    WritePage(m_bo, ref.Hdr(), cells);
    return SQLITE_OK;
}

int Balancer::BalanceLevel(BalancePath& path, int l) {
    uint32_t n, used;
    if (path.hasPending[l]) {
        n = uint32_t(path.pending[l].Count());
        used = path.pending[l].TotalBytes();
    } else {
        PageRef ref;
        int rc = m_bt.LoadNode(path.pgno[l], ref);
        if (rc != SQLITE_OK)
            return rc;
        const MemPage& mp = ViewOf(ref.Hdr());
        n = mp.nCell;
        used = (n == 0) ? 0 : kPageUsable - mp.nFree;
    }
    bool need = used > uint32_t(kPageUsable) || n < 2 || kPageUsable - used >= uint32_t(kHalfPage);
    if (!need) {
        if (path.hasPending[l]) {
            path.hasPending[l] = false;
            return WriteContent(path.pgno[l], path.pending[l]);
        }
        return SQLITE_OK;
    }
    return Redistribute(path, l);
}

int Balancer::Redistribute(BalancePath& path, int l) {
    CellList& parent = path.pending[l - 1];
    if (!path.hasPending[l - 1]) {
        PageRef ref;
        int rc = m_bt.LoadNode(path.pgno[l - 1], ref);
        if (rc != SQLITE_OK)
            return rc;
        ReadCells(m_bo, ref.Hdr(), parent);
        path.hasPending[l - 1] = true;
    }
    path.modified[l - 1] = true;
    auto child = [&](size_t i) {
        return i < parent.Count() ? m_bo.Get32(parent.Cell(i)) : parent.right;
    };
    size_t nChild = parent.Count() + 1;
    int ci = path.idx[l - 1];
    if (ci < 0 || size_t(ci) >= nChild || child(size_t(ci)) != path.pgno[l])
        return SQLITE_CORRUPT;
    size_t first;
    if (ci == 0)
        first = 0;
    else if (size_t(ci) == nChild - 1)
        first = ci >= 2 ? size_t(ci) - 2 : 0;
    else
        first = size_t(ci) - 1;
    size_t last = std::min(nChild - 1, first + 2);
    std::vector<Pgno> old;
    Pgno nPage = m_bt.GetPager().PageCount();
    for (size_t s = first; s <= last; s++) {
        Pgno p = child(s);
        if (p < 2 || p > nPage || std::find(old.begin(), old.end(), p) != old.end())
            return SQLITE_CORRUPT;
        for (int a = 0; a < l; a++) {
            if (path.pgno[a] == p)
                return SQLITE_CORRUPT;
        }
        old.push_back(p);
    }
    CellList combined;
    CellList tmp;
    uint32_t lastRight = 0;
    for (size_t j = 0; j < old.size(); j++) {
        const CellList* src;
        if (first + j == size_t(ci) && path.hasPending[l]) {
            src = &path.pending[l];
        } else {
            PageRef ref;
            int rc = m_bt.LoadNode(old[j], ref);
            if (rc != SQLITE_OK)
                return rc;
            ReadCells(m_bo, ref.Hdr(), tmp);
            src = &tmp;
        }
        for (size_t i = 0; i < src->Count(); i++)
            combined.Append(src->Cell(i), src->Size(i));
        lastRight = src->right;
        if (j + 1 < old.size()) {
            combined.Append(parent.Cell(first + j), parent.Size(first + j));
            m_bo.Put32(combined.CellMut(combined.Count() - 1), src->right);
        }
    }
    path.hasPending[l] = false;
    return Distribute(parent, int(first), old, combined, lastRight);
}

int Balancer::Distribute(CellList& parent, int first, const std::vector<Pgno>& old,
                         CellList& combined, uint32_t lastRight) {
    std::vector<size_t> cnt = SplitPoints(combined);
    size_t k = cnt.size();
    std::vector<Pgno> pages;
    for (size_t j = 0; j < k; j++) {
        if (j < old.size() && old[j] != 0) {
            pages.push_back(old[j]);
        } else {
            PageRef ref;
            int rc = m_bt.AllocatePage(ref);
            if (rc != SQLITE_OK)
                return rc;
            pages.push_back(ref.Number());
        }
    }
    for (size_t j = k; j < old.size(); j++) {
        if (old[j] != 0) {
            int rc = m_bt.FreePage(old[j]);
            if (rc != SQLITE_OK)
                return rc;
        }
    }
    CellList cells;
    for (size_t j = 0; j < k; j++) {
        cells.Clear();
        size_t start = j == 0 ? 0 : cnt[j - 1] + 1;
        for (size_t i = start; i < cnt[j]; i++)
            cells.Append(combined.Cell(i), combined.Size(i));
        cells.right = j + 1 < k ? m_bo.Get32(combined.Cell(cnt[j])) : lastRight;
        int rc = WriteContent(pages[j], cells);
        if (rc != SQLITE_OK)
            return rc;
    }
    size_t oldDividers = old.size() - 1;
    for (size_t i = 0; i < oldDividers; i++)
        parent.Erase(size_t(first));
    for (size_t j = 0; j + 1 < k; j++) {
        uint8_t* div = combined.CellMut(cnt[j]);
        m_bo.Put32(div, pages[j]);
        parent.Insert(size_t(first) + j, div, combined.Size(cnt[j]));
    }
    size_t ptr = size_t(first) + k - 1;
    if (ptr < parent.Count())
        m_bo.Put32(parent.CellMut(ptr), pages[k - 1]);
    else
        parent.right = pages[k - 1];
    return SQLITE_OK;
}

int Balancer::BalanceRoot(BalancePath& path) {
    Pgno root = path.pgno[0];
    if (path.hasPending[0]) {
        path.hasPending[0] = false;
        CellList& content = path.pending[0];
        if (content.TotalBytes() <= uint32_t(kPageUsable)) {
            int rc = WriteContent(root, content);
            if (rc != SQLITE_OK)
                return rc;
        } else {
            // The root keeps only the dividers; its cells move one level down.
            CellList top;
            std::vector<Pgno> none{0};
            int rc = Distribute(top, 0, none, content, content.right);
            if (rc == SQLITE_OK)
                rc = WriteContent(root, top);
            return rc;
        }
    }
    PageRef ref;
    int rc = m_bt.LoadNode(root, ref);
    if (rc != SQLITE_OK)
        return rc;
    const MemPage& mp = ViewOf(ref.Hdr());
    if (mp.nCell != 0 || mp.right == 0)
        return SQLITE_OK;
    // An empty root with one child takes the child's content: the tree loses a level.
    Pgno child = mp.right;
    PageRef cref;
    rc = m_bt.LoadNode(child, cref);
    if (rc != SQLITE_OK)
        return rc;
    if (child == root)
        return SQLITE_CORRUPT;
    CellList cells;
    ReadCells(m_bo, cref.Hdr(), cells);
    cref.Release();
    rc = ref.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    WritePage(m_bo, ref.Hdr(), cells);
    return m_bt.FreePage(child);
}

} // namespace sqlite2
