#pragma once
// Page cache over one database file: reference-counted 1024-byte pages, the shared lock held while
// any page is referenced (or a transaction is open), write transactions with the rollback journal,
// and statement checkpoints kept in memory.

#include "sqlite2/Journal.h"
#include "sqlite2/OsFile.h"
#include "sqlite2/PageFormat.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace sqlite2 {

class Pager;

constexpr int kPageExtraSize = 144;

struct PgHdr {
    Pgno pgno = 0;
    int nRef = 0;
    bool dirty = false;
    bool inLru = false; // unreferenced and clean: may be evicted
    // extra holds the B-tree's decoded view of data; cleared whenever data is replaced here.
    bool extraValid = false;
    uint32_t ckptGen = 0;
    PgHdr* hashNext = nullptr;
    PgHdr* lruPrev = nullptr;
    PgHdr* lruNext = nullptr;
    alignas(8) uint8_t data[kPageSize];
    alignas(8) uint8_t extra[kPageExtraSize];
};

// Holds one reference to a cached page.
class PageRef {
public:
    PageRef() = default;
    PageRef(Pager* pager, PgHdr* pg) : m_pager(pager), m_pg(pg) {}
    ~PageRef() { Release(); }
    PageRef(PageRef&& o) noexcept : m_pager(o.m_pager), m_pg(o.m_pg) { o.m_pg = nullptr; }
    PageRef& operator=(PageRef&& o) noexcept;
    PageRef(const PageRef&) = delete;
    PageRef& operator=(const PageRef&) = delete;

    void Release();
    explicit operator bool() const { return m_pg != nullptr; }
    uint8_t* Data() const { return m_pg->data; }
    Pgno Number() const { return m_pg->pgno; }
    PgHdr* Hdr() const { return m_pg; }
    // Journals the page if needed and marks it changed; call before modifying Data().
    int MakeWritable();

private:
    Pager* m_pager = nullptr;
    PgHdr* m_pg = nullptr;
};

class Pager {
public:
    static int Open(const std::string& path, std::unique_ptr<Pager>& out);
    ~Pager();

    // noContent: the caller overwrites the whole page, so it need not be read from the file.
    int Get(Pgno pgno, PageRef& out, bool noContent = false);
    int MakeWritable(PgHdr* pg);
    // The page's old content does not matter (a free-list leaf being reused): no journal record.
    void DontJournal(Pgno pgno);

    int Begin();
    int Commit();
    int Rollback();
    bool InTrans() const { return m_journal != nullptr; }

    int CkptBegin();
    int CkptCommit();
    int CkptRollback();
    bool InCkpt() const { return m_ckptActive; }

    // Sets the page count inside a transaction; removed pages are journaled first.
    int Truncate(Pgno pages);

    // Valid while a lock is held; otherwise the file's size.
    Pgno PageCount();
    bool ReadOnly() const { return m_file->ReadOnly(); }
    bool Locked() const { return m_file->Lock() != OsLockTable::kNone; }
    const std::string& Path() const { return m_path; }
    const std::string& JournalPath() const { return m_journalPath; }
    int RefCount() const { return m_nRef; }

    void SetCacheSize(int pages) { m_cacheSize = pages < 10 ? 10 : pages; }
    void SetSync(bool on) { m_sync = on; }

private:
    friend class PageRef;
    explicit Pager(std::unique_ptr<OsFile> file, std::string path);

    void Unref(PgHdr* pg);
    int AcquireShared();
    void ReleaseLock();
    PgHdr* Lookup(Pgno pgno) const;
    void HashInsert(PgHdr* pg);
    void HashRemove(PgHdr* pg);
    void LruPush(PgHdr* pg);
    void LruRemove(PgHdr* pg);
    void MarkClean(PgHdr* pg);
    int NewHeader(PgHdr*& out);
    void Discard(PgHdr* pg);
    void DiscardAll();
    int Spill();
    int WriteDirty();
    bool IsJournaled(Pgno pgno) const;
    void SetJournaled(Pgno pgno);
    void EndTrans();
    void AfterTransLock();
    void ReloadAfterRollback();

    std::unique_ptr<OsFile> m_file;
    std::string m_path;
    std::string m_journalPath;
    bool m_sync = true;
    int m_cacheSize = 2000;

    Pgno m_dbSize = 0;
    int m_nRef = 0;
    size_t m_nPages = 0;
    std::vector<PgHdr*> m_hash;
    PgHdr* m_lruHead = nullptr;
    PgHdr* m_lruTail = nullptr;
    std::vector<PgHdr*> m_pool;

    std::unique_ptr<JournalWriter> m_journal;
    Pgno m_origSize = 0;
    bool m_spilled = false;
    std::vector<uint64_t> m_journaled;
    std::vector<PgHdr*> m_dirty;

    bool m_ckptActive = false;
    uint32_t m_ckptGen = 0;
    Pgno m_ckptSize = 0;
    std::unordered_map<Pgno, std::unique_ptr<uint8_t[]>> m_ckptPages;
};

} // namespace sqlite2
