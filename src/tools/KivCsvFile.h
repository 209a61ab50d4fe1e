#pragma once

#include "tools/KivCsvRow.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// A source of delimited text, a file or the clipboard, read one line per row. Reading ends at
// the first empty line; Rewind starts again from the first line in either mode.
class CKivCsvFile {
public:
    CKivCsvFile() = default;
    ~CKivCsvFile();
    CKivCsvFile(const CKivCsvFile&) = delete;
    CKivCsvFile& operator=(const CKivCsvFile&) = delete;

    // Opens a regular file for reading; a failure is shown in a stop-icon box and gives false.
    bool Open(const std::string& path);
    // Takes a copy of the platform clipboard's text; false when there is none or it is empty.
    bool OpenClipboard();
    void Close();
    void Rewind();
    // The next row, or null at the end, at the first empty line, or after a read error (which
    // is shown to the user). Lines of a file lose their CR LF or LF; clipboard lines end at LF
    // only and keep a CR before it.
    std::unique_ptr<CKivCsvRow> ReadRow();

    char GetSeparator() const { return m_separator; }
    void SetSeparator(char separator) { m_separator = separator; }
    bool GetStripQuotes() const { return m_stripQuotes; }
    void SetStripQuotes(bool strip) { m_stripQuotes = strip; }
    bool IsClipboardMode() const { return m_clipboardMode; }

private:
    enum class READ { Line, End, Error };

    READ ReadFileLine(std::string& line);
    READ ReadClipboardLine(std::string& line);
    void CloseFile();
    void ResetBuffer();

    int m_fd = -1;
    std::string m_path;
    std::vector<char> m_buffer;
    std::size_t m_bufferPos = 0;
    std::size_t m_bufferEnd = 0;
    bool m_fileAtEnd = false;

    char m_separator = ';';
    bool m_stripQuotes = false;

    std::string m_clipboardText;
    bool m_clipboardMode = false;
    int m_lineCounter = 0;
    std::size_t m_clipboardOffset = 0;

    // Set once reading has ended, so that lines after an empty one are never handed out.
    bool m_ended = false;
};
