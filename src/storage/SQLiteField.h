#pragma once

#include "storage/Field.h"

// CField over one borrowed column name and value; the value is null for SQL NULL.
class CSQLiteField : public CField {
public:
    CSQLiteField(const char* name, const char* value) : m_name(name), m_value(value) {}

    const char* GetName() override { return m_name; }
    double AsDouble() override;
    // Leading decimal digits with optional sign, 0 when none; saturates at the 32-bit range.
    int AsInt() override;
    std::int64_t AsInt64() override { return AsInt(); }
    const char* AsString() override { return m_value; }
    CSQLiteBinary* AsBinary() override;
    void Release() override { delete this; }

private:
    const char* m_name;
    const char* m_value;
};
