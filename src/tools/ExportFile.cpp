#include "tools/ExportFile.h"

#include "security/SecureZero.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

CExportFile::~CExportFile() {
    Discard();
    SecureZero(m_buffer);
}

bool CExportFile::Create(const std::string& path) {
    Discard();
    m_error = 0;
    m_target = path;
    struct stat info;
    if (path.empty() || path.back() == '/') {
        m_error = ENOENT;
        return false;
    }
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        m_error = EISDIR;
        return false;
    }
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    m_temp = FolderOf(path) + "/." + name.substr(0, 200) + ".XXXXXX";
    m_fd = ::mkostemp(m_temp.data(), O_CLOEXEC);
    if (m_fd < 0) {
        m_error = errno;
        m_temp.clear();
        return false;
    }
    ::fchmod(m_fd, S_IRUSR | S_IWUSR);
    m_buffer.reserve(kBufferBytes + 1024);
    return true;
}

void CExportFile::Fail(int error) {
    if (m_error == 0)
        m_error = error ? error : EIO;
    ClearBuffer();
}

void CExportFile::ClearBuffer() {
    // The buffer holds record values in plain text.
    SecureZero(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

bool CExportFile::Write(std::string_view text) {
    if (m_fd < 0 || m_error != 0) {
        if (m_fd < 0 && m_error == 0)
            m_error = EBADF;
        return false;
    }
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', start)) {
        m_buffer.append(text.substr(start, lf - start));
        m_buffer.append("\r\n");
        start = lf + 1;
    }
    m_buffer.append(text.substr(start));
    return m_buffer.size() < kBufferBytes || Flush();
}

bool CExportFile::Flush() {
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t put = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            Fail(put < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    ClearBuffer();
    return true;
}

bool CExportFile::Commit() {
    if (m_fd < 0) {
        if (m_error == 0)
            m_error = EBADF;
        return false;
    }
    if (m_error == 0 && Flush()) {
        if (::fsync(m_fd) != 0)
            Fail(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && m_error == 0)
        Fail(errno);
    if (m_error == 0 && ::rename(m_temp.c_str(), m_target.c_str()) != 0)
        Fail(errno);
    if (m_error != 0) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return false;
    }
    m_temp.clear();
    // The rename itself lives in the folder.
    const int dir = ::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void CExportFile::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
    ClearBuffer();
}
