#pragma once

#include <functional>

class CKivDatabase;

// A database transaction that can be nested. The database layer keeps no nesting count, so
// the model does: the first scope on a connection begins the transaction and the outermost
// one ends it; inner scopes join it. That lets a caller run many document operations (for
// example an import) all-or-nothing by holding a scope around them.
//
// A scope that ends without Commit rolls back when it is the outermost; when it joined, it
// marks the whole transaction as failed, and the outermost Commit then rolls back instead.
class CTransactionScope {
public:
    // Begins a transaction unless a scope is already open on db. Throws CSQLiteException when
    // the begin fails.
    explicit CTransactionScope(CKivDatabase& db);
    ~CTransactionScope();
    CTransactionScope(const CTransactionScope&) = delete;
    CTransactionScope& operator=(const CTransactionScope&) = delete;

    // Outermost: commits and returns true, or rolls back and returns false when an inner scope
    // failed; a failing commit throws CSQLiteException (the destructor then rolls back).
    // Joined: returns false when an inner scope has failed already, else true.
    bool Commit();
    // Ends the scope without committing (same as destruction without Commit).
    void Rollback();

    bool IsJoined() const { return m_joined; }
    // True while some scope is open on db.
    static bool IsActive(const CKivDatabase& db);
    // Runs action once the outermost scope on db has committed (dropped on a rollback); with
    // no scope open it runs at once.
    static void AfterCommit(const CKivDatabase& db, std::function<void()> action);

private:
    void End(bool commit);

    CKivDatabase& m_db;
    bool m_joined = false;
    bool m_done = false;
};
