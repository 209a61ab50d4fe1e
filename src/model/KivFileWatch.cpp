#include "model/KivFileWatch.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr unsigned kIdCannotDelete = 62707;

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::uint64_t kEpochDifference = 11644473600ULL;

} // namespace

bool CKivFileWatch::ReadStamp(const std::string& path, std::uint64_t& size,
                              std::uint64_t& lastWrite) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!ok)
        return false;
    size = static_cast<std::uint64_t>(info.st_size);
    lastWrite = (static_cast<std::uint64_t>(info.st_mtim.tv_sec) + kEpochDifference) * 10000000ULL +
                static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100;
    return true;
}

bool CKivFileWatch::AddWatch(const WATCHENTRY& entry) {
    if (FindWatch(entry.path))
        return false;
    std::uint64_t size, time;
    if (!ReadStamp(entry.path, size, time))
        return false;
    m_entries.push_back(entry);
    return true;
}

bool CKivFileWatch::AddWatch(const std::string& path, int id) {
    WATCHENTRY entry;
    entry.path = path;
    entry.id = id;
    if (!ReadStamp(path, entry.size, entry.lastWrite))
        return false;
    return AddWatch(entry);
}

bool CKivFileWatch::RemoveWatch(const std::string& path) {
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const WATCHENTRY& e) { return e.path == path; });
    if (it == m_entries.end())
        return false;
    m_entries.erase(it);
    return true;
}

const CKivFileWatch::WATCHENTRY* CKivFileWatch::FindWatch(const std::string& path) const {
    for (const WATCHENTRY& e : m_entries)
        if (e.path == path)
            return &e;
    return nullptr;
}

void CKivFileWatch::CheckWatches() {
    if (m_checking)
        return;
    m_checking = true;
    // The handler may add or remove entries, so walk a snapshot of the paths.
    std::vector<std::string> paths;
    for (const WATCHENTRY& e : m_entries)
        paths.push_back(e.path);
    for (const std::string& path : paths) {
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const WATCHENTRY& e) { return e.path == path; });
        if (it == m_entries.end())
            continue;
        std::uint64_t size, time;
        if (!ReadStamp(path, size, time) || (size == it->size && time == it->lastWrite))
            continue;
        it->size = size;
        it->lastWrite = time;
        WATCHENTRY copy = *it;
        try {
            OnFileChanged(copy);
        } catch (...) {
            m_checking = false;
            throw;
        }
    }
    m_checking = false;
}

bool CKivFileWatch::IsAnyChanged() const {
    for (const WATCHENTRY& e : m_entries) {
        std::uint64_t size, time;
        if (ReadStamp(e.path, size, time) && (size != e.size || time != e.lastWrite))
            return true;
    }
    return false;
}

void CKivFileWatch::StopWatching() {
    std::vector<WATCHENTRY> entries;
    entries.swap(m_entries);
    for (const WATCHENTRY& e : entries)
        DeleteCopy(e.path);
}

bool CKivFileWatch::DeleteCopy(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return true;
    int error = errno;
    KivMessageBox(FormatString(LoadString(kIdCannotDelete), path, std::to_string(error)),
                  MB_OK | MB_ICONEXCLAMATION);
    return false;
}
