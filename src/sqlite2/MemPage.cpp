#include "sqlite2/MemPage.h"

#include "sqlite2/sqlite.h"

#include <cassert>
#include <cstring>

namespace sqlite2 {

void CellList::Insert(size_t at, const uint8_t* cell, uint16_t size) {
    uint32_t off = uint32_t(m_bytes.size());
    m_bytes.insert(m_bytes.end(), cell, cell + size);
    m_items.insert(m_items.begin() + long(at), std::make_pair(off, size));
    m_total += size;
}

void CellList::Erase(size_t at) {
    m_total -= m_items[at].second;
    m_items.erase(m_items.begin() + long(at));
}

void CellList::Clear() {
    m_bytes.clear();
    m_items.clear();
    m_total = 0;
    right = 0;
}

int DecodePage(const ByteOrder& bo, const uint8_t* data, MemPage& mp) {
    mp.right = bo.Get32(data);
    uint32_t off = bo.Get16(data + 4);
    uint32_t freeOff = bo.Get16(data + 6);
    mp.nCell = 0;
    mp.nFree = 0;
    mp.cleanFree = true;
    if (off == 0 && freeOff == 0) {
        // An all-zero header reads as an empty page (nothing can be placed in it in place).
        mp.cleanFree = false;
        return SQLITE_OK;
    }
    uint32_t cellBytes = 0;
    while (off != 0) {
        if (mp.nCell >= kMaxCellsPerPage || off % 4 != 0 || off < 8 || off > kPageSize - 16)
            return SQLITE_CORRUPT;
        CellInfo ci = ParseCell(bo, data + off);
        if (off + ci.size > uint32_t(kPageSize))
            return SQLITE_CORRUPT;
        mp.cell[mp.nCell++] = uint16_t(off);
        cellBytes += ci.size;
        off = ci.next;
    }
    uint32_t freeBytes = 0;
    uint32_t prev = 0;
    uint32_t prevEnd = 8;
    while (freeOff != 0) {
        if (freeOff < 8 || freeOff > kPageSize - 4 || freeOff <= prev)
            return SQLITE_CORRUPT;
        uint32_t size = bo.Get16(data + freeOff);
        if (freeOff % 4 != 0 || size % 4 != 0 || size < 4 || freeOff + size > uint32_t(kPageSize) ||
            freeOff < prevEnd)
            mp.cleanFree = false;
        freeBytes += size;
        prev = freeOff;
        prevEnd = freeOff + size;
        freeOff = bo.Get16(data + freeOff + 2);
    }
    if (cellBytes > uint32_t(kPageUsable) || freeBytes != kPageUsable - cellBytes)
        return SQLITE_CORRUPT;
    mp.nFree = uint16_t(freeBytes);
    return SQLITE_OK;
}

namespace {

// Offset of the 16-bit link that points at cell idx (the page header's first-cell field for 0).
uint32_t LinkToCell(const MemPage& mp, int idx) {
    return idx == 0 ? 4 : mp.cell[idx - 1] + 6;
}

void Rebuild(const ByteOrder& bo, PgHdr* pg, const CellList& cells) {
    WritePage(bo, pg, cells);
}

void CollectWith(const ByteOrder& bo, PgHdr* pg, int insertAt, const uint8_t* cell, uint32_t size,
                 int dropAt, CellList& out) {
    MemPage& mp = ViewOf(pg);
    out.Clear();
    out.right = mp.right;
    for (int i = 0; i <= mp.nCell; i++) {
        if (i == insertAt)
            out.Append(cell, uint16_t(size));
        if (i < mp.nCell && i != dropAt) {
            const uint8_t* c = pg->data + mp.cell[i];
            out.Append(c, uint16_t(ParseCell(bo, c).size));
        }
    }
}

void FreeSpace(const ByteOrder& bo, uint8_t* d, uint32_t off, uint32_t size) {
    uint32_t prevLink = 6;
    uint32_t prevOff = 0;
    uint32_t cur = bo.Get16(d + 6);
    while (cur != 0 && cur < off) {
        prevOff = cur;
        prevLink = cur + 2;
        cur = bo.Get16(d + cur + 2);
    }
    uint32_t nextAfter = cur;
    if (cur != 0 && off + size == cur) {
        size += bo.Get16(d + cur);
        nextAfter = bo.Get16(d + cur + 2);
    }
    if (prevOff != 0 && prevOff + bo.Get16(d + prevOff) == off) {
        bo.Put16(d + prevOff, bo.Get16(d + prevOff) + size);
        bo.Put16(d + prevOff + 2, nextAfter);
    } else {
        bo.Put16(d + off, size);
        bo.Put16(d + off + 2, nextAfter);
        bo.Put16(d + prevLink, off);
    }
}

} // namespace

bool InsertCellInPlace(const ByteOrder& bo, PgHdr* pg, int idx, const uint8_t* cell,
                       uint32_t size) {
    MemPage& mp = ViewOf(pg);
    if (mp.nCell >= kMaxCellsPerPage)
        return false;
    uint32_t used = kPageUsable - mp.nFree;
    if (mp.nCell == 0 && !mp.cleanFree)
        used = 0;
    if (used + size > uint32_t(kPageUsable))
        return false;
    uint8_t* d = pg->data;
    uint32_t at = 0;
    if (mp.cleanFree) {
        uint32_t link = 6;
        for (uint32_t b = bo.Get16(d + 6); b != 0; b = bo.Get16(d + b + 2)) {
            uint32_t bsize = bo.Get16(d + b);
            if (bsize == size) {
                bo.Put16(d + link, bo.Get16(d + b + 2));
                at = b;
                break;
            }
            if (bsize >= size + 4) {
                bo.Put16(d + b, bsize - size);
                at = b + bsize - size;
                break;
            }
            link = b + 2;
        }
    }
    if (at == 0) {
        CellList all;
        CollectWith(bo, pg, idx, cell, size, -1, all);
        Rebuild(bo, pg, all);
        return true;
    }
    std::memcpy(d + at, cell, size);
    bo.Put16(d + at + 6, idx < mp.nCell ? mp.cell[idx] : 0);
    bo.Put16(d + LinkToCell(mp, idx), at);
    std::memmove(mp.cell + idx + 1, mp.cell + idx, sizeof(uint16_t) * size_t(mp.nCell - idx));
    mp.cell[idx] = uint16_t(at);
    mp.nCell++;
    mp.nFree = uint16_t(mp.nFree - size);
    return true;
}

void DropCell(const ByteOrder& bo, PgHdr* pg, int idx) {
    MemPage& mp = ViewOf(pg);
    uint8_t* d = pg->data;
    uint32_t off = mp.cell[idx];
    uint32_t size = CellSizeAt(bo, d, uint16_t(off));
    if (!mp.cleanFree) {
        CellList rest;
        CollectWith(bo, pg, -1, nullptr, 0, idx, rest);
        Rebuild(bo, pg, rest);
        return;
    }
    bo.Put16(d + LinkToCell(mp, idx), idx + 1 < mp.nCell ? mp.cell[idx + 1] : 0);
    FreeSpace(bo, d, off, size);
    std::memmove(mp.cell + idx, mp.cell + idx + 1, sizeof(uint16_t) * size_t(mp.nCell - idx - 1));
    mp.nCell--;
    mp.nFree = uint16_t(mp.nFree + size);
}

void SetChild(const ByteOrder& bo, PgHdr* pg, int i, uint32_t child) {
    MemPage& mp = ViewOf(pg);
    if (i < mp.nCell) {
        bo.Put32(pg->data + mp.cell[i], child);
    } else {
        bo.Put32(pg->data, child);
        mp.right = child;
    }
}

void WritePage(const ByteOrder& bo, PgHdr* pg, const CellList& cells) {
    assert(cells.TotalBytes() <= uint32_t(kPageUsable));
    uint8_t tmp[kPageSize];
    std::memset(tmp, 0, sizeof tmp);
    MemPage& mp = ViewOf(pg);
    size_t n = cells.Count();
    bo.Put32(tmp, cells.right);
    bo.Put16(tmp + 4, n ? 8 : 0);
    uint32_t pos = 8;
    for (size_t i = 0; i < n; i++) {
        uint16_t sz = cells.Size(i);
        std::memcpy(tmp + pos, cells.Cell(i), sz);
        bo.Put16(tmp + pos + 6, i + 1 < n ? pos + sz : 0);
        mp.cell[i] = uint16_t(pos);
        pos += sz;
    }
    if (pos < uint32_t(kPageSize)) {
        bo.Put16(tmp + 6, pos);
        bo.Put16(tmp + pos, kPageSize - pos);
        bo.Put16(tmp + pos + 2, 0);
    }
    std::memcpy(pg->data, tmp, kPageSize);
    mp.nCell = uint8_t(n);
    mp.nFree = uint16_t(kPageSize - pos);
    mp.cleanFree = true;
    mp.right = cells.right;
    pg->extraValid = true;
}

void WriteEmptyPage(const ByteOrder& bo, PgHdr* pg) {
    CellList none;
    WritePage(bo, pg, none);
}

void ReadCells(const ByteOrder& bo, PgHdr* pg, CellList& out) {
    CollectWith(bo, pg, -1, nullptr, 0, -1, out);
}

} // namespace sqlite2
