#include "platform/MemFile.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string.h>
#include <utility>

// Invariant: the bytes between m_length and m_capacity are zero, so extending the file never
// exposes old contents and needs no fill.

CMemFile::CMemFile(std::size_t growBytes)
    : m_growBytes(growBytes ? growBytes : kDefaultGrowBytes) {}

CMemFile::CMemFile(const void* bytes, std::size_t length, std::size_t growBytes)
    : CMemFile(growBytes) {
    if (bytes && length) {
        Write(bytes, length);
        m_position = 0;
    }
}

CMemFile::~CMemFile() {
    Close();
}

CMemFile::CMemFile(CMemFile&& other) noexcept
    : m_buffer(std::exchange(other.m_buffer, nullptr)),
      m_capacity(std::exchange(other.m_capacity, 0)), m_length(std::exchange(other.m_length, 0)),
      m_position(std::exchange(other.m_position, 0)), m_growBytes(other.m_growBytes) {}

CMemFile& CMemFile::operator=(CMemFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_buffer = std::exchange(other.m_buffer, nullptr);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_length = std::exchange(other.m_length, 0);
        m_position = std::exchange(other.m_position, 0);
        m_growBytes = other.m_growBytes;
    }
    return *this;
}

std::size_t CMemFile::Read(void* buffer, std::size_t count) {
    if (m_position >= m_length || count == 0)
        return 0;
    std::size_t available = m_length - m_position;
    if (count > available)
        count = available;
    std::memcpy(buffer, m_buffer + m_position, count);
    m_position += count;
    return count;
}

void CMemFile::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return;
    if (count > std::numeric_limits<std::size_t>::max() - m_position)
        throw CMemFileException("Memory file too large");
    std::size_t endPosition = m_position + count;
    if (endPosition > m_capacity)
        Grow(endPosition);
    std::memmove(m_buffer + m_position, buffer, count);
    m_position = endPosition;
    if (endPosition > m_length)
        m_length = endPosition;
}

std::uint64_t CMemFile::Seek(std::int64_t offset, SeekPosition from) {
    std::int64_t base = 0;
    if (from == current)
        base = static_cast<std::int64_t>(m_position);
    else if (from == end)
        base = static_cast<std::int64_t>(m_length);
    if ((offset < 0 && base + offset < 0) ||
        (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset))
        throw CMemFileException("Seek out of range");
    m_position = static_cast<std::size_t>(base + offset);
    return m_position;
}

void CMemFile::SetLength(std::uint64_t length) {
    if (length > std::numeric_limits<std::size_t>::max())
        throw CMemFileException("Memory file too large");
    std::size_t newLength = static_cast<std::size_t>(length);
    if (newLength > m_capacity)
        Grow(newLength);
    if (newLength < m_length)
        explicit_bzero(m_buffer + newLength, m_length - newLength);
    m_length = newLength;
    if (m_position > m_length)
        m_position = m_length;
}

void CMemFile::Reserve(std::size_t length) {
    if (length > m_capacity)
        Grow(length);
}

void CMemFile::Close() {
    Wipe();
    m_length = 0;
    m_position = 0;
}

// Grows to a whole number of steps, at least half again the old capacity, so that streams
// written in small pieces are not copied (and wiped) once per step.
void CMemFile::Grow(std::size_t needed) {
    std::size_t target = needed;
    if (m_capacity <= std::numeric_limits<std::size_t>::max() / 3 * 2) {
        std::size_t geometric = m_capacity + m_capacity / 2;
        if (geometric > target)
            target = geometric;
    }
    std::size_t steps = target / m_growBytes + (target % m_growBytes ? 1 : 0);
    if (steps > std::numeric_limits<std::size_t>::max() / m_growBytes)
        throw CMemFileException("Memory file too large");
    std::size_t capacity = steps * m_growBytes;
    auto* buffer = static_cast<std::uint8_t*>(std::calloc(capacity, 1));
    if (!buffer)
        throw CMemFileException("Out of memory");
    if (m_length)
        std::memcpy(buffer, m_buffer, m_length);
    Wipe();
    m_buffer = buffer;
    m_capacity = capacity;
}

void CMemFile::Wipe() {
    if (m_buffer) {
        explicit_bzero(m_buffer, m_length);
        std::free(m_buffer);
    }
    m_buffer = nullptr;
    m_capacity = 0;
}
