#pragma once

#include "storage/KivDatabase.h"

struct sqlite;
class CSQLiteCursor;

// CKivDatabase over the engine's C interface. Created closed.
class CSQLiteDatabase : public CKivDatabase {
public:
    CSQLiteDatabase() = default;
    ~CSQLiteDatabase() override;
    CSQLiteDatabase(const CSQLiteDatabase&) = delete;
    CSQLiteDatabase& operator=(const CSQLiteDatabase&) = delete;

    int Open(const std::string& path) override;
    // Finalizes the statements of cursors still open first, so the engine really closes
    // the file and drops its locks.
    void Close() override;
    void Release() override;
    void Execute(const char* sql) override;
    CKivCursor* Query(const char* sql) override;
    int GetLastInsertId() override;
    void BeginTransaction() override;
    void CommitTransaction() override;
    void RollbackTransaction() override;

    bool IsOpen() const { return m_db != nullptr; }

private:
    friend class CSQLiteCursor;

    sqlite* m_db = nullptr;
    // Open cursors, linked through the cursors themselves so that registering never fails.
    CSQLiteCursor* m_firstCursor = nullptr;
};
