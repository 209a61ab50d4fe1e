#pragma once
// One open file: positioned reads and writes, sync, truncate and (for database files) the
// whole-file shared/exclusive fcntl locks shared between the connections of this process.

#include "sqlite2/OsLockTable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sqlite2 {

class OsFile {
public:
    ~OsFile();
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // Database file: read-write (created 0600 when missing), else read-only.
    static int OpenDatabase(const std::string& path, std::unique_ptr<OsFile>& out);
    // Journal: must not exist yet; mode 0600.
    static int CreateExclusive(const std::string& path, std::unique_ptr<OsFile>& out);
    static int OpenReadOnly(const std::string& path, std::unique_ptr<OsFile>& out);

    static bool Exists(const std::string& path);
    static int Delete(const std::string& path);
    static int SyncDirectoryOf(const std::string& path);

    // Reads n bytes at off; bytes past the end of the file read as zeros.
    int Read(int64_t off, void* buf, size_t n);
    // Reads what is there; got tells how many bytes.
    int ReadSome(int64_t off, void* buf, size_t n, size_t& got);
    int Write(int64_t off, const void* buf, size_t n);
    // Writes count pages of kPageSize bytes, from separate buffers, to consecutive offsets.
    int WritePages(int64_t off, const uint8_t* const* pages, int count, size_t pageSize);
    int Sync();
    int Truncate(int64_t size);
    int Size(int64_t& size);

    bool ReadOnly() const { return m_readOnly; }
    const std::string& Path() const { return m_path; }

    int ReadLock();
    int WriteLock();
    int Downgrade();
    void Unlock();
    OsLockTable::Level Lock() const { return m_lock; }

private:
    OsFile(int fd, std::string path, bool readOnly, bool lockable);

    int m_fd;
    std::string m_path;
    bool m_readOnly;
    OsLockInfo* m_lockInfo = nullptr;
    OsLockTable::Level m_lock = OsLockTable::kNone;
};

} // namespace sqlite2
