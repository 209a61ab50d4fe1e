#include "sqlite2/BtCursorImpl.h"

#include "sqlite2/sqlite.h"

#include <algorithm>
#include <cstring>

namespace sqlite2 {

BtCursorImpl::BtCursorImpl(BtreeImpl* bt, Pgno root, bool writable)
    : m_bt(bt), m_root(root), m_writable(writable) {
    m_bt->AddCursor(this);
}

BtCursorImpl::~BtCursorImpl() {
    ReleasePath();
    if (m_bt)
        m_bt->RemoveCursor(this);
}

void BtCursorImpl::Detach() {
    ReleasePath();
    m_bt = nullptr;
    m_state = State::kInvalid;
}

void BtCursorImpl::ReleasePath() {
    for (int i = 0; i < m_depth; i++)
        m_refs[i].Release();
    m_depth = 0;
}

const uint8_t* BtCursorImpl::CurrentCell() const {
    const PageRef& ref = m_refs[m_depth - 1];
    return ref.Data() + ViewOf(ref.Hdr()).cell[m_idx[m_depth - 1]];
}

void BtCursorImpl::StartScan(int direction) {
    if (m_scanDir != direction) {
        m_scanDir = direction;
        std::fill(m_entered.begin(), m_entered.end(), 0);
    }
}

void BtCursorImpl::SavePosition() {
    m_scanDir = 0;
    if (m_state == State::kValid) {
        if (CellKey(CurrentCell(), m_savedKey) == SQLITE_OK) {
            m_state = State::kSaved;
            m_deleted = false;
            m_skip = 0;
        } else {
            m_state = State::kInvalid;
        }
    }
    ReleasePath();
}

int BtCursorImpl::Restore() {
    if (m_state != State::kSaved)
        return SQLITE_OK;
    int res = 0;
    int rc = Seek(m_savedKey.data(), uint32_t(m_savedKey.size()), res);
    if (rc != SQLITE_OK) {
        m_state = State::kInvalid;
        return rc;
    }
    m_skip = m_state == State::kValid ? res : 0;
    return SQLITE_OK;
}

int BtCursorImpl::CellKey(const uint8_t* cell, std::vector<uint8_t>& out) {
    CellInfo ci = ParseCell(m_bt->Order(), cell);
    out.resize(ci.nKey);
    if (ci.nKey <= ci.nLocal) {
        std::memcpy(out.data(), cell + kCellHeaderSize, ci.nKey);
        return SQLITE_OK;
    }
    return m_bt->ReadPayload(cell, 0, ci.nKey, out.data());
}

int BtCursorImpl::CompareCell(const uint8_t* cell, const uint8_t* key, uint32_t nKey,
                              uint32_t nIgnore, int& cmp) {
    CellInfo ci = ParseCell(m_bt->Order(), cell);
    uint32_t mine = ci.nKey > nIgnore ? ci.nKey - nIgnore : 0;
    const uint8_t* bytes = cell + kCellHeaderSize;
    std::vector<uint8_t> full;
    if (mine > ci.nLocal) {
        int rc = CellKey(cell, full);
        if (rc != SQLITE_OK)
            return rc;
        bytes = full.data();
    }
    uint32_t n = std::min(mine, nKey);
    int c = n ? std::memcmp(bytes, key, n) : 0;
    if (c == 0)
        c = mine < nKey ? -1 : (mine > nKey ? 1 : 0);
    cmp = c;
    return SQLITE_OK;
}

int BtCursorImpl::MoveToRoot() {
    ReleasePath();
    m_scanDir = 0;
    m_skip = 0;
    m_deleted = false;
    if (!m_bt)
        return SQLITE_MISUSE;
    if (m_bt->GetPager().PageCount() == 0) {
        // An empty file has no pages at all: every tree in it is empty.
        m_state = State::kInvalid;
        return m_bt->GetPager().Locked() ? SQLITE_OK : SQLITE_BUSY;
    }
    int rc = m_bt->LoadNode(m_root, m_refs[0]);
    if (rc != SQLITE_OK) {
        m_state = State::kInvalid;
        return rc;
    }
    m_depth = 1;
    m_idx[0] = 0;
    m_state = State::kValid;
    return SQLITE_OK;
}

int BtCursorImpl::PushChild(Pgno child) {
    if (m_depth >= kMaxDepth)
        return SQLITE_CORRUPT;
    for (int i = 0; i < m_depth; i++) {
        if (m_refs[i].Number() == child)
            return SQLITE_CORRUPT;
    }
    // Checked before the entered-page bitmap grows: a wild child number would size it by the
    // number, not by the file.
    if (child < 2 || child > m_bt->GetPager().PageCount())
        return SQLITE_CORRUPT;
    if (m_scanDir != 0) {
        size_t word = child / 64;
        if (word >= m_entered.size())
            m_entered.resize(word + 1, 0);
        uint64_t bit = uint64_t(1) << (child % 64);
        if (m_entered[word] & bit)
            return SQLITE_CORRUPT;
        m_entered[word] |= bit;
    }
    int rc = m_bt->LoadNode(child, m_refs[m_depth]);
    if (rc != SQLITE_OK)
        return rc;
    if (ViewOf(m_refs[m_depth].Hdr()).nCell == 0) {
        m_refs[m_depth].Release();
        return SQLITE_CORRUPT;
    }
    m_idx[m_depth] = 0;
    m_depth++;
    return SQLITE_OK;
}

int BtCursorImpl::MoveToLeftmost() {
    while (true) {
        int l = m_depth - 1;
        const MemPage& mp = View(l);
        Pgno child = ChildAt(m_bt->Order(), m_refs[l].Data(), mp, 0);
        m_idx[l] = 0;
        if (child == 0) {
            if (mp.nCell == 0)
                m_state = State::kInvalid;
            return SQLITE_OK;
        }
        int rc = PushChild(child);
        if (rc != SQLITE_OK)
            return rc;
    }
}

int BtCursorImpl::MoveToRightmost() {
    while (true) {
        int l = m_depth - 1;
        const MemPage& mp = View(l);
        if (mp.right != 0) {
            m_idx[l] = mp.nCell;
            int rc = PushChild(mp.right);
            if (rc != SQLITE_OK)
                return rc;
            continue;
        }
        if (mp.nCell == 0) {
            m_state = State::kInvalid;
            return SQLITE_OK;
        }
        m_idx[l] = mp.nCell - 1;
        return SQLITE_OK;
    }
}

int BtCursorImpl::Seek(const uint8_t* key, uint32_t nKey, int& res) {
    int rc = MoveToRoot();
    if (rc != SQLITE_OK || m_state != State::kValid) {
        res = -1;
        return rc;
    }
    while (true) {
        int l = m_depth - 1;
        const MemPage& mp = View(l);
        const uint8_t* d = m_refs[l].Data();
        int lo = 0, hi = int(mp.nCell) - 1;
        while (lo <= hi) {
            int mid = (lo + hi) / 2;
            int c = 0;
            rc = CompareCell(d + mp.cell[mid], key, nKey, 0, c);
            if (rc != SQLITE_OK)
                return rc;
            if (c == 0) {
                m_idx[l] = mid;
                res = 0;
                return SQLITE_OK;
            }
            if (c < 0)
                lo = mid + 1;
            else
                hi = mid - 1;
        }
        Pgno child = ChildAt(m_bt->Order(), d, mp, lo);
        if (child == 0) {
            if (mp.nCell == 0) {
                m_state = State::kInvalid;
                res = -1;
            } else if (lo < mp.nCell) {
                m_idx[l] = lo;
                res = 1;
            } else {
                m_idx[l] = mp.nCell - 1;
                res = -1;
            }
            return SQLITE_OK;
        }
        m_idx[l] = lo;
        rc = PushChild(child);
        if (rc != SQLITE_OK)
            return rc;
    }
}

Rc BtCursorImpl::Moveto(const void* key, int nKey, int& res) {
    res = -1;
    if (nKey < 0)
        return SQLITE_ERROR;
    int rc = Seek(static_cast<const uint8_t*>(key), uint32_t(nKey), res);
    if (rc != SQLITE_OK)
        m_state = State::kInvalid;
    return rc;
}

Rc BtCursorImpl::First(bool& empty) {
    empty = true;
    int rc = MoveToRoot();
    StartScan(1);
    if (rc == SQLITE_OK && m_state == State::kValid)
        rc = MoveToLeftmost();
    if (rc != SQLITE_OK)
        m_state = State::kInvalid;
    empty = m_state != State::kValid;
    return rc;
}

Rc BtCursorImpl::Last(bool& empty) {
    empty = true;
    int rc = MoveToRoot();
    StartScan(-1);
    if (rc == SQLITE_OK && m_state == State::kValid)
        rc = MoveToRightmost();
    if (rc != SQLITE_OK)
        m_state = State::kInvalid;
    empty = m_state != State::kValid;
    return rc;
}

Rc BtCursorImpl::Next(bool& done) {
    done = true;
    int rc = Restore();
    m_deleted = false;
    if (rc != SQLITE_OK)
        return rc;
    if (m_state != State::kValid)
        return SQLITE_OK;
    if (m_skip > 0) {
        m_skip = 0;
        done = false;
        return SQLITE_OK;
    }
    m_skip = 0;
    StartScan(1);
    int l = m_depth - 1;
    const MemPage& mp = View(l);
    Pgno child = ChildAt(m_bt->Order(), m_refs[l].Data(), mp, m_idx[l] + 1);
    if (child != 0) {
        m_idx[l]++;
        rc = PushChild(child);
        if (rc == SQLITE_OK)
            rc = MoveToLeftmost();
        if (rc != SQLITE_OK) {
            m_state = State::kInvalid;
            return rc;
        }
        done = m_state != State::kValid;
        return SQLITE_OK;
    }
    if (m_idx[l] + 1 < mp.nCell) {
        m_idx[l]++;
        done = false;
        return SQLITE_OK;
    }
    while (m_depth > 1) {
        m_refs[--m_depth].Release();
        l = m_depth - 1;
        if (m_idx[l] < View(l).nCell) {
            done = false;
            return SQLITE_OK;
        }
    }
    ReleasePath();
    m_state = State::kInvalid;
    return SQLITE_OK;
}

Rc BtCursorImpl::Prev(bool& done) {
    done = true;
    int rc = Restore();
    m_deleted = false;
    if (rc != SQLITE_OK)
        return rc;
    if (m_state != State::kValid)
        return SQLITE_OK;
    if (m_skip < 0) {
        m_skip = 0;
        done = false;
        return SQLITE_OK;
    }
    m_skip = 0;
    StartScan(-1);
    int l = m_depth - 1;
    const MemPage& mp = View(l);
    Pgno child = ChildAt(m_bt->Order(), m_refs[l].Data(), mp, m_idx[l]);
    if (child != 0) {
        rc = PushChild(child);
        if (rc == SQLITE_OK)
            rc = MoveToRightmost();
        if (rc != SQLITE_OK) {
            m_state = State::kInvalid;
            return rc;
        }
        done = m_state != State::kValid;
        return SQLITE_OK;
    }
    if (m_idx[l] > 0) {
        m_idx[l]--;
        done = false;
        return SQLITE_OK;
    }
    while (m_depth > 1) {
        m_refs[--m_depth].Release();
        l = m_depth - 1;
        if (m_idx[l] > 0) {
            m_idx[l]--;
            done = false;
            return SQLITE_OK;
        }
    }
    ReleasePath();
    m_state = State::kInvalid;
    return SQLITE_OK;
}

bool BtCursorImpl::Valid() const {
    if (m_deleted)
        return false;
    if (m_state == State::kSaved) {
        auto* self = const_cast<BtCursorImpl*>(this);
        if (self->Restore() != SQLITE_OK)
            return false;
    }
    return m_state == State::kValid;
}

Rc BtCursorImpl::KeySize(int& n) {
    n = 0;
    if (!Valid())
        return SQLITE_OK;
    n = int(ParseCell(m_bt->Order(), CurrentCell()).nKey);
    return SQLITE_OK;
}

Rc BtCursorImpl::DataSize(int& n) {
    n = 0;
    if (!Valid())
        return SQLITE_OK;
    n = int(ParseCell(m_bt->Order(), CurrentCell()).nData);
    return SQLITE_OK;
}

Rc BtCursorImpl::Key(int offset, int amt, void* buf) {
    if (offset < 0 || amt < 0)
        return SQLITE_ERROR;
    if (!Valid())
        return SQLITE_ERROR;
    const uint8_t* cell = CurrentCell();
    CellInfo ci = ParseCell(m_bt->Order(), cell);
    if (uint32_t(offset) > ci.nKey || uint32_t(amt) > ci.nKey - uint32_t(offset))
        return SQLITE_ERROR;
    return m_bt->ReadPayload(cell, uint32_t(offset), uint32_t(amt), static_cast<uint8_t*>(buf));
}

Rc BtCursorImpl::Data(int offset, int amt, void* buf) {
    if (offset < 0 || amt < 0)
        return SQLITE_ERROR;
    if (!Valid())
        return SQLITE_ERROR;
    const uint8_t* cell = CurrentCell();
    CellInfo ci = ParseCell(m_bt->Order(), cell);
    if (uint32_t(offset) > ci.nData || uint32_t(amt) > ci.nData - uint32_t(offset))
        return SQLITE_ERROR;
    return m_bt->ReadPayload(cell, ci.nKey + uint32_t(offset), uint32_t(amt),
                             static_cast<uint8_t*>(buf));
}

Rc BtCursorImpl::KeyCompare(const void* key, int nKey, int nIgnore, int& res) {
    res = 0;
    if (nKey < 0 || nIgnore < 0)
        return SQLITE_ERROR;
    if (!Valid())
        return SQLITE_ERROR;
    return CompareCell(CurrentCell(), static_cast<const uint8_t*>(key), uint32_t(nKey),
                       uint32_t(nIgnore), res);
}

} // namespace sqlite2
