// Behaviour that needs the real file B-tree: locks between connections, journals, limits.
#include <gtest/gtest.h>

#include <filesystem>

#include "SqlTestUtil.h"
#include "common/Fixtures.h"
#include "sqlite2/sqlite.h"

using namespace sqltest;
namespace fs = std::filesystem;

namespace {

class RealFile : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        m_path = m_dir / "few_rows.db";
        fs::copy_file(txtest::FixturesDir() / "sqlite2" / "few_rows.db", m_path);
        fs::permissions(m_path, fs::perms::owner_read | fs::perms::owner_write);
        m_db = Open();
        ASSERT_NE(m_db, nullptr);
    }
    void TearDown() override {
        if (m_db)
            sqlite_close(m_db);
    }
    sqlite* Open() { return sqlite_open(m_path.c_str(), 0, nullptr); }
    std::string IntegrityOf(sqlite* db) {
        Result r = Query(db, "PRAGMA integrity_check");
        return r.rows.empty() ? r.error : *r.rows[0][0];
    }
    txtest::ScratchDir m_dir;
    fs::path m_path;
    sqlite* m_db = nullptr;
};

TEST_F(RealFile, OversizedPartLeavesTheIndexesClean) {
    std::string big(1048557, 'q');
    for (bool txn : {true, false}) {
        if (txn) {
            ASSERT_EQ(Exec(m_db, "BEGIN TRANSACTION ON CONFLICT ROLLBACK").first, 0);
        }
        auto [rc, msg] = Exec(
            m_db, "insert into tresorix_data (id_parent, part, data) values (9, 1, '" + big + "')");
        EXPECT_EQ(rc, 18);
        EXPECT_EQ(msg, "too much data for one table row");
        EXPECT_EQ(Exec(m_db, "insert into tresorix_data (id_parent, part, data) values (9, 2, '" +
                                 big.substr(1) + "')")
                      .first,
                  0);
        if (txn) {
            ASSERT_EQ(Exec(m_db, "COMMIT TRANSACTION").first, 0);
        }
        EXPECT_EQ(IntegrityOf(m_db), "ok");
    }
    EXPECT_EQ(Column(Query(m_db, "select count(*) from tresorix_data where id_parent=9")),
              std::vector<std::string>{"2"});
}

TEST_F(RealFile, CloseWithAnOpenQueryReleasesTheFile) {
    sqlite_vm* vm = nullptr;
    ASSERT_EQ(sqlite_compile(m_db, "select id from tresorix_main", nullptr, &vm, nullptr), 0);
    int n = 0;
    const char** v = nullptr;
    const char** names = nullptr;
    ASSERT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ROW);
    sqlite* other = Open();
    // The unfinished query holds the read lock.
    EXPECT_EQ(Exec(other, "update tresorix_main set data = 'x' where id = 1").first, SQLITE_BUSY);
    sqlite_close(m_db);
    m_db = nullptr;
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_MISUSE);
    EXPECT_EQ(sqlite_finalize(vm, nullptr), SQLITE_MISUSE);
    EXPECT_EQ(Exec(other, "update tresorix_main set data = 'x' where id = 1").first, 0);
    sqlite_close(other);
}

TEST_F(RealFile, VacuumBlockedByAReaderFailsVisibly) {
    sqlite* other = Open();
    sqlite_vm* vm = nullptr;
    ASSERT_EQ(sqlite_compile(other, "select id from tresorix_main", nullptr, &vm, nullptr), 0);
    int n = 0;
    const char** v = nullptr;
    const char** names = nullptr;
    ASSERT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ROW);
    std::string before = txtest::ReadFile(m_path);
    EXPECT_EQ(Exec(m_db, "vacuum tresorix_main"),
              std::make_pair(SQLITE_BUSY, std::string("database is locked")));
    EXPECT_EQ(txtest::ReadFile(m_path), before);
    sqlite_finalize(vm, nullptr);
    sqlite_close(other);
    EXPECT_EQ(Exec(m_db, "vacuum tresorix_main").first, 0);
    EXPECT_EQ(IntegrityOf(m_db), "ok");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(m_dir.Path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1); // no temporary copy or journal left behind
}

