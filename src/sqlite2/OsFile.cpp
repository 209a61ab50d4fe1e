#include "sqlite2/OsFile.h"

#include "sqlite2/sqlite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sqlite2 {

namespace {

int WriteErrorCode(int err) {
    return (err == ENOSPC || err == EDQUOT || err == EFBIG) ? SQLITE_FULL : SQLITE_IOERR;
}

} // namespace

OsFile::OsFile(int fd, std::string path, bool readOnly, bool lockable)
    : m_fd(fd), m_path(std::move(path)), m_readOnly(readOnly) {
    if (lockable)
        m_lockInfo = OsLockTable::Acquire(fd);
}

OsFile::~OsFile() {
    if (m_lockInfo) {
        OsLockTable::Unlock(m_lockInfo, m_fd, m_lock);
        OsLockTable::Release(m_lockInfo, m_fd);
    } else {
        close(m_fd);
    }
}

int OsFile::OpenDatabase(const std::string& path, std::unique_ptr<OsFile>& out) {
    bool readOnly = false;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        readOnly = true;
    }
    if (fd < 0)
        return SQLITE_CANTOPEN;
    out.reset(new OsFile(fd, path, readOnly, true));
    if (!out->m_lockInfo) {
        out.reset();
        return SQLITE_CANTOPEN;
    }
    return SQLITE_OK;
}

int OsFile::CreateExclusive(const std::string& path, std::unique_ptr<OsFile>& out) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return SQLITE_CANTOPEN;
    out.reset(new OsFile(fd, path, false, false));
    return SQLITE_OK;
}

int OsFile::OpenReadOnly(const std::string& path, std::unique_ptr<OsFile>& out) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return SQLITE_CANTOPEN;
    out.reset(new OsFile(fd, path, true, false));
    return SQLITE_OK;
}

bool OsFile::Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

int OsFile::Delete(const std::string& path) {
    return (unlink(path.c_str()) == 0 || errno == ENOENT) ? SQLITE_OK : SQLITE_IOERR;
}

int OsFile::SyncDirectoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return SQLITE_OK; // some file systems do not allow it; the data sync still counts
    fsync(fd);
    close(fd);
    return SQLITE_OK;
}

int OsFile::ReadSome(int64_t off, void* buf, size_t n, size_t& got) {
    got = 0;
    auto* p = static_cast<uint8_t*>(buf);
    while (got < n) {
        ssize_t r = pread(m_fd, p + got, n - got, off + int64_t(got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return SQLITE_IOERR;
        }
        if (r == 0)
            break;
        got += size_t(r);
    }
    return SQLITE_OK;
}

int OsFile::Read(int64_t off, void* buf, size_t n) {
    size_t got = 0;
    int rc = ReadSome(off, buf, n, got);
    if (rc != SQLITE_OK)
        return rc;
    if (got < n)
        std::memset(static_cast<uint8_t*>(buf) + got, 0, n - got);
    return SQLITE_OK;
}

int OsFile::Write(int64_t off, const void* buf, size_t n) {
    if (m_readOnly)
        return SQLITE_READONLY;
    auto* p = static_cast<const uint8_t*>(buf);
    size_t done = 0;
    while (done < n) {
        ssize_t w = pwrite(m_fd, p + done, n - done, off + int64_t(done));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return WriteErrorCode(errno);
        }
        if (w == 0)
            return SQLITE_FULL;
        done += size_t(w);
    }
    return SQLITE_OK;
}

int OsFile::WritePages(int64_t off, const uint8_t* const* pages, int count, size_t pageSize) {
    if (m_readOnly)
        return SQLITE_READONLY;
    constexpr int kMaxIov = 64;
    struct iovec iov[kMaxIov];
    while (count > 0) {
        int n = count < kMaxIov ? count : kMaxIov;
        for (int i = 0; i < n; i++) {
            iov[i].iov_base = const_cast<uint8_t*>(pages[i]);
            iov[i].iov_len = pageSize;
        }
        ssize_t w = pwritev(m_fd, iov, n, off);
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0)
            return WriteErrorCode(errno);
        if (size_t(w) != size_t(n) * pageSize) {
            // A short vector write: finish page by page so every byte is accounted for.
            for (int i = 0; i < n; i++) {
                int rc = Write(off + int64_t(i) * int64_t(pageSize), pages[i], pageSize);
                if (rc != SQLITE_OK)
                    return rc;
            }
        }
        off += int64_t(n) * int64_t(pageSize);
        pages += n;
        count -= n;
    }
    return SQLITE_OK;
}

int OsFile::Sync() {
    while (fdatasync(m_fd) != 0) {
        if (errno != EINTR)
            return SQLITE_IOERR;
    }
    return SQLITE_OK;
}

int OsFile::Truncate(int64_t size) {
    while (ftruncate(m_fd, size) != 0) {
        if (errno != EINTR)
            return WriteErrorCode(errno);
    }
    return SQLITE_OK;
}

int OsFile::Size(int64_t& size) {
    struct stat st = {};
    if (fstat(m_fd, &st) != 0)
        return SQLITE_IOERR;
    // A folder opens read-only; reading it fails on every file system, but some (tmpfs) report
    // a size below one page, which would pass it off as an empty database.
    if (S_ISDIR(st.st_mode))
        return SQLITE_IOERR;
    size = st.st_size;
    return SQLITE_OK;
}

int OsFile::ReadLock() {
    return m_lockInfo ? OsLockTable::ReadLock(m_lockInfo, m_fd, m_lock) : SQLITE_OK;
}

int OsFile::WriteLock() {
    return m_lockInfo ? OsLockTable::WriteLock(m_lockInfo, m_fd, m_lock) : SQLITE_OK;
}

int OsFile::Downgrade() {
    return m_lockInfo ? OsLockTable::Downgrade(m_lockInfo, m_fd, m_lock) : SQLITE_OK;
}

void OsFile::Unlock() {
    if (m_lockInfo)
        OsLockTable::Unlock(m_lockInfo, m_fd, m_lock);
}

} // namespace sqlite2
