// Page allocation: the free list is a chain of trunk pages on page 1 (head at 52, total count at
// 56), each listing up to 254 leaf pages; the file grows only when the list is empty.
#include "sqlite2/BtreeImpl.h"

#include "sqlite2/sqlite.h"

#include <cstring>

namespace sqlite2 {

int BtreeImpl::AllocatePage(PageRef& out) {
    if (!CanWrite())
        return SQLITE_READONLY;
    uint8_t* p1 = m_page1.Data();
    Pgno nPage = m_pager->PageCount();
    Pgno head = m_bo.Get32(p1 + kOffFreeHead);
    uint32_t count = m_bo.Get32(p1 + kOffFreeCount);
    int rc;
    if (head == 0 || count == 0) {
        if (nPage >= kMaxPgno)
            return SQLITE_FULL;
        rc = m_pager->Get(nPage + 1, out, true);
        if (rc == SQLITE_OK)
            rc = out.MakeWritable();
        if (rc != SQLITE_OK)
            return rc;
        out.Hdr()->extraValid = false;
        return SQLITE_OK;
    }
    if (head < 2 || head > nPage)
        return SQLITE_CORRUPT;
    PageRef trunk;
    rc = m_pager->Get(head, trunk);
    if (rc != SQLITE_OK)
        return rc;
    uint8_t* t = trunk.Data();
    uint32_t n = m_bo.Get32(t + 4);
    if (n > uint32_t(kMaxFreeLeaves))
        return SQLITE_CORRUPT;
    rc = m_page1.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    if (n == 0) {
        // The trunk itself is taken; its next trunk becomes the head.
        Pgno next = m_bo.Get32(t);
        if (next > nPage)
            return SQLITE_CORRUPT;
        rc = trunk.MakeWritable();
        if (rc != SQLITE_OK)
            return rc;
        m_bo.Put32(p1 + kOffFreeHead, next);
        m_bo.Put32(p1 + kOffFreeCount, count - 1);
        std::memset(t, 0, kPageSize);
        trunk.Hdr()->extraValid = false;
        out = std::move(trunk);
        return SQLITE_OK;
    }
    Pgno leaf = m_bo.Get32(t + 8);
    if (leaf < 2 || leaf > nPage || leaf == head)
        return SQLITE_CORRUPT;
    rc = trunk.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    m_bo.Put32(t + 8, m_bo.Get32(t + 8 + 4 * (n - 1)));
    m_bo.Put32(t + 4, n - 1);
    trunk.Hdr()->extraValid = false;
    m_bo.Put32(p1 + kOffFreeCount, count - 1);
    bool oldFree = m_freedInTrans.find(leaf) == m_freedInTrans.end();
    if (oldFree)
        m_pager->DontJournal(leaf);
    rc = m_pager->Get(leaf, out, oldFree);
    if (rc == SQLITE_OK)
        rc = out.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    out.Hdr()->extraValid = false;
    return SQLITE_OK;
}

int BtreeImpl::FreePage(Pgno pgno) {
    if (!CanWrite())
        return SQLITE_READONLY;
    Pgno nPage = m_pager->PageCount();
    if (pgno < 2 || pgno > nPage)
        return SQLITE_CORRUPT;
    uint8_t* p1 = m_page1.Data();
    Pgno head = m_bo.Get32(p1 + kOffFreeHead);
    uint32_t count = m_bo.Get32(p1 + kOffFreeCount);
    int rc = m_page1.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    m_freedInTrans.insert(pgno);
    if (head != 0 && head != pgno) {
        if (head > nPage)
            return SQLITE_CORRUPT;
        PageRef trunk;
        rc = m_pager->Get(head, trunk);
        if (rc != SQLITE_OK)
            return rc;
        uint8_t* t = trunk.Data();
        uint32_t n = m_bo.Get32(t + 4);
        if (n > uint32_t(kMaxFreeLeaves))
            return SQLITE_CORRUPT;
        if (n < uint32_t(kMaxFreeLeaves)) {
            rc = trunk.MakeWritable();
            if (rc != SQLITE_OK)
                return rc;
            m_bo.Put32(t + 8 + 4 * n, pgno);
            m_bo.Put32(t + 4, n + 1);
            trunk.Hdr()->extraValid = false;
            m_bo.Put32(p1 + kOffFreeCount, count + 1);
            return SQLITE_OK;
        }
    }
    PageRef page;
    rc = m_pager->Get(pgno, page);
    if (rc == SQLITE_OK)
        rc = page.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    std::memset(page.Data(), 0, kPageSize);
    m_bo.Put32(page.Data(), head == pgno ? 0 : head);
    page.Hdr()->extraValid = false;
    m_bo.Put32(p1 + kOffFreeHead, pgno);
    m_bo.Put32(p1 + kOffFreeCount, count + 1);
    return SQLITE_OK;
}

} // namespace sqlite2
