#pragma once

#include "storage/KivCursor.h"

struct sqlite_vm;
class CSQLiteDatabase;

// CKivCursor over one compiled statement of the engine.
class CSQLiteCursor : public CKivCursor {
public:
    // Takes the statement; registers with the connection so that closing it finalizes us.
    CSQLiteCursor(CSQLiteDatabase* database, sqlite_vm* vm);
    ~CSQLiteCursor() override;
    CSQLiteCursor(const CSQLiteCursor&) = delete;
    CSQLiteCursor& operator=(const CSQLiteCursor&) = delete;

    // How often a busy step is repeated after the first attempt.
    static constexpr int kBusyRetries = 10;

    bool IsEOF() override { return m_status != 0; }
    int Fetch(CRow*& row) override;
    int Close() override;

    // 0 while rows may follow, 1 when done, else the failing code.
    int GetStatus() const { return m_status; }

private:
    friend class CSQLiteDatabase;
    int Finalize(char** errorText);
    void Unlink();
    // The connection is closing: finalize now and forget it.
    void Detach();

    CSQLiteDatabase* m_database;
    sqlite_vm* m_vm;
    int m_status = 0;
    CSQLiteCursor* m_prev = nullptr;
    CSQLiteCursor* m_next = nullptr;
};