TEST_F(RealFile, OtherConnectionsSeeTheSchemaChangeOfAVacuum) {
    sqlite* other = Open();
    ASSERT_EQ(Exec(m_db, "delete from tresorix_data where id_parent = 6").first, 0);
    ASSERT_EQ(Exec(m_db, "vacuum tresorix_data").first, 0);
    // A statement compiled on the old schema fails once with 17; compiling again works.
    sqlite_vm* vm = nullptr;
    ASSERT_EQ(sqlite_compile(other, "select id from tresorix_data", nullptr, &vm, nullptr), 0);
    int n = 0;
    const char** v = nullptr;
    const char** names = nullptr;
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ERROR);
    char* err = nullptr;
    EXPECT_EQ(sqlite_finalize(vm, &err), SQLITE_SCHEMA);
    EXPECT_STREQ(err, "database schema has changed");
    sqlite_freemem(err);
    EXPECT_EQ(Column(Query(other, "select id from tresorix_data")),
              (std::vector<std::string>{"13", "14"}));
    ASSERT_EQ(Exec(m_db, "vacuum").first, 0);
    // sqlite_exec compiles again by itself.
    EXPECT_EQ(Exec(other, "update tresorix_data set data = 'z' where id = 13").first, 0);
    EXPECT_EQ(
        Column(Query(m_db, "select data from tresorix_data where id_parent = 8 order by part asc")),
        (std::vector<std::string>{"second-0", "z"}));
    sqlite_close(other);
    EXPECT_EQ(IntegrityOf(m_db), "ok");
}

TEST_F(RealFile, CloseRollsBackAnOpenTransaction) {
    ASSERT_EQ(Exec(m_db, "BEGIN TRANSACTION ON CONFLICT ROLLBACK").first, 0);
    EXPECT_TRUE(fs::exists(m_path.string() + "-journal"));
    ASSERT_EQ(Exec(m_db, "delete from TRESORIX_MAIN where id=3").first, 0);
    sqlite_close(m_db);
    EXPECT_FALSE(fs::exists(m_path.string() + "-journal"));
    m_db = Open();
    EXPECT_EQ(Column(Query(m_db, "select id from tresorix_main where id_parent = 1")),
              (std::vector<std::string>{"3", "4", "5"}));
}

TEST_F(RealFile, ConstraintMessages) {
    ASSERT_EQ(Exec(m_db, "CREATE TABLE T (A INTEGER NOT NULL, B CHAR(4) UNIQUE, C)").first, 0);
    EXPECT_EQ(Exec(m_db, "insert into t (b) values ('x')"),
              std::make_pair(19, std::string("T.A may not be NULL")));
    EXPECT_EQ(Exec(m_db, "insert into t (a, b) values (1, 'x')").first, 0);
    EXPECT_EQ(Exec(m_db, "insert into t (a, b) values (2, 'x')"),
              std::make_pair(19, std::string("column B is not unique")));
    EXPECT_EQ(Exec(m_db, "insert into t (a, b) values (3, NULL)").first, 0);
    EXPECT_EQ(Exec(m_db, "insert into t (a, b) values (4, NULL)").first, 0);
    EXPECT_EQ(Exec(m_db, "insert into t values (5, 'y', 'z')").first, 0);
    EXPECT_EQ(Exec(m_db, "insert into t values (5, 'y')").second,
              "table T has 3 columns but 2 values were supplied");
    EXPECT_EQ(Exec(m_db, "update t set b = 'x' where a = 5").first, 19);
    EXPECT_EQ(Column(Query(m_db, "select count(*) from t")), std::vector<std::string>{"4"});
    Result s = Query(m_db, "select c, rowid from t where a = 5");
    EXPECT_EQ(s.types, (std::vector<std::optional<std::string>>{std::nullopt, "INTEGER"}));
    EXPECT_EQ(Column(s), std::vector<std::string>{"z"});
    EXPECT_EQ(IntegrityOf(m_db), "ok");
    // Another connection sees the new table after its cached schema is found stale.
    sqlite* other = Open();
    EXPECT_EQ(Column(Query(other, "select count(*) from t")), std::vector<std::string>{"4"});
    EXPECT_EQ(Exec(m_db, "DROP TABLE T").first, 0);
    EXPECT_EQ(Exec(other, "insert into t (a) values (1)").second, "no such table: t");
    sqlite_close(other);
    EXPECT_EQ(IntegrityOf(m_db), "ok");
}

} // namespace
