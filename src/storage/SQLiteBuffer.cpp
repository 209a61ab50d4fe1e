#include "storage/SQLiteBuffer.h"

#include "storage/SQLiteEngine.h"

CSQLiteBuffer::~CSQLiteBuffer() {
    Free();
}

const char* CSQLiteBuffer::Format(const char* format, ...) {
    Free();
    if (!format)
        return nullptr;
    va_list args;
    va_start(args, format);
    m_text = SQLiteEngine().vmprintf(format, args);
    va_end(args);
    return m_text;
}

void CSQLiteBuffer::Free() {
    if (m_text) {
        SQLiteEngine().freemem(m_text);
        m_text = nullptr;
    }
}
