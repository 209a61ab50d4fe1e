#pragma once

// Owns the last statement formatted by the engine's formatter (%d, %s, %q, %Q ...).
class CSQLiteBuffer {
public:
    CSQLiteBuffer() = default;
    ~CSQLiteBuffer();
    CSQLiteBuffer(const CSQLiteBuffer&) = delete;
    CSQLiteBuffer& operator=(const CSQLiteBuffer&) = delete;

    // Replaces the text by the formatting of format; returns it (null when out of memory).
    const char* Format(const char* format, ...);
    // The stored text, null when empty; valid until the next Format or destruction.
    const char* GetText() const { return m_text; }
    operator const char*() const { return m_text; }

private:
    void Free();

    char* m_text = nullptr;
};
