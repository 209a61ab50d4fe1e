#pragma once
// The rollback journal ("<database>-journal"): a 20-byte big-endian header (magic, record count,
// check seed, original page count) followed by records of page number, original page content and
// check value (seed + page number).

#include "sqlite2/OsFile.h"
#include "sqlite2/PageFormat.h"

#include <memory>
#include <string>
#include <vector>

namespace sqlite2 {

constexpr int kJournalHeaderSize = 20;
constexpr int kJournalRecordSize = 4 + kPageSize + 4;
constexpr uint32_t kJournalCountFromSize = 0xffffffff;

class JournalWriter {
public:
    // Creates the journal (it must not exist) and writes its header. With sync off the record
    // count says "compute from the file size" and nothing is ever synced.
    static int Create(const std::string& path, Pgno origPages, bool sync,
                      std::unique_ptr<JournalWriter>& out);
    ~JournalWriter();

    int Append(Pgno pgno, const uint8_t* data);
    // Makes every appended record durable and counted (before database pages are overwritten).
    int Sync();
    int Flush();
    bool HasUnsynced() const { return m_records != m_synced; }
    uint32_t Records() const { return m_records; }
    // Closes and unlinks the journal.
    int Delete();

private:
    JournalWriter(std::unique_ptr<OsFile> file, bool sync);

    std::unique_ptr<OsFile> m_file;
    bool m_sync;
    bool m_dirSynced = false;
    uint32_t m_records = 0;
    uint32_t m_synced = 0;
    uint32_t m_seed = 0;
    int64_t m_flushedEnd = kJournalHeaderSize;
    std::vector<uint8_t> m_buffer;
};

// Plays the journal at path back into db (the write lock must be held): truncates db to the
// original size and writes the counted records back. Short or empty journals are no-ops; an
// unknown magic gives SQLITE_CORRUPT; a journal that cannot be opened gives SQLITE_BUSY. The
// journal file is left in place for the caller to delete.
int PlaybackJournal(OsFile& db, const std::string& path, bool sync);

} // namespace sqlite2
