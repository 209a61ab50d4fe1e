#include "sqlite2/Journal.h"

#include "sqlite2/sqlite.h"

#include <cstring>
#include <mutex>
#include <random>

namespace sqlite2 {

namespace {

constexpr uint8_t kMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd6};
constexpr size_t kBufferLimit = 64 * kJournalRecordSize;

uint32_t RandomSeed() {
    static std::mutex m;
    static std::mt19937 gen{std::random_device{}()};
    std::lock_guard<std::mutex> g(m);
    return uint32_t(gen());
}

} // namespace

JournalWriter::JournalWriter(std::unique_ptr<OsFile> file, bool sync)
    : m_file(std::move(file)), m_sync(sync) {}

JournalWriter::~JournalWriter() = default;

int JournalWriter::Create(const std::string& path, Pgno origPages, bool sync,
                          std::unique_ptr<JournalWriter>& out) {
    std::unique_ptr<OsFile> file;
    if (OsFile::CreateExclusive(path, file) != SQLITE_OK)
        return SQLITE_CANTOPEN;
    std::unique_ptr<JournalWriter> j(new JournalWriter(std::move(file), sync));
    j->m_seed = RandomSeed();
    uint8_t hdr[kJournalHeaderSize];
    std::memcpy(hdr, kMagic, 8);
    PutBe32(hdr + 8, sync ? 0 : kJournalCountFromSize);
    PutBe32(hdr + 12, j->m_seed);
    PutBe32(hdr + 16, origPages);
    int rc = j->m_file->Write(0, hdr, sizeof hdr);
    if (rc != SQLITE_OK) {
        j->Delete();
        return rc;
    }
    out = std::move(j);
    return SQLITE_OK;
}

int JournalWriter::Append(Pgno pgno, const uint8_t* data) {
    size_t at = m_buffer.size();
    m_buffer.resize(at + kJournalRecordSize);
    uint8_t* rec = m_buffer.data() + at;
    PutBe32(rec, pgno);
    std::memcpy(rec + 4, data, kPageSize);
    PutBe32(rec + 4 + kPageSize, m_seed + pgno);
    m_records++;
    if (m_buffer.size() >= kBufferLimit)
        return Flush();
    return SQLITE_OK;
}

int JournalWriter::Flush() {
    if (m_buffer.empty())
        return SQLITE_OK;
    int rc = m_file->Write(m_flushedEnd, m_buffer.data(), m_buffer.size());
    if (rc != SQLITE_OK)
        return rc;
    m_flushedEnd += int64_t(m_buffer.size());
    m_buffer.clear();
    return SQLITE_OK;
}

int JournalWriter::Sync() {
    int rc = Flush();
    if (rc != SQLITE_OK || !m_sync) {
        m_synced = m_records;
        return rc;
    }
    uint8_t n[4];
    PutBe32(n, m_records);
    rc = m_file->Write(8, n, 4);
    if (rc == SQLITE_OK)
        rc = m_file->Sync();
    if (rc == SQLITE_OK && !m_dirSynced) {
        OsFile::SyncDirectoryOf(m_file->Path());
        m_dirSynced = true;
    }
    if (rc == SQLITE_OK)
        m_synced = m_records;
    return rc;
}

int JournalWriter::Delete() {
    std::string path = m_file->Path();
    m_file.reset();
    return OsFile::Delete(path);
}

int PlaybackJournal(OsFile& db, const std::string& path, bool sync) {
    std::unique_ptr<OsFile> j;
    if (OsFile::OpenReadOnly(path, j) != SQLITE_OK)
        return SQLITE_BUSY;
    int64_t size = 0;
    int rc = j->Size(size);
    if (rc != SQLITE_OK)
        return rc;
    if (size < 12)
        return SQLITE_OK;
    uint8_t hdr[kJournalHeaderSize];
    rc = j->Read(0, hdr, sizeof hdr);
    if (rc != SQLITE_OK)
        return rc;
    if (std::memcmp(hdr, kMagic, 8) != 0)
        return SQLITE_CORRUPT;
    if (size < kJournalHeaderSize)
        return SQLITE_OK;
    uint32_t nRec = GetBe32(hdr + 8);
    uint32_t seed = GetBe32(hdr + 12);
    Pgno orig = GetBe32(hdr + 16);
    int64_t inFile = (size - kJournalHeaderSize) / kJournalRecordSize;
    if (nRec == kJournalCountFromSize || int64_t(nRec) > inFile)
        nRec = uint32_t(inFile);
    if (orig > kMaxPgno)
        return SQLITE_CORRUPT;
    rc = db.Truncate(int64_t(orig) * kPageSize);
    if (rc != SQLITE_OK)
        return rc;
    std::vector<uint8_t> rec(kJournalRecordSize);
    for (uint32_t i = 0; i < nRec; i++) {
        rc = j->Read(kJournalHeaderSize + int64_t(i) * kJournalRecordSize, rec.data(), rec.size());
        if (rc != SQLITE_OK)
            return rc;
        Pgno pgno = GetBe32(rec.data());
        if (pgno == 0 || GetBe32(rec.data() + 4 + kPageSize) != seed + pgno)
            break;
        if (pgno > orig)
            continue;
        rc = db.Write(int64_t(pgno - 1) * kPageSize, rec.data() + 4, kPageSize);
        if (rc != SQLITE_OK)
            return rc;
    }
    return sync ? db.Sync() : SQLITE_OK;
}

} // namespace sqlite2
