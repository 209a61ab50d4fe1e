#pragma once
// Process-wide record of the locks held on each database file. POSIX record locks belong to the
// process, so connections of one process must see each other's locks here, and a descriptor must
// not be closed while another connection of the process still holds a lock on the same file.

#include <sys/types.h>

#include <mutex>

namespace sqlite2 {

struct OsLockInfo;

class OsLockTable {
public:
    // Looks up (or creates) the record of the file behind fd; counts one user.
    static OsLockInfo* Acquire(int fd);
    // Drops one user; closes fd now or once no connection of the process holds a lock.
    static void Release(OsLockInfo* info, int fd);

    // Lock transitions for one connection; state is the connection's own lock level.
    enum Level { kNone = 0, kShared = 1, kExclusive = 2 };
    static int ReadLock(OsLockInfo* info, int fd, Level& state);
    static int WriteLock(OsLockInfo* info, int fd, Level& state);
    static int Downgrade(OsLockInfo* info, int fd, Level& state);
    static void Unlock(OsLockInfo* info, int fd, Level& state);
};

} // namespace sqlite2
