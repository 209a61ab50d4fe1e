#include "sqlite2/Pager.h"

#include "sqlite2/sqlite.h"

#include <algorithm>
#include <cstring>

namespace sqlite2 {

bool Pager::IsJournaled(Pgno pgno) const {
    size_t word = (pgno - 1) / 64;
    return word < m_journaled.size() && (m_journaled[word] >> ((pgno - 1) % 64) & 1);
}

void Pager::SetJournaled(Pgno pgno) {
    size_t word = (pgno - 1) / 64;
    if (word >= m_journaled.size())
        m_journaled.resize(std::max<size_t>(word + 1, (m_origSize + 63) / 64), 0);
    m_journaled[word] |= uint64_t(1) << ((pgno - 1) % 64);
}

void Pager::DontJournal(Pgno pgno) {
    if (InTrans() && pgno <= m_origSize && !IsJournaled(pgno))
        SetJournaled(pgno);
}

int Pager::MakeWritable(PgHdr* pg) {
    if (ReadOnly())
        return SQLITE_READONLY;
    if (!InTrans())
        return SQLITE_ERROR;
    if (m_ckptActive && pg->ckptGen != m_ckptGen) {
        if (pg->pgno <= m_ckptSize && m_ckptPages.find(pg->pgno) == m_ckptPages.end()) {
            std::unique_ptr<uint8_t[]> copy(new uint8_t[kPageSize]);
            std::memcpy(copy.get(), pg->data, kPageSize);
            m_ckptPages.emplace(pg->pgno, std::move(copy));
        }
        pg->ckptGen = m_ckptGen;
    }
    if (pg->pgno <= m_origSize && !IsJournaled(pg->pgno)) {
        int rc = m_journal->Append(pg->pgno, pg->data);
        if (rc != SQLITE_OK)
            return rc;
        SetJournaled(pg->pgno);
    }
    if (!pg->dirty) {
        pg->dirty = true;
        LruRemove(pg);
        m_dirty.push_back(pg);
    }
    if (pg->pgno > m_dbSize)
        m_dbSize = pg->pgno;
    return SQLITE_OK;
}

int Pager::Begin() {
    if (InTrans())
        return SQLITE_OK;
    if (ReadOnly())
        return SQLITE_READONLY;
    if (!Locked()) {
        int rc = AcquireShared();
        if (rc != SQLITE_OK)
            return rc;
    }
    if (m_file->WriteLock() != SQLITE_OK) {
        if (m_nRef == 0)
            ReleaseLock();
        return SQLITE_BUSY;
    }
    m_origSize = m_dbSize;
    int rc = JournalWriter::Create(m_journalPath, m_origSize, m_sync, m_journal);
    if (rc != SQLITE_OK) {
        m_journal.reset();
        AfterTransLock();
        return SQLITE_CANTOPEN;
    }
    m_journaled.clear();
    m_dirty.clear();
    m_spilled = false;
    return SQLITE_OK;
}

int Pager::WriteDirty() {
    // m_dirty is sorted: runs of consecutive pages go out in one system call.
    std::vector<const uint8_t*> run;
    Pgno runStart = 0;
    auto flush = [&]() {
        int rc = run.empty() ? SQLITE_OK
                             : m_file->WritePages(int64_t(runStart - 1) * kPageSize, run.data(),
                                                  int(run.size()), kPageSize);
        run.clear();
        return rc;
    };
    for (PgHdr* pg : m_dirty) {
        if (pg->pgno > m_dbSize)
            continue;
        if (!run.empty() && pg->pgno != runStart + run.size()) {
            int rc = flush();
            if (rc != SQLITE_OK)
                return rc;
        }
        if (run.empty())
            runStart = pg->pgno;
        run.push_back(pg->data);
    }
    return flush();
}

int Pager::Spill() {
    int rc = m_journal->Sync();
    if (rc != SQLITE_OK)
        return rc;
    m_spilled = true;
    std::sort(m_dirty.begin(), m_dirty.end(),
              [](const PgHdr* a, const PgHdr* b) { return a->pgno < b->pgno; });
    // A referenced page may still be changed by its holder without asking again: it is written
    // now but stays dirty, so the commit writes its final content.
    rc = WriteDirty();
    if (rc != SQLITE_OK)
        return rc;
    std::vector<PgHdr*> stillHeld;
    for (PgHdr* pg : m_dirty) {
        if (pg->nRef > 0)
            stillHeld.push_back(pg);
        else
            MarkClean(pg);
    }
    m_dirty.swap(stillHeld);
    return SQLITE_OK;
}

void Pager::EndTrans() {
    m_journal.reset();
    m_journaled.clear();
    for (PgHdr* pg : m_dirty)
        MarkClean(pg);
    m_dirty.clear();
    m_spilled = false;
    m_ckptActive = false;
    m_ckptPages.clear();
}

void Pager::AfterTransLock() {
    if (m_nRef > 0)
        m_file->Downgrade();
    else
        ReleaseLock();
}

int Pager::Commit() {
    if (!InTrans())
        return SQLITE_ERROR;
    int rc = SQLITE_OK;
    if (!m_dirty.empty() || m_spilled || m_dbSize != m_origSize) {
        rc = m_journal->Sync();
        if (rc == SQLITE_OK) {
            m_spilled = true; // from here on the file may differ: a failure must play back
            std::sort(m_dirty.begin(), m_dirty.end(),
                      [](const PgHdr* a, const PgHdr* b) { return a->pgno < b->pgno; });
            rc = WriteDirty();
        }
        int64_t size = 0;
        if (rc == SQLITE_OK)
            rc = m_file->Size(size);
        if (rc == SQLITE_OK && size / kPageSize > int64_t(m_dbSize))
            rc = m_file->Truncate(int64_t(m_dbSize) * kPageSize);
        if (rc == SQLITE_OK && m_sync)
            rc = m_file->Sync();
    }
    if (rc != SQLITE_OK) {
        Rollback();
        return rc;
    }
    rc = m_journal->Delete();
    EndTrans();
    AfterTransLock();
    return rc;
}

void Pager::ReloadAfterRollback() {
    std::vector<PgHdr*> all;
    for (PgHdr* head : m_hash) {
        for (PgHdr* p = head; p; p = p->hashNext)
            all.push_back(p);
    }
    for (PgHdr* pg : all) {
        pg->dirty = false;
        if (pg->nRef == 0) {
            Discard(pg);
            continue;
        }
        pg->extraValid = false;
        if (pg->pgno > m_dbSize ||
            m_file->Read(int64_t(pg->pgno - 1) * kPageSize, pg->data, kPageSize) != SQLITE_OK)
            std::memset(pg->data, 0, kPageSize);
    }
}

int Pager::Rollback() {
    if (!InTrans())
        return SQLITE_OK;
    int rc = SQLITE_OK;
    if (m_spilled) {
        rc = m_journal->Flush();
        if (rc == SQLITE_OK)
            rc = PlaybackJournal(*m_file, m_journalPath, m_sync);
    }
    m_dirty.clear();
    m_dbSize = m_origSize;
    if (rc == SQLITE_OK) {
        rc = m_journal->Delete();
    } else {
        // The journal stays: it is hot now and the next reader plays it back.
        m_journal.reset();
    }
    EndTrans();
    ReloadAfterRollback();
    AfterTransLock();
    return rc;
}

int Pager::CkptBegin() {
    if (!InTrans() || m_ckptActive)
        return SQLITE_ERROR;
    m_ckptActive = true;
    if (++m_ckptGen == 0)
        m_ckptGen = 1;
    m_ckptSize = m_dbSize;
    m_ckptPages.clear();
    return SQLITE_OK;
}

int Pager::CkptCommit() {
    m_ckptActive = false;
    m_ckptPages.clear();
    return SQLITE_OK;
}

int Pager::CkptRollback() {
    if (!m_ckptActive)
        return SQLITE_OK;
    m_ckptActive = false;
    int rc = SQLITE_OK;
    for (auto& [pgno, copy] : m_ckptPages) {
        PageRef ref;
        rc = Get(pgno, ref);
        if (rc == SQLITE_OK)
            rc = ref.MakeWritable();
        if (rc != SQLITE_OK)
            break;
        std::memcpy(ref.Data(), copy.get(), kPageSize);
        ref.Hdr()->extraValid = false;
    }
    m_ckptPages.clear();
    if (rc != SQLITE_OK)
        return rc;
    if (m_dbSize > m_ckptSize) {
        int trc = Truncate(m_ckptSize);
        if (trc != SQLITE_OK)
            return trc;
    }
    return SQLITE_OK;
}

int Pager::Truncate(Pgno pages) {
    if (!InTrans())
        return SQLITE_ERROR;
    Pgno limit = std::min(m_dbSize, m_origSize);
    for (Pgno p = pages + 1; p <= limit; p++) {
        if (IsJournaled(p))
            continue;
        PageRef ref;
        int rc = Get(p, ref);
        if (rc == SQLITE_OK)
            rc = ref.MakeWritable();
        if (rc != SQLITE_OK)
            return rc;
    }
    std::vector<PgHdr*> gone;
    for (PgHdr* head : m_hash) {
        for (PgHdr* p = head; p; p = p->hashNext) {
            if (p->pgno > pages)
                gone.push_back(p);
        }
    }
    m_dirty.erase(std::remove_if(m_dirty.begin(), m_dirty.end(),
                                 [pages](const PgHdr* p) { return p->pgno > pages; }),
                  m_dirty.end());
    for (PgHdr* pg : gone) {
        pg->dirty = false;
        if (pg->nRef == 0) {
            Discard(pg);
        } else {
            std::memset(pg->data, 0, kPageSize);
            pg->extraValid = false;
        }
    }
    m_dbSize = pages;
    return SQLITE_OK;
}

} // namespace sqlite2
