#include "storage/SQLiteDatabase.h"

#include "storage/SQLiteCursor.h"
#include "storage/SQLiteEngine.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <new>

namespace {

void DiscardStatement(sqlite_vm* vm) {
    char* error = nullptr;
    SQLiteEngine().finalize(vm, &error);
    TakeEngineMessage(error, nullptr);
}

constexpr const char kNotOpen[] = "Database not open";
constexpr const char kNoStatement[] = "Error creating cursor. Out of memory.";

} // namespace

CSQLiteDatabase::~CSQLiteDatabase() {
    Close();
}

int CSQLiteDatabase::Open(const std::string& path) {
    Close();
    char* error = nullptr;
    sqlite* db = SQLiteEngine().open(path.c_str(), 0, &error);
    if (!db)
        throw CSQLiteException(0, TakeEngineMessage(error, "unable to open database"));
    TakeEngineMessage(error, nullptr);
    m_db = db;
    return 1;
}

void CSQLiteDatabase::Close() {
    // The engine keeps a connection (and its file locks) alive while a statement is not
    // finalized, so the statements of cursors still open are finalized first.
    while (m_firstCursor)
        m_firstCursor->Detach();
    if (m_db) {
        SQLiteEngine().close(m_db);
        m_db = nullptr;
    }
}

void CSQLiteDatabase::Release() {
    delete this;
}

void CSQLiteDatabase::Execute(const char* sql) {
    if (!m_db)
        throw CSQLiteException(0, kNotOpen);
    if (!sql)
        throw CSQLiteException(SQLITE_NOMEM, "Out of memory");
    char* error = nullptr;
    const int result = SQLiteEngine().exec(m_db, sql, nullptr, nullptr, &error);
    if (result != SQLITE_OK)
        throw CSQLiteException(result, TakeEngineMessage(error, DefaultEngineMessage(result)));
    // Some statements (VACUUM against a locked file) answer success with an error text;
    // nothing was done then, so it must not pass for success.
    if (error)
        throw CSQLiteException(SQLITE_ERROR, TakeEngineMessage(error, nullptr));
}

CKivCursor* CSQLiteDatabase::Query(const char* sql) {
    if (!m_db)
        throw CSQLiteException(0, kNotOpen);
    if (!sql)
        throw CSQLiteException(SQLITE_ERROR, kNoStatement);
    sqlite_vm* vm = nullptr;
    const char* tail = nullptr;
    char* error = nullptr;
    const int result = SQLiteEngine().compile(m_db, sql, &tail, &vm, &error);
    if (result != SQLITE_OK) {
        if (vm)
            DiscardStatement(vm);
        throw CSQLiteException(result, TakeEngineMessage(error, DefaultEngineMessage(result)));
    }
    TakeEngineMessage(error, nullptr);
    if (!vm)
        throw CSQLiteException(SQLITE_ERROR, kNoStatement);
    auto* cursor = new (std::nothrow) CSQLiteCursor(this, vm);
    if (!cursor)
        DiscardStatement(vm);
    return cursor;
}

int CSQLiteDatabase::GetLastInsertId() {
    return m_db ? SQLiteEngine().lastInsertRowid(m_db) : 0;
}

void CSQLiteDatabase::BeginTransaction() {
    Execute(tx::sql::kBeginTransaction);
}

void CSQLiteDatabase::CommitTransaction() {
    Execute(tx::sql::kCommitTransaction);
}

void CSQLiteDatabase::RollbackTransaction() {
    Execute(tx::sql::kRollbackTransaction);
}
