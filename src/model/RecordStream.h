#pragma once

#include "model/Guid.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CMemFile;

// The primitive encodings of a serialised record over a memory stream: little-endian
// integers, 8-byte file times, GUIDs in their stored layout, and texts as a 32-bit byte count
// followed by the bytes.
//
// Reading past the end yields no bytes: a fixed-size field keeps its value and a text whose
// count cannot be read is empty. A count larger than the bytes left is a stream error; nothing
// is allocated for it and the stream reports Failed() from then on.
class CRecordStream {
public:
    explicit CRecordStream(CMemFile& file) : m_file(file) {}

    void WriteUInt32(std::uint32_t value);
    void WriteInt32(std::int32_t value) { WriteUInt32(static_cast<std::uint32_t>(value)); }
    void WriteFileTime(std::uint64_t value);
    void WriteGuid(const GUID& guid);
    void WriteText(const std::string& text);

    void ReadUInt32(std::uint32_t& value);
    void ReadInt32(std::int32_t& value);
    void ReadFileTime(std::uint64_t& value);
    void ReadGuid(GUID& guid);
    void ReadText(std::string& text);

    bool Failed() const { return m_failed; }
    void SetFailed() { m_failed = true; }

private:
    // True when all count bytes were read into buffer.
    bool ReadExactly(void* buffer, std::size_t count);

    CMemFile& m_file;
    bool m_failed = false;
};
