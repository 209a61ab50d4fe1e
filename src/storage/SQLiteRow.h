#pragma once

#include "storage/Row.h"

// CRow over the engine's value and name arrays of the current step (not copied).
class CSQLiteRow : public CRow {
public:
    CSQLiteRow(int count, const char** values, const char** names)
        : m_count(count), m_values(values), m_names(names) {}

    CField* GetField(int index) override;
    int GetFieldCount() override { return m_count; }
    void Release() override { delete this; }

private:
    int m_count;
    const char** m_values;
    const char** m_names;
};
