#include "storage/SQLiteRow.h"

#include "storage/SQLiteEngine.h"
#include "storage/SQLiteException.h"
#include "storage/SQLiteField.h"

CField* CSQLiteRow::GetField(int index) {
    // Reading past the engine's arrays would read foreign memory.
    if (index < 0 || index >= m_count || !m_names)
        throw CSQLiteException(SQLITE_RANGE, "column index out of range");
    return new CSQLiteField(m_names[index], m_values ? m_values[index] : nullptr);
}
