#include "platform/Shell.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CHeadlessShell g_headlessShell;
std::atomic<IShell*> g_shell{nullptr};

constexpr unsigned kCopyFailedText = 62100;
// A file manager gives up long before this; it only bounds the search for a free name.
constexpr int kMaxCollisionNumber = 10000;

std::string ErrnoText(const std::string& what, int err) {
    return what + ": " + std::strerror(err);
}

QString ToQPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

void ReportCopyFailure(const std::string& source, const std::string& error) {
    KivMessageBox(FormatString(LoadString(kCopyFailedText), source, error), MB_OK | MB_ICONSTOP);
}

// Closes the descriptor and removes the temporary file unless it was handed on.
class CTempFile {
public:
    explicit CTempFile(std::string pattern) : m_path(std::move(pattern)) {
        m_fd = mkstemp(m_path.data()); // mode 0600
        if (m_fd < 0)
            m_path.clear();
    }
    ~CTempFile() {
        CloseFd();
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    int Fd() const { return m_fd; }
    const std::string& Path() const { return m_path; }
    int CloseFd() {
        int rc = 0;
        if (m_fd >= 0)
            rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }
    void Release() { m_path.clear(); }

private:
    std::string m_path;
    int m_fd = -1;
};

bool CopyBytes(int in, int out, std::string* error) {
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *error = ErrnoText("read", errno);
            return false;
        }
        if (got == 0)
            return true;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0) {
                *error = ErrnoText("write", errno);
                return false;
            }
            done += put;
        }
    }
}

} // namespace

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: a hard link refuses an existing name just the same.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    return false;
}

IShell& Shell() {
    IShell* shell = g_shell.load();
    return shell ? *shell : g_headlessShell;
}

IShell* SetShell(IShell* shell) {
    return g_shell.exchange(shell);
}

std::string CollisionName(const std::string& path, int n) {
    std::string::size_type slash = path.find_last_of('/');
    std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string::size_type dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= nameStart)
        dot = path.size();
    return path.substr(0, dot) + " (" + std::to_string(n) + ")" + path.substr(dot);
}

bool CopyFileRenameOnCollision(const std::string& source, const std::string& destination,
                               std::string* copiedTo, std::string* error) {
    namespace fs = std::filesystem;
    std::string scratch;
    if (!error)
        error = &scratch;
    if (source.empty() || destination.empty()) {
        *error = "no file name given";
        return false;
    }

    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *error = ErrnoText(source, errno);
        return false;
    }
    struct stat sourceInfo {};
    if (::fstat(in, &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) {
        *error = source + ": not a regular file";
        ::close(in);
        return false;
    }

    std::error_code ec;
    fs::path target(destination);
    bool namesFolder = destination.back() == '/' || fs::is_directory(target, ec);
    if (namesFolder)
        target /= fs::path(source).filename();
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    fs::create_directories(folder, ec);
    if (ec) {
        *error = folder.string() + ": " + ec.message();
        ::close(in);
        return false;
    }

    CTempFile temp((folder / (".txcopy-XXXXXX")).string());
    if (temp.Fd() < 0) {
        *error = ErrnoText(folder.string(), errno);
        ::close(in);
        return false;
    }
    bool copied = CopyBytes(in, temp.Fd(), error);
    ::close(in);
    if (copied && ::fsync(temp.Fd()) != 0) {
        *error = ErrnoText("fsync", errno);
        copied = false;
    }
    if (temp.CloseFd() != 0 && copied) {
        *error = ErrnoText("close", errno);
        copied = false;
    }
    if (!copied)
        return false;

    const std::string wanted = target.string();
    for (int n = 1; n <= kMaxCollisionNumber; ++n) {
        std::string candidate = n == 1 ? wanted : CollisionName(wanted, n);
        if (MoveFileNoReplace(temp.Path(), candidate)) {
            temp.Release();
            if (copiedTo)
                *copiedTo = candidate;
            return true;
        }
        if (errno != EEXIST) {
            *error = ErrnoText(candidate, errno);
            return false;
        }
    }
    *error = wanted + ": no free name for the copy";
    return false;
}

bool CHeadlessShell::Start(const std::string& target) {
    if (target.empty())
        return false;
    std::string argument = target;
    // An opener would read a leading dash as an option of its own.
    if (argument.front() == '-')
        argument = "./" + argument;
    return QProcess::startDetached(ToQPath(m_opener), QStringList{ToQPath(argument)});
}

bool CHeadlessShell::OpenDocument(const std::string& pathOrUrl) {
    return Start(pathOrUrl);
}

bool CHeadlessShell::ExploreFolder(const std::string& folder) {
    return Start(folder);
}

bool CHeadlessShell::CopyFile(const std::string& source, const std::string& destination,
                              std::string* copiedTo) {
    std::string error;
    if (CopyFileRenameOnCollision(source, destination, copiedTo, &error))
        return true;
    ReportCopyFailure(source, error);
    return false;
}

bool CRecordingShell::OpenDocument(const std::string& pathOrUrl) {
    m_calls.push_back({kOpen, pathOrUrl, {}, {}});
    return m_openResult;
}

bool CRecordingShell::ExploreFolder(const std::string& folder) {
    m_calls.push_back({kExplore, folder, {}, {}});
    return m_openResult;
}

bool CRecordingShell::CopyFile(const std::string& source, const std::string& destination,
                               std::string* copiedTo) {
    CALL call{kCopy, source, destination, {}};
    std::string error = "copying was switched off for this test";
    bool ok =
        !m_copyFails && CopyFileRenameOnCollision(source, destination, &call.copiedTo, &error);
    m_calls.push_back(call);
    if (!ok) {
        ReportCopyFailure(source, error);
        return false;
    }
    if (copiedTo)
        *copiedTo = call.copiedTo;
    return true;
}
