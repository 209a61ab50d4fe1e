#pragma once

#include <string>
#include <string_view>

// The text file an export writes. The text goes to a new file (mode 0600) beside the target
// and replaces the target only when Commit succeeds, so a failed export leaves nothing half
// written and an existing target unchanged. Written like a text-mode file: every line feed
// becomes CR LF.
class CExportFile {
public:
    CExportFile() = default;
    // Discards a file that was not committed.
    ~CExportFile();
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    // Discards any open file, then creates the temporary file beside path. False (with the
    // reason in GetError) when it cannot be made or path names a folder.
    bool Create(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }

    // Buffers text; false once any write has failed (later writes are dropped).
    bool Write(std::string_view text);
    bool HasFailed() const { return m_error != 0; }
    // The system error number of the first failure, 0 when there was none.
    int GetError() const { return m_error; }

    // Writes out what is buffered, makes it durable and renames the file over the target.
    // False when anything failed; the temporary file is then removed.
    bool Commit();
    // Closes and removes the temporary file; the target is left as it was.
    void Discard();

    const std::string& GetTarget() const { return m_target; }
    const std::string& GetTempPath() const { return m_temp; }

private:
    bool Flush();
    void Fail(int error);
    void ClearBuffer();

    static constexpr std::size_t kBufferBytes = 64 * 1024;

    int m_fd = -1;
    std::string m_target;
    std::string m_temp;
    std::string m_buffer;
    int m_error = 0;
};
