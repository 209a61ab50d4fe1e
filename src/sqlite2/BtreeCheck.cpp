#include "sqlite2/BtreeCheck.h"

#include "sqlite2/sqlite.h"

#include <algorithm>
#include <cstring>

namespace sqlite2 {

namespace {

std::string CellContext(Pgno pgno, int cell) {
    return "On page " + std::to_string(pgno) + " cell " + std::to_string(cell) + ": ";
}

int CompareKeys(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c == 0)
        c = a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    return c;
}

} // namespace

BtreeChecker::BtreeChecker(BtreeImpl& bt, std::vector<std::string>& errors)
    : m_bt(bt), m_bo(bt.Order()), m_errors(errors) {}

int BtreeChecker::ReadRaw(Pgno pgno, PageRef& ref) {
    return m_bt.GetPager().Get(pgno, ref);
}

bool BtreeChecker::CheckRef(Pgno pgno, const std::string& context) {
    if (pgno == 0 || pgno > m_nPage) {
        Add(context + "invalid page number " + std::to_string(pgno));
        return false;
    }
    if (m_refs[pgno]) {
        Add(context + "2nd reference to page " + std::to_string(pgno));
        return false;
    }
    m_refs[pgno] = 1;
    return true;
}

void BtreeChecker::Run(const std::vector<int>& roots) {
    if (m_bt.LockBtree() != SQLITE_OK) {
        Add("Unable to acquire a read lock on the database");
        return;
    }
    m_nPage = m_bt.GetPager().PageCount();
    if (m_nPage == 0) {
        m_bt.UnlockIfUnused();
        return;
    }
    m_refs.assign(size_t(m_nPage) + 1, 0);
    m_refs[1] = 1;
    {
        PageRef p1;
        if (ReadRaw(1, p1) == SQLITE_OK) {
            Pgno head = m_bo.Get32(p1.Data() + kOffFreeHead);
            uint32_t count = m_bo.Get32(p1.Data() + kOffFreeCount);
            p1.Release();
            CheckFreeList(head, count);
        }
    }
    for (int root : roots) {
        if (root <= 0)
            continue;
        CheckTree(Pgno(root), "", nullptr, 0);
    }
    for (Pgno p = 1; p <= m_nPage; p++) {
        if (!m_refs[p])
            Add("Page " + std::to_string(p) + " is never used");
    }
    m_bt.UnlockIfUnused();
}

void BtreeChecker::CheckFreeList(Pgno head, uint32_t count) {
    const std::string context = "Main freelist: ";
    int64_t expected = count;
    Pgno page = head;
    while (expected > 0) {
        if (page == 0) {
            Add(context + std::to_string(expected) + " pages missing from overflow list");
            return;
        }
        if (!CheckRef(page, context))
            return;
        PageRef ref;
        if (ReadRaw(page, ref) != SQLITE_OK)
            return;
        uint32_t n = m_bo.Get32(ref.Data() + 4);
        if (n > uint32_t(kMaxFreeLeaves)) {
            Add(context + "trunk page " + std::to_string(page) + " lists " + std::to_string(n) +
                " leaves");
            n = kMaxFreeLeaves;
        }
        for (uint32_t i = 0; i < n; i++)
            CheckRef(m_bo.Get32(ref.Data() + 8 + 4 * i), context);
        expected -= int64_t(n) + 1;
        page = m_bo.Get32(ref.Data());
    }
}

void BtreeChecker::CheckOverflow(const uint8_t* cell, const std::string& context) {
    CellInfo ci = ParseCell(m_bo, cell);
    if (!ci.HasOverflow())
        return;
    uint32_t expected = OverflowPages(ci.Payload());
    Pgno page = CellOverflow(m_bo, cell);
    while (expected > 0) {
        if (page == 0) {
            Add(context + std::to_string(expected) + " pages missing from overflow list");
            return;
        }
        if (!CheckRef(page, context))
            return;
        PageRef ref;
        if (ReadRaw(page, ref) != SQLITE_OK)
            return;
        page = m_bo.Get32(ref.Data());
        expected--;
    }
}

bool BtreeChecker::ReadKey(const uint8_t* cell, std::vector<uint8_t>& key) {
    CellInfo ci = ParseCell(m_bo, cell);
    key.resize(ci.nKey);
    if (ci.nKey <= ci.nLocal) {
        std::memcpy(key.data(), cell + kCellHeaderSize, ci.nKey);
        return true;
    }
    return m_bt.ReadPayload(cell, 0, ci.nKey, key.data()) == SQLITE_OK;
}

void BtreeChecker::CheckTree(Pgno pgno, const std::string& context,
                             const std::vector<uint8_t>* lower, int depth) {
    if (pgno == 0)
        return;
    if (!CheckRef(pgno, context))
        return;
    PageRef ref;
    if (ReadRaw(pgno, ref) != SQLITE_OK)
        return;
    MemPage mp;
    if (DecodePage(m_bo, ref.Data(), mp) != SQLITE_OK || depth >= kMaxDepth) {
        Add("On tree page " + std::to_string(pgno) + ": initPage() returns error code 11");
        return;
    }
    if (depth > 0 && mp.nCell == 0)
        Add("On tree page " + std::to_string(pgno) + ": page has no cells");
    std::vector<uint8_t> prev;
    bool hasPrev = lower != nullptr;
    if (lower)
        prev = *lower;
    std::vector<uint8_t> key;
    for (int i = 0; i < mp.nCell; i++) {
        const uint8_t* cell = ref.Data() + mp.cell[i];
        std::string ctx = CellContext(pgno, i);
        bool haveKey = ReadKey(cell, key);
        CheckOverflow(cell, ctx);
        CheckTree(m_bo.Get32(cell), ctx, hasPrev ? &prev : nullptr, depth + 1);
        if (!haveKey)
            continue;
        if (hasPrev && CompareKeys(key, prev) <= 0)
            Add(ctx + "Key is out of order");
        prev = key;
        hasPrev = true;
    }
    CheckTree(mp.right, CellContext(pgno, mp.nCell), hasPrev ? &prev : nullptr, depth + 1);
    CheckSpace(pgno, ref.Data(), mp);
}

void BtreeChecker::CheckSpace(Pgno pgno, const uint8_t* data, const MemPage& mp) {
    uint8_t used[kPageSize];
    std::memset(used, 0, sizeof used);
    std::memset(used, 1, 8);
    int multiple = -1;
    auto mark = [&](uint32_t from, uint32_t size) {
        for (uint32_t i = from; i < from + size && i < uint32_t(kPageSize); i++) {
            if (used[i] && multiple < 0)
                multiple = int(i);
            used[i] = 1;
        }
    };
    for (int i = 0; i < mp.nCell; i++)
        mark(mp.cell[i], CellSizeAt(m_bo, data, mp.cell[i]));
    for (uint32_t b = m_bo.Get16(data + 6); b != 0; b = m_bo.Get16(data + b + 2))
        mark(b, m_bo.Get16(data + b));
    if (multiple >= 0)
        Add("Multiple uses for byte " + std::to_string(multiple) + " of page " +
            std::to_string(pgno));
    for (int i = 0; i < kPageSize; i++) {
        if (!used[i]) {
            Add("Unused space at byte " + std::to_string(i) + " of page " + std::to_string(pgno));
            break;
        }
    }
}

} // namespace sqlite2
