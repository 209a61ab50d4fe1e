#include "model/TransactionScope.h"
#include "storage/KivDatabase.h"
#include "storage/SQLiteException.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the transaction statements it is asked to run.
class LogDatabase : public CKivDatabase {
public:
    int Open(const std::string&) override { return 1; }
    void Close() override {}
    void Release() override {}
    void Execute(const char* sql) override { log.push_back(sql); }
    CKivCursor* Query(const char*) override { return nullptr; }
    int GetLastInsertId() override { return 0; }
    void BeginTransaction() override {
        if (failBegin)
            throw CSQLiteException(1, "cannot begin");
        log.push_back("begin");
    }
    void CommitTransaction() override {
        if (failCommit)
            throw CSQLiteException(1, "cannot commit");
        log.push_back("commit");
    }
    void RollbackTransaction() override { log.push_back("rollback"); }

    std::vector<std::string> log;
    bool failBegin = false;
    bool failCommit = false;
};

using Log = std::vector<std::string>;

TEST(TransactionScope, InnerScopesJoinTheOuterOne) {
    LogDatabase db;
    {
        CTransactionScope outer(db);
        EXPECT_FALSE(outer.IsJoined());
        {
            CTransactionScope inner(db);
            EXPECT_TRUE(inner.IsJoined());
            EXPECT_TRUE(inner.Commit());
        }
        EXPECT_TRUE(CTransactionScope::IsActive(db));
        EXPECT_TRUE(outer.Commit());
    }
    EXPECT_EQ(db.log, (Log{"begin", "commit"}));
    EXPECT_FALSE(CTransactionScope::IsActive(db));
}

TEST(TransactionScope, FailedInnerScopeMakesOuterRollBack) {
    LogDatabase db;
    {
        CTransactionScope outer(db);
        { CTransactionScope inner(db); }
        EXPECT_FALSE(outer.Commit());
    }
    EXPECT_EQ(db.log, (Log{"begin", "rollback"}));
    // The failure belonged to that transaction only.
    {
        CTransactionScope next(db);
        EXPECT_TRUE(next.Commit());
    }
    EXPECT_EQ(db.log.back(), "commit");
}

TEST(TransactionScope, UncommittedOuterRollsBackAndFailingCommitToo) {
    LogDatabase db;
    { CTransactionScope scope(db); }
    EXPECT_EQ(db.log, (Log{"begin", "rollback"}));
    db.log.clear();
    db.failCommit = true;
    {
        CTransactionScope scope(db);
        EXPECT_THROW(scope.Commit(), CSQLiteException);
    }
    EXPECT_EQ(db.log, (Log{"begin", "rollback"}));
    EXPECT_FALSE(CTransactionScope::IsActive(db));
}

TEST(TransactionScope, AfterCommitWaitsForTheOutermostCommitAndIsDroppedOnRollback) {
    LogDatabase db;
    auto note = [&db](const char* what) { return [&db, what] { db.log.push_back(what); }; };
    CTransactionScope::AfterCommit(db, note("at once"));
    {
        CTransactionScope outer(db);
        {
            CTransactionScope inner(db);
            CTransactionScope::AfterCommit(db, note("after"));
            EXPECT_TRUE(inner.Commit());
        }
        EXPECT_EQ(db.log, (Log{"at once", "begin"}));
        EXPECT_TRUE(outer.Commit());
    }
    EXPECT_EQ(db.log, (Log{"at once", "begin", "commit", "after"}));
    db.log.clear();
    {
        CTransactionScope scope(db);
        CTransactionScope::AfterCommit(db, note("never"));
    }
    {
        CTransactionScope scope(db);
        EXPECT_TRUE(scope.Commit());
    }
    EXPECT_EQ(db.log, (Log{"begin", "rollback", "begin", "commit"}));
}

} // namespace
