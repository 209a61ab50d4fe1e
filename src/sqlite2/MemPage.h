#pragma once
// Decoded view of one B-tree page (cell offsets in key order, free space), kept in the page
// cache entry beside the page bytes, and the operations that keep bytes and view in step.

#include "sqlite2/PageFormat.h"
#include "sqlite2/Pager.h"

#include <utility>
#include <vector>

namespace sqlite2 {

struct MemPage {
    uint16_t cell[kMaxCellsPerPage];
    uint16_t nFree;
    uint8_t nCell;
    bool cleanFree; // free blocks are aligned and ordered, so space can be taken in place
    uint32_t right;
};
static_assert(sizeof(MemPage) <= kPageExtraSize, "MemPage must fit the cache entry");

// Cells of a page being rebuilt or redistributed; the bytes are copies, in the file's order.
class CellList {
public:
    size_t Count() const { return m_items.size(); }
    const uint8_t* Cell(size_t i) const { return m_bytes.data() + m_items[i].first; }
    uint8_t* CellMut(size_t i) { return m_bytes.data() + m_items[i].first; }
    uint16_t Size(size_t i) const { return m_items[i].second; }
    uint32_t TotalBytes() const { return m_total; }
    void Append(const uint8_t* cell, uint16_t size) { Insert(m_items.size(), cell, size); }
    void Insert(size_t at, const uint8_t* cell, uint16_t size);
    void Erase(size_t at);
    void Clear();

    uint32_t right = 0;

private:
    std::vector<uint8_t> m_bytes;
    std::vector<std::pair<uint32_t, uint16_t>> m_items;
    uint32_t m_total = 0;
};

// Checks the loading rules of a B-tree page and fills the view; SQLITE_CORRUPT when broken.
int DecodePage(const ByteOrder& bo, const uint8_t* data, MemPage& mp);

inline MemPage& ViewOf(PgHdr* pg) {
    return *reinterpret_cast<MemPage*>(pg->extra);
}

inline uint32_t ChildAt(const ByteOrder& bo, const uint8_t* data, const MemPage& mp, int i) {
    return i < mp.nCell ? bo.Get32(data + mp.cell[i]) : mp.right;
}
inline uint32_t CellSizeAt(const ByteOrder& bo, const uint8_t* data, uint16_t off) {
    return ParseCell(bo, data + off).size;
}

// The page must be writable. Returns false (page unchanged) when the cell does not fit.
bool InsertCellInPlace(const ByteOrder& bo, PgHdr* pg, int idx, const uint8_t* cell, uint32_t size);
void DropCell(const ByteOrder& bo, PgHdr* pg, int idx);
void SetChild(const ByteOrder& bo, PgHdr* pg, int i, uint32_t child);

// Rewrites the page from a cell list (cells packed from offset 8, one free block after them).
void WritePage(const ByteOrder& bo, PgHdr* pg, const CellList& cells);
void WriteEmptyPage(const ByteOrder& bo, PgHdr* pg);
void ReadCells(const ByteOrder& bo, PgHdr* pg, CellList& out);

} // namespace sqlite2
