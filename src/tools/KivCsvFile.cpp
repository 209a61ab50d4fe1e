#include "tools/KivCsvFile.h"

#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/SecureZero.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum : unsigned {
    kIdsFileGeneric = 62200,
    kIdsFileNotFound = 62201,
    kIdsFileBadPath = 62202,
    kIdsFileTooManyOpen = 62203,
    kIdsFileAccessDenied = 62204,
    kIdsFileNotReadable = 62205,
    kIdsFileHardIo = 62206,
    kIdsUnnamedFile = 62207,
    kIdsOutOfMemory = 62208,
};

constexpr std::size_t kReadChunk = 64 * 1024;

// The standard file-error box: the cause in words, with the file's name, and the stop icon.
void ReportFileError(const std::string& path, int error) {
    unsigned id;
    switch (error) {
    case ENOENT:
        id = kIdsFileNotFound;
        break;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        id = kIdsFileBadPath;
        break;
    case EMFILE:
    case ENFILE:
        id = kIdsFileTooManyOpen;
        break;
    case EACCES:
    case EPERM:
        id = kIdsFileAccessDenied;
        break;
    case EISDIR:
    case EINVAL:
        id = kIdsFileNotReadable;
        break;
    case EIO:
        id = kIdsFileHardIo;
        break;
    default:
        id = kIdsFileGeneric;
        break;
    }
    const std::string name = path.empty() ? LoadString(kIdsUnnamedFile) : path;
    KivMessageBox(FormatString(LoadString(id), name), MB_OK | MB_ICONSTOP);
}

void ReportOutOfMemory() {
    KivMessageBox(LoadString(kIdsOutOfMemory), MB_OK | MB_ICONSTOP);
}

} // namespace

CKivCsvFile::~CKivCsvFile() {
    Close();
}

bool CKivCsvFile::Open(const std::string& path) {
    Close();
    // Non-blocking, so that a named pipe given as the path cannot stall the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        ReportFileError(path, errno);
        return false;
    }
    struct stat info;
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        error = EINVAL; // a device or a pipe could feed one endless line
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        ReportFileError(path, error);
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_ended = false;
    m_lineCounter = 0;
    ResetBuffer();
    return true;
}

bool CKivCsvFile::OpenClipboard() {
    // A file left open would never be closed once the source is the clipboard.
    CloseFile();
    SecureZero(m_clipboardText);
    if (!GetClipboardText(m_clipboardText))
        SecureZero(m_clipboardText);
    m_clipboardMode = !m_clipboardText.empty();
    m_lineCounter = 0;
    m_clipboardOffset = 0;
    m_ended = false;
    return m_clipboardMode;
}

void CKivCsvFile::Close() {
    CloseFile();
    m_clipboardMode = false;
    SecureZero(m_clipboardText);
    m_lineCounter = 0;
    m_clipboardOffset = 0;
    m_ended = false;
}

void CKivCsvFile::CloseFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_path.clear();
    ResetBuffer();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

void CKivCsvFile::ResetBuffer() {
    SecureZero(m_buffer.data(), m_buffer.size());
    m_bufferPos = 0;
    m_bufferEnd = 0;
    m_fileAtEnd = false;
}

void CKivCsvFile::Rewind() {
    if (!m_clipboardMode && m_fd >= 0) {
        ::lseek(m_fd, 0, SEEK_SET);
        ResetBuffer();
    }
    m_lineCounter = 0;
    m_clipboardOffset = 0;
    m_ended = false;
}

CKivCsvFile::READ CKivCsvFile::ReadFileLine(std::string& line) {
    if (m_fd < 0)
        return READ::End;
    if (m_buffer.size() != kReadChunk)
        m_buffer.assign(kReadChunk, '\0');
    bool any = false;
    for (;;) {
        if (m_bufferPos == m_bufferEnd) {
            if (m_fileAtEnd)
                break;
            const ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                ReportFileError(m_path, errno);
                return READ::Error;
            }
            m_bufferPos = 0;
            m_bufferEnd = static_cast<std::size_t>(n);
            if (n == 0) {
                m_fileAtEnd = true;
                break;
            }
        }
        any = true;
        const char* begin = m_buffer.data() + m_bufferPos;
        const char* end = m_buffer.data() + m_bufferEnd;
        const char* lf = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
        if (lf == nullptr) {
            line.append(begin, end);
            m_bufferPos = m_bufferEnd;
            continue;
        }
        line.append(begin, lf);
        m_bufferPos = static_cast<std::size_t>(lf + 1 - m_buffer.data());
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return READ::Line;
    }
    return any ? READ::Line : READ::End;
}

CKivCsvFile::READ CKivCsvFile::ReadClipboardLine(std::string& line) {
    if (m_clipboardOffset > m_clipboardText.size())
        return READ::End;
    const std::size_t lf = m_clipboardText.find('\n', m_clipboardOffset);
    const std::size_t end = lf == std::string::npos ? m_clipboardText.size() : lf;
    line.assign(m_clipboardText, m_clipboardOffset, end - m_clipboardOffset);
    m_clipboardOffset = end + 1;
    ++m_lineCounter;
    return READ::Line;
}

std::unique_ptr<CKivCsvRow> CKivCsvFile::ReadRow() {
    if (m_ended)
        return nullptr;
    std::string line;
    try {
        const READ result = m_clipboardMode ? ReadClipboardLine(line) : ReadFileLine(line);
        if (result != READ::Line || line.empty()) {
            SecureZero(line);
            m_ended = true;
            return nullptr;
        }
        auto row = std::make_unique<CKivCsvRow>(m_separator, m_stripQuotes, std::move(line));
        row->Parse();
        return row;
    } catch (const std::bad_alloc&) {
        SecureZero(line);
        m_ended = true;
        ReportOutOfMemory();
        return nullptr;
    }
}
