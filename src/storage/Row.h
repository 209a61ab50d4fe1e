#pragma once

#include "storage/KivDatabase.h"

class CField;

// One result row. It borrows the engine's arrays: it and its fields are valid only until
// the cursor steps again or is closed.
class CRow {
public:
    virtual ~CRow() = default;

    // A new field for column index (0-based); throws CSQLiteException when out of range.
    virtual CField* GetField(int index) = 0;
    virtual int GetFieldCount() = 0;
    virtual void Release() = 0;
};

using RowPtr = std::unique_ptr<CRow, CReleaseDeleter>;
