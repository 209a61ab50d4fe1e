// Cell payloads: the first 236 bytes live in the cell, the rest in a chain of overflow pages
// (u32 next link, then 1020 payload bytes each).
#include "sqlite2/BtreeImpl.h"

#include "sqlite2/sqlite.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace sqlite2 {

namespace {

// Copies payload bytes [off, off+n) of the concatenation key+data.
void CopyPayload(const uint8_t* key, uint32_t nKey, const uint8_t* data, uint32_t off, uint32_t n,
                 uint8_t* dst) {
    if (off < nKey) {
        uint32_t k = std::min(n, nKey - off);
        std::memcpy(dst, key + off, k);
        dst += k;
        n -= k;
        off = nKey;
    }
    if (n)
        std::memcpy(dst, data + (off - nKey), n);
}

} // namespace

int BtreeImpl::BuildCell(const void* key, uint32_t nKey, const void* data, uint32_t nData,
                         uint8_t* cell, uint32_t& size) {
    auto* k = static_cast<const uint8_t*>(key);
    auto* d = static_cast<const uint8_t*>(data);
    uint32_t payload = nKey + nData;
    size = CellSizeFor(payload);
    std::memset(cell, 0, size);
    m_bo.Put16(cell + 4, nKey & 0xffff);
    cell[8] = uint8_t(nKey >> 16);
    cell[9] = uint8_t(nData >> 16);
    m_bo.Put16(cell + 10, nData & 0xffff);
    uint32_t local = std::min(payload, uint32_t(kMaxLocal));
    CopyPayload(k, nKey, d, 0, local, cell + kCellHeaderSize);
    if (payload <= uint32_t(kMaxLocal))
        return SQLITE_OK;
    uint32_t off = local;
    uint8_t* link = cell + kCellHeaderSize + kMaxLocal;
    PageRef prev;
    while (off < payload) {
        PageRef page;
        int rc = AllocatePage(page);
        if (rc != SQLITE_OK)
            return rc;
        m_bo.Put32(link, page.Number());
        uint32_t n = std::min(payload - off, uint32_t(kOverflowUsable));
        uint8_t* pd = page.Data();
        m_bo.Put32(pd, 0);
        CopyPayload(k, nKey, d, off, n, pd + 4);
        off += n;
        link = pd;
        prev = std::move(page);
    }
    return SQLITE_OK;
}

int BtreeImpl::FreeOverflow(const uint8_t* cell) {
    CellInfo ci = ParseCell(m_bo, cell);
    if (!ci.HasOverflow())
        return SQLITE_OK;
    uint32_t pages = OverflowPages(ci.Payload());
    Pgno p = CellOverflow(m_bo, cell);
    Pgno nPage = m_pager->PageCount();
    std::unordered_set<Pgno> seen;
    for (uint32_t i = 0; i < pages; i++) {
        if (p < 2 || p > nPage || (pages > 1 && !seen.insert(p).second))
            return SQLITE_CORRUPT;
        PageRef ref;
        int rc = m_pager->Get(p, ref);
        if (rc != SQLITE_OK)
            return rc;
        Pgno next = m_bo.Get32(ref.Data());
        ref.Release();
        rc = FreePage(p);
        if (rc != SQLITE_OK)
            return rc;
        p = next;
    }
    return SQLITE_OK;
}

int BtreeImpl::ReadPayload(const uint8_t* cell, uint32_t offset, uint32_t amt, uint8_t* buf) {
    CellInfo ci = ParseCell(m_bo, cell);
    uint32_t payload = ci.Payload();
    if (offset > payload || amt > payload - offset)
        return SQLITE_ERROR;
    if (offset < ci.nLocal) {
        uint32_t n = std::min(amt, ci.nLocal - offset);
        std::memcpy(buf, cell + kCellHeaderSize + offset, n);
        buf += n;
        amt -= n;
        offset += n;
    }
    if (amt == 0)
        return SQLITE_OK;
    uint32_t pages = OverflowPages(payload);
    Pgno p = CellOverflow(m_bo, cell);
    Pgno nPage = m_pager->PageCount();
    uint32_t pos = kMaxLocal; // payload offset of the current overflow page's first byte
    for (uint32_t i = 0; i < pages && amt > 0; i++) {
        if (p < 2 || p > nPage)
            return SQLITE_CORRUPT;
        PageRef ref;
        int rc = m_pager->Get(p, ref);
        if (rc != SQLITE_OK)
            return rc;
        const uint8_t* pd = ref.Data();
        uint32_t end = pos + kOverflowUsable;
        if (offset < end) {
            uint32_t n = std::min(amt, end - offset);
            std::memcpy(buf, pd + 4 + (offset - pos), n);
            buf += n;
            amt -= n;
            offset += n;
        }
        pos = end;
        p = m_bo.Get32(pd);
    }
    return amt == 0 ? SQLITE_OK : SQLITE_CORRUPT;
}

} // namespace sqlite2
