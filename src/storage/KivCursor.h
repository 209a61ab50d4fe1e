#pragma once

#include <memory>

class CRow;

// Steps through the rows of one query.
class CKivCursor {
public:
    virtual ~CKivCursor() = default;

    // True once the last row has been passed or a step failed.
    virtual bool IsEOF() = 0;
    // Steps once: 0 with a new row (which may be null when it could not be allocated),
    // 1 with a null row when done; throws CSQLiteException on failure.
    virtual int Fetch(CRow*& row) = 0;
    // Finalizes the statement and destroys the cursor; returns the engine's finalize result.
    virtual int Close() = 0;
};

struct CCloseDeleter {
    void operator()(CKivCursor* cursor) const {
        if (cursor)
            cursor->Close();
    }
};
using CursorPtr = std::unique_ptr<CKivCursor, CCloseDeleter>;
