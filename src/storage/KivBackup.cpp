#include "storage/KivBackup.h"

#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"

#include <utility>
#include <vector>

namespace {

constexpr unsigned kNoBackupFolderText = 62103;
constexpr std::size_t kMaxStampLength = 4096;

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

} // namespace

std::string FormatTimestamp(const std::string& format, const std::tm& localTime) {
    if (format.empty())
        return {};
    // strftime cannot tell an empty result from a short buffer: a marker character tells.
    const std::string marked = format + "|";
    for (std::size_t size = 256; size <= kMaxStampLength; size *= 2) {
        std::vector<char> buffer(size);
        std::size_t n = std::strftime(buffer.data(), buffer.size(), marked.c_str(), &localTime);
        if (n > 0) {
            std::string stamp(buffer.data(), n - 1);
            for (char& c : stamp) {
                if (c == '/' || c == '\\')
                    c = '-';
            }
            return stamp;
        }
    }
    return {};
}

CKivBackup::CKivBackup(std::string sourcePath, std::string destinationFolder,
                       std::string timestampFormat, bool appendTimestamp)
    : m_source(std::move(sourcePath)), m_folder(std::move(destinationFolder)),
      m_timestampFormat(std::move(timestampFormat)), m_appendTimestamp(appendTimestamp) {}

CKivBackup::~CKivBackup() = default;

std::string CKivBackup::MakeDestination(const std::tm& localTime) const {
    std::string folder = m_folder;
    if (!EndsWithSeparator(folder))
        folder += '/';
    if (!m_appendTimestamp)
        return folder;

    std::string::size_type slash = m_source.find_last_of('/');
    std::string name = slash == std::string::npos ? m_source : m_source.substr(slash + 1);
    std::string::size_type dot = name.find_last_of('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    return folder + base + FormatTimestamp(m_timestampFormat, localTime) + extension;
}

bool CKivBackup::Run() {
    return RunAt(std::time(nullptr));
}

bool CKivBackup::RunAt(std::time_t now) {
    m_destination.clear();
    m_copiedTo.clear();
    // An empty folder would put the copy wherever the program happens to run.
    if (m_folder.empty()) {
        KivMessageBox(LoadString(kNoBackupFolderText), MB_OK | MB_ICONSTOP);
        return false;
    }
    std::tm local{};
    localtime_r(&now, &local);
    m_destination = MakeDestination(local);
    return Shell().CopyFile(m_source, m_destination, &m_copiedTo);
}
