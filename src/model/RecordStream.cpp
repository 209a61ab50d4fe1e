#include "model/RecordStream.h"

#include "platform/MemFile.h"

void CRecordStream::WriteUInt32(std::uint32_t value) {
    std::uint8_t b[4];
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<std::uint8_t>(value >> (8 * i));
    m_file.Write(b, sizeof b);
}

void CRecordStream::WriteFileTime(std::uint64_t value) {
    WriteUInt32(static_cast<std::uint32_t>(value));
    WriteUInt32(static_cast<std::uint32_t>(value >> 32));
}

void CRecordStream::WriteGuid(const GUID& guid) {
    auto bytes = GuidToBytes(guid);
    m_file.Write(bytes.data(), bytes.size());
}

void CRecordStream::WriteText(const std::string& text) {
    WriteUInt32(static_cast<std::uint32_t>(text.size()));
    if (!text.empty())
        m_file.Write(text.data(), text.size());
}

bool CRecordStream::ReadExactly(void* buffer, std::size_t count) {
    if (m_failed)
        return false;
    return m_file.Read(buffer, count) == count;
}

void CRecordStream::ReadUInt32(std::uint32_t& value) {
    std::uint8_t b[4];
    if (!ReadExactly(b, sizeof b))
        return;
    value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void CRecordStream::ReadInt32(std::int32_t& value) {
    auto raw = static_cast<std::uint32_t>(value);
    ReadUInt32(raw);
    value = static_cast<std::int32_t>(raw);
}

void CRecordStream::ReadFileTime(std::uint64_t& value) {
    std::uint8_t b[8];
    if (!ReadExactly(b, sizeof b))
        return;
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | b[i];
    value = v;
}

void CRecordStream::ReadGuid(GUID& guid) {
    std::uint8_t b[kGuidBytes];
    if (ReadExactly(b, sizeof b))
        guid = GuidFromBytes(b);
}

void CRecordStream::ReadText(std::string& text) {
    std::uint32_t count = 0;
    std::uint8_t b[4];
    if (!ReadExactly(b, sizeof b)) {
        if (!m_failed)
            text.clear();
        return;
    }
    count = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    std::uint64_t position = m_file.GetPosition();
    std::uint64_t length = m_file.GetLength();
    std::uint64_t left = position < length ? length - position : 0;
    if (count > left) {
        m_failed = true;
        return;
    }
    text.assign(count, '\0');
    if (count)
        m_file.Read(text.data(), count);
}
