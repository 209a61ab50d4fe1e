#include "sqlite2/OsLockTable.h"

#include "sqlite2/sqlite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <utility>
#include <vector>

namespace sqlite2 {

struct OsLockInfo {
    dev_t dev = 0;
    ino_t ino = 0;
    int count = 0; // 0 unlocked, n > 0 readers, -1 one writer
    int users = 0;
    std::vector<int> deferredCloses;
};

namespace {

std::mutex& TableMutex() {
    static std::mutex m;
    return m;
}

// Records are dropped in a forked child: it inherits none of the parent's fcntl locks.
std::map<std::pair<dev_t, ino_t>, OsLockInfo*>& Table() {
    static std::map<std::pair<dev_t, ino_t>, OsLockInfo*> table;
    static pid_t owner = getpid();
    if (owner != getpid()) {
        table.clear();
        owner = getpid();
    }
    return table;
}

bool SetLock(int fd, short type) {
    struct flock fl = {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    while (fcntl(fd, F_SETLK, &fl) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void CloseDeferred(OsLockInfo* info) {
    for (int fd : info->deferredCloses)
        close(fd);
    info->deferredCloses.clear();
}

} // namespace

OsLockInfo* OsLockTable::Acquire(int fd) {
    struct stat st = {};
    if (fstat(fd, &st) != 0)
        return nullptr;
    std::lock_guard<std::mutex> g(TableMutex());
    auto& table = Table();
    auto key = std::make_pair(st.st_dev, st.st_ino);
    auto it = table.find(key);
    OsLockInfo* info;
    if (it == table.end()) {
        info = new OsLockInfo;
        info->dev = st.st_dev;
        info->ino = st.st_ino;
        table.emplace(key, info);
    } else {
        info = it->second;
    }
    info->users++;
    return info;
}

void OsLockTable::Release(OsLockInfo* info, int fd) {
    std::lock_guard<std::mutex> g(TableMutex());
    auto& table = Table();
    if (info->count != 0)
        info->deferredCloses.push_back(fd);
    else
        close(fd);
    if (--info->users == 0 && info->deferredCloses.empty()) {
        auto it = table.find(std::make_pair(info->dev, info->ino));
        if (it != table.end() && it->second == info) {
            table.erase(it);
            delete info;
        }
    }
}

int OsLockTable::ReadLock(OsLockInfo* info, int fd, Level& state) {
    if (state != kNone)
        return SQLITE_OK;
    std::lock_guard<std::mutex> g(TableMutex());
    if (info->count < 0)
        return SQLITE_BUSY;
    if (info->count == 0 && !SetLock(fd, F_RDLCK))
        return SQLITE_BUSY;
    info->count++;
    state = kShared;
    return SQLITE_OK;
}

int OsLockTable::WriteLock(OsLockInfo* info, int fd, Level& state) {
    if (state == kExclusive)
        return SQLITE_OK;
    std::lock_guard<std::mutex> g(TableMutex());
    bool onlyMe = info->count == 0 || (info->count == 1 && state == kShared);
    if (!onlyMe)
        return SQLITE_BUSY;
    if (!SetLock(fd, F_WRLCK))
        return SQLITE_BUSY;
    info->count = -1;
    state = kExclusive;
    return SQLITE_OK;
}

int OsLockTable::Downgrade(OsLockInfo* info, int fd, Level& state) {
    if (state != kExclusive)
        return SQLITE_OK;
    std::lock_guard<std::mutex> g(TableMutex());
    if (!SetLock(fd, F_RDLCK)) {
        SetLock(fd, F_UNLCK);
        info->count = 0;
        state = kNone;
        CloseDeferred(info);
        return SQLITE_BUSY;
    }
    info->count = 1;
    state = kShared;
    return SQLITE_OK;
}

void OsLockTable::Unlock(OsLockInfo* info, int fd, Level& state) {
    if (state == kNone)
        return;
    std::lock_guard<std::mutex> g(TableMutex());
    if (state == kExclusive) {
        info->count = 0;
    } else if (info->count > 0) {
        info->count--;
    }
    if (info->count == 0) {
        SetLock(fd, F_UNLCK);
        CloseDeferred(info);
    }
    state = kNone;
}

} // namespace sqlite2
