#include "storage/CreatorFiles.h"

#include "platform/Shell.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond any real use; it only bounds the search for a free name.
constexpr int kMaxBackupNumber = 100000;

std::string Reason(const std::string& path, int err) {
    return path + ": " + std::strerror(err);
}

} // namespace

std::string BackupName(const std::string& path, int n) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".bak%02d", n);
    return path + suffix;
}

bool BackUpExisting(const std::string& path, std::string* backupPath, std::string* error) {
    std::string scratchPath, scratchError;
    if (!backupPath)
        backupPath = &scratchPath;
    if (!error)
        error = &scratchError;
    backupPath->clear();

    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return true;
        *error = Reason(path, errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        *error = Reason(path, EISDIR);
        return false;
    }
    for (int n = 1; n <= kMaxBackupNumber; ++n) {
        std::string candidate = BackupName(path, n);
        struct stat taken {};
        if (::lstat(candidate.c_str(), &taken) == 0)
            continue;
        if (MoveFileNoReplace(path, candidate)) {
            *backupPath = candidate;
            return true;
        }
        // Taken meanwhile by someone else: try the next number.
        if (errno != EEXIST) {
            *error = Reason(path, errno);
            return false;
        }
    }
    *error = path + ": no free backup name";
    return false;
}

std::string CreateTempFileBeside(const std::string& path, std::string* error) {
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (folder.empty())
        folder = "/";
    std::string pattern = folder + (folder.back() == '/' ? "" : "/") + "." + name + ".new-XXXXXX";
    int fd = ::mkstemp(pattern.data()); // mode 0600
    if (fd < 0) {
        if (error)
            *error = Reason(folder, errno);
        return {};
    }
    ::close(fd);
    return pattern;
}

void RemoveTempDatabase(const std::string& tempPath) {
    ::unlink(tempPath.c_str());
    ::unlink((tempPath + "-journal").c_str());
}
