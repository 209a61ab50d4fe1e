#pragma once

#include "storage/KivDatabase.h"

#include <cstdint>

class CSQLiteBinary;

// One value of a row, borrowed from the row's arrays.
class CField {
public:
    virtual ~CField() = default;

    virtual const char* GetName() = 0;
    // SQL NULL reads as 0.
    virtual double AsDouble() = 0;
    virtual int AsInt() = 0;
    virtual std::int64_t AsInt64() = 0;
    // The text as the engine gave it; null for SQL NULL.
    virtual const char* AsString() = 0;
    // A new byte string holding the decoded value; empty for SQL NULL or malformed text.
    virtual CSQLiteBinary* AsBinary() = 0;
    virtual void Release() = 0;
};

using FieldPtr = std::unique_ptr<CField, CReleaseDeleter>;
using BinaryPtr = std::unique_ptr<CSQLiteBinary, CReleaseDeleter>;
