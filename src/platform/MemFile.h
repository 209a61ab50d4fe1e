#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

// Thrown by CMemFile for a seek before the start or a length it cannot hold.
class CMemFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A seekable in-memory file. Payloads are serialised, encrypted and decrypted through it, so
// it often holds plaintext: every buffer it lets go of (on growth, SetLength, Close or
// destruction) is wiped first. Its capacity is always a whole number of grow steps.
class CMemFile {
public:
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    static constexpr std::size_t kDefaultGrowBytes = 1024;

    explicit CMemFile(std::size_t growBytes = kDefaultGrowBytes);
    // A file holding a copy of length bytes, positioned at its start.
    CMemFile(const void* bytes, std::size_t length, std::size_t growBytes = kDefaultGrowBytes);
    virtual ~CMemFile();

    CMemFile(const CMemFile&) = delete;
    CMemFile& operator=(const CMemFile&) = delete;
    CMemFile(CMemFile&& other) noexcept;
    CMemFile& operator=(CMemFile&& other) noexcept;

    // Copies up to count bytes from the current position; returns how many were copied
    // (0 at or past the end).
    std::size_t Read(void* buffer, std::size_t count);
    // Writes count bytes at the current position, growing the file as needed; a position past
    // the end is filled up with zero bytes first.
    void Write(const void* buffer, std::size_t count);

    // Moves the position and returns the new one. A position past the end is allowed; one
    // before the start throws CMemFileException and leaves the position unchanged.
    std::uint64_t Seek(std::int64_t offset, SeekPosition from);
    void SeekToBegin() { m_position = 0; }
    std::uint64_t SeekToEnd() { return m_position = m_length; }

    std::uint64_t GetPosition() const { return m_position; }
    std::uint64_t GetLength() const { return m_length; }
    // Cuts or extends (with zero bytes) the file; the position is pulled back to the new end
    // when it lay beyond it.
    void SetLength(std::uint64_t length);
    // Makes room for length bytes without changing the length.
    void Reserve(std::size_t length);

    // The file's bytes (GetLength() of them); null while the file is empty and has never grown.
    // Valid until the next Write, SetLength, Reserve or Close.
    const std::uint8_t* GetData() const { return m_buffer; }
    std::uint8_t* GetData() { return m_buffer; }

    // Wipes and frees the contents; the file is then empty, at position 0.
    void Close();

private:
    void Grow(std::size_t needed);
    void Wipe();

    std::uint8_t* m_buffer = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_length = 0;
    std::size_t m_position = 0;
    std::size_t m_growBytes;
};
