#include "storage/SQLiteCursor.h"

#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteEngine.h"
#include "storage/SQLiteException.h"
#include "storage/SQLiteRow.h"

#include <new>

CSQLiteCursor::CSQLiteCursor(CSQLiteDatabase* database, sqlite_vm* vm)
    : m_database(database), m_vm(vm) {
    if (m_database) {
        m_next = m_database->m_firstCursor;
        if (m_next)
            m_next->m_prev = this;
        m_database->m_firstCursor = this;
    }
}

CSQLiteCursor::~CSQLiteCursor() {
    if (m_vm) {
        char* error = nullptr;
        Finalize(&error);
        TakeEngineMessage(error, nullptr);
    }
    Unlink();
}

int CSQLiteCursor::Fetch(CRow*& row) {
    row = nullptr;
    // Done stays done: the engine would answer a further step with a misuse error.
    if (m_status == 1)
        return 1;
    // Stepping a finalized statement would hand the engine a freed handle.
    if (!m_vm)
        throw CSQLiteException(SQLITE_MISUSE, DefaultEngineMessage(SQLITE_MISUSE));

    int count = 0;
    const char** values = nullptr;
    const char** names = nullptr;
    int result = SQLITE_BUSY;
    for (int attempt = 0; attempt <= kBusyRetries && result == SQLITE_BUSY; ++attempt)
        result = SQLiteEngine().step(m_vm, &count, &values, &names);

    switch (result) {
    case SQLITE_BUSY:
        throw CSQLiteException(SQLITE_BUSY, "SQL server busy");
    case SQLITE_ROW:
        row = new (std::nothrow) CSQLiteRow(count, values, names);
        m_status = 0;
        return 0;
    case SQLITE_DONE:
        m_status = 1;
        return 1;
    default: {
        char* error = nullptr;
        const int finalized = Finalize(&error);
        // The real failure comes from the finalize; should it report none, keep the step's
        // code so that the cursor still reads as ended.
        m_status = finalized != SQLITE_OK ? finalized : result;
        throw CSQLiteException(m_status, TakeEngineMessage(error, DefaultEngineMessage(m_status)));
    }
    }
}

int CSQLiteCursor::Close() {
    int result = SQLITE_OK;
    if (m_vm) {
        char* error = nullptr;
        result = Finalize(&error);
        TakeEngineMessage(error, nullptr);
    }
    delete this;
    return result;
}

int CSQLiteCursor::Finalize(char** errorText) {
    sqlite_vm* vm = m_vm;
    m_vm = nullptr;
    return SQLiteEngine().finalize(vm, errorText);
}

void CSQLiteCursor::Unlink() {
    if (!m_database)
        return;
    if (m_prev)
        m_prev->m_next = m_next;
    else
        m_database->m_firstCursor = m_next;
    if (m_next)
        m_next->m_prev = m_prev;
    m_prev = m_next = nullptr;
    m_database = nullptr;
}

void CSQLiteCursor::Detach() {
    if (m_vm) {
        char* error = nullptr;
        Finalize(&error);
        TakeEngineMessage(error, nullptr);
        if (m_status == 0)
            m_status = SQLITE_MISUSE;
    }
    Unlink();
}
