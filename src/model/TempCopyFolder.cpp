#include "model/TempCopyFolder.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxComponentBytes = 255;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

CTempCopyFolder::CTempCopyFolder() : m_base(DefaultBase()) {}

CTempCopyFolder::CTempCopyFolder(std::string base) : m_base(std::move(base)) {}

std::string CTempCopyFolder::DefaultBase() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base.toStdString();
}

std::string CTempCopyFolder::GetPath() const {
    std::string path = m_base;
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + kSubFolder;
}

bool CTempCopyFolder::Prepare(int& error) const {
    error = 0;
    if (m_base.empty() || !QDir().mkpath(QString::fromStdString(m_base))) {
        error = errno ? errno : ENOENT;
        return false;
    }
    const std::string path = GetPath();
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        error = errno;
        return false;
    }
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        error = errno;
        return false;
    }
    // Someone else's folder or a link planted in the cache would receive decrypted copies.
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
        error = EPERM;
        return false;
    }
    if ((info.st_mode & 07777) != 0700 && ::chmod(path.c_str(), 0700) != 0) {
        error = errno;
        return false;
    }
    return true;
}

std::string CTempCopyFolder::SafeFileName(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F)
            c = '_';
    }
    for (std::size_t at = safe.find(".."); at != std::string::npos; at = safe.find("..", at))
        safe.replace(at, 2, "__");
    for (char& c : safe) {
        if (c != '.')
            break;
        c = '_';
    }
    if (safe.empty())
        safe = "file";
    if (safe.size() > kMaxComponentBytes) {
        safe.erase(0, safe.size() - kMaxComponentBytes);
        // The cut may have exposed a dot at the front.
        if (safe.front() == '.')
            safe.front() = '_';
    }
    return safe;
}

std::string CTempCopyFolder::PathFor(const std::string& fileName,
                                     const std::string& extension) const {
    std::string name = fileName;
    if (!extension.empty() && !EndsWith(name, extension))
        name += extension;
    return GetPath() + '/' + SafeFileName(name);
}
