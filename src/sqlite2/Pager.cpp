#include "sqlite2/Pager.h"

#include "sqlite2/sqlite.h"

#include <cstring>
#include <filesystem>

namespace sqlite2 {

PageRef& PageRef::operator=(PageRef&& o) noexcept {
    if (this != &o) {
        Release();
        m_pager = o.m_pager;
        m_pg = o.m_pg;
        o.m_pg = nullptr;
    }
    return *this;
}

void PageRef::Release() {
    if (m_pg) {
        PgHdr* pg = m_pg;
        m_pg = nullptr;
        m_pager->Unref(pg);
    }
}

int PageRef::MakeWritable() {
    return m_pager->MakeWritable(m_pg);
}

Pager::Pager(std::unique_ptr<OsFile> file, std::string path)
    : m_file(std::move(file)), m_path(std::move(path)), m_hash(256, nullptr) {
    m_journalPath = m_path + "-journal";
}

Pager::~Pager() {
    if (InTrans())
        Rollback();
    DiscardAll();
    for (PgHdr* pg : m_pool)
        delete pg;
}

int Pager::Open(const std::string& path, std::unique_ptr<Pager>& out) {
    std::error_code ec;
    std::string abs = std::filesystem::absolute(path, ec).string();
    if (ec)
        abs = path;
    std::unique_ptr<OsFile> file;
    int rc = OsFile::OpenDatabase(abs, file);
    if (rc != SQLITE_OK)
        return rc;
    out.reset(new Pager(std::move(file), abs));
    return SQLITE_OK;
}

Pgno Pager::PageCount() {
    if (Locked())
        return m_dbSize;
    int64_t size = 0;
    if (m_file->Size(size) != SQLITE_OK)
        return 0;
    int64_t pages = size / kPageSize;
    return pages > kMaxPgno ? kMaxPgno : Pgno(pages);
}

PgHdr* Pager::Lookup(Pgno pgno) const {
    for (PgHdr* p = m_hash[pgno & (m_hash.size() - 1)]; p; p = p->hashNext) {
        if (p->pgno == pgno)
            return p;
    }
    return nullptr;
}

void Pager::HashInsert(PgHdr* pg) {
    if (m_nPages + 1 > m_hash.size() * 2) {
        std::vector<PgHdr*> bigger(m_hash.size() * 4, nullptr);
        for (PgHdr* head : m_hash) {
            while (head) {
                PgHdr* next = head->hashNext;
                PgHdr*& slot = bigger[head->pgno & (bigger.size() - 1)];
                head->hashNext = slot;
                slot = head;
                head = next;
            }
        }
        m_hash.swap(bigger);
    }
    PgHdr*& slot = m_hash[pg->pgno & (m_hash.size() - 1)];
    pg->hashNext = slot;
    slot = pg;
    m_nPages++;
}

void Pager::HashRemove(PgHdr* pg) {
    PgHdr** pp = &m_hash[pg->pgno & (m_hash.size() - 1)];
    while (*pp && *pp != pg)
        pp = &(*pp)->hashNext;
    if (*pp) {
        *pp = pg->hashNext;
        m_nPages--;
    }
    pg->hashNext = nullptr;
}

void Pager::LruPush(PgHdr* pg) {
    if (pg->inLru)
        return;
    pg->inLru = true;
    pg->lruNext = nullptr;
    pg->lruPrev = m_lruTail;
    if (m_lruTail)
        m_lruTail->lruNext = pg;
    else
        m_lruHead = pg;
    m_lruTail = pg;
}

void Pager::LruRemove(PgHdr* pg) {
    if (!pg->inLru)
        return;
    pg->inLru = false;
    if (pg->lruPrev)
        pg->lruPrev->lruNext = pg->lruNext;
    else
        m_lruHead = pg->lruNext;
    if (pg->lruNext)
        pg->lruNext->lruPrev = pg->lruPrev;
    else
        m_lruTail = pg->lruPrev;
    pg->lruPrev = pg->lruNext = nullptr;
}

void Pager::MarkClean(PgHdr* pg) {
    pg->dirty = false;
    if (pg->nRef == 0)
        LruPush(pg);
}

void Pager::Discard(PgHdr* pg) {
    LruRemove(pg);
    HashRemove(pg);
    if (m_pool.size() < 64)
        m_pool.push_back(pg);
    else
        delete pg;
}

void Pager::DiscardAll() {
    for (PgHdr*& head : m_hash) {
        while (head) {
            PgHdr* next = head->hashNext;
            head->hashNext = nullptr;
            head->lruPrev = head->lruNext = nullptr;
            head->inLru = false;
            if (m_pool.size() < 64)
                m_pool.push_back(head);
            else
                delete head;
            head = next;
        }
    }
    m_nPages = 0;
    m_lruHead = m_lruTail = nullptr;
    if (m_hash.size() > 1024)
        m_hash.assign(256, nullptr); // later statements touch few pages: keep the walk short
}

int Pager::NewHeader(PgHdr*& out) {
    if (m_nPages >= size_t(m_cacheSize)) {
        if (!m_lruHead && InTrans() && !m_dirty.empty()) {
            int rc = Spill();
            if (rc != SQLITE_OK)
                return rc;
        }
        if (PgHdr* victim = m_lruHead) {
            LruRemove(victim);
            HashRemove(victim);
            out = victim;
            return SQLITE_OK;
        }
    }
    if (!m_pool.empty()) {
        out = m_pool.back();
        m_pool.pop_back();
    } else {
        out = new PgHdr;
    }
    return SQLITE_OK;
}

int Pager::Get(Pgno pgno, PageRef& out, bool noContent) {
    out.Release();
    if (pgno == 0 || pgno > kMaxPgno)
        return SQLITE_CORRUPT;
    if (!Locked()) {
        int rc = AcquireShared();
        if (rc != SQLITE_OK)
            return rc;
    }
    PgHdr* pg = Lookup(pgno);
    if (pg) {
        LruRemove(pg);
        pg->nRef++;
        m_nRef++;
        out = PageRef(this, pg);
        return SQLITE_OK;
    }
    int rc = NewHeader(pg);
    if (rc != SQLITE_OK) {
        if (m_nRef == 0 && !InTrans())
            ReleaseLock();
        return rc;
    }
    pg->pgno = pgno;
    pg->nRef = 0;
    pg->dirty = false;
    pg->inLru = false;
    pg->extraValid = false;
    pg->ckptGen = 0;
    pg->hashNext = pg->lruPrev = pg->lruNext = nullptr;
    // The old bytes are needed when the journal or the checkpoint will take a copy of them.
    bool needOld =
        InTrans() &&
        ((pgno <= m_origSize && !IsJournaled(pgno)) ||
         (m_ckptActive && pgno <= m_ckptSize && m_ckptPages.find(pgno) == m_ckptPages.end()));
    if (pgno > m_dbSize || (noContent && !needOld)) {
        std::memset(pg->data, 0, kPageSize);
    } else {
        rc = m_file->Read(int64_t(pgno - 1) * kPageSize, pg->data, kPageSize);
        if (rc != SQLITE_OK) {
            m_pool.push_back(pg);
            if (m_nRef == 0 && !InTrans())
                ReleaseLock();
            return rc;
        }
    }
    HashInsert(pg);
    pg->nRef = 1;
    m_nRef++;
    out = PageRef(this, pg);
    return SQLITE_OK;
}

void Pager::Unref(PgHdr* pg) {
    pg->nRef--;
    m_nRef--;
    if (pg->nRef == 0 && !pg->dirty)
        LruPush(pg);
    if (m_nRef == 0 && !InTrans())
        ReleaseLock();
}

int Pager::AcquireShared() {
    int rc = m_file->ReadLock();
    if (rc != SQLITE_OK)
        return SQLITE_BUSY;
    if (OsFile::Exists(m_journalPath)) {
        // A journal with nobody holding the write lock is hot: its writer died.
        if (m_file->WriteLock() != SQLITE_OK) {
            m_file->Unlock();
            return SQLITE_BUSY;
        }
        rc = PlaybackJournal(*m_file, m_journalPath, m_sync);
        if (rc == SQLITE_OK || rc == SQLITE_CORRUPT) {
            if (OsFile::Delete(m_journalPath) != SQLITE_OK && rc == SQLITE_OK)
                rc = SQLITE_IOERR;
        }
        if (rc != SQLITE_OK) {
            m_file->Unlock();
            return rc;
        }
        if (m_file->Downgrade() != SQLITE_OK)
            return SQLITE_BUSY;
    }
    int64_t size = 0;
    rc = m_file->Size(size);
    if (rc != SQLITE_OK) {
        m_file->Unlock();
        return rc;
    }
    int64_t pages = size / kPageSize;
    m_dbSize = pages > kMaxPgno ? kMaxPgno : Pgno(pages);
    return SQLITE_OK;
}

void Pager::ReleaseLock() {
    m_file->Unlock();
    DiscardAll();
}

} // namespace sqlite2
