// SQL behaviour of the engine over the in-memory B-tree.
#include <gtest/gtest.h>

#include <string>

#include "FakeBtree.h"
#include "SqlTestUtil.h"
#include "sqlite2/OpenWith.h"
#include "sqlite2/Record.h"

using namespace sqltest;

namespace {

const char* const kSchema[] = {
    "BEGIN TRANSACTION ON CONFLICT ROLLBACK",
    "CREATE TABLE TRESORIX_TRESORIX (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, USERNAME CHAR(255), "
    "PASSWORD_REQUIRED CHAR(1), SECRET_WORD VARCHAR, DATA VARCHAR);",
    "CREATE TABLE TRESORIX_MAIN (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, ID_PARENT INTEGER, "
    "EXPANDED CHAR(1),DATA VARCHAR);",
    "CREATE INDEX TRESORIX_MAIN_ID_PARENT ON TRESORIX_MAIN (ID_PARENT);",
    "INSERT INTO TRESORIX_TRESORIX (ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, "
    "DATA)\t\t\t\t\t\t\t\t\t\t\t\t\t\tVALUES (1, \"\", 0, \"\", \"\");",
    "CREATE TABLE TRESORIX_DATA (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, ID_PARENT INTEGER, PART "
    "NUMERIC,  DATA VARCHAR);",
    "CREATE INDEX TRESORIX_DATA_ID_PARENT ON TRESORIX_DATA (ID_PARENT);",
    "CREATE INDEX TRESORIX_DATA_PART ON TRESORIX_DATA (PART);",
    "COMMIT TRANSACTION",
};

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        faketest::FakeFiles().clear();
        m_db = Open();
        ASSERT_NE(m_db, nullptr);
        for (const char* s : kSchema)
            ASSERT_EQ(Exec(m_db, s).first, 0) << s;
    }
    void TearDown() override {
        if (m_db)
            sqlite_close(m_db);
        faketest::FakeFiles().clear();
    }
    sqlite* Open() {
        char* err = nullptr;
        sqlite* db = sqlite2::OpenWith("/fake/vault.tpx", faketest::FakeOpener(), &err);
        sqlite_freemem(err);
        return db;
    }
    void Ok(const std::string& sql) {
        auto [rc, msg] = Exec(m_db, sql);
        ASSERT_EQ(rc, 0) << sql << ": " << msg;
    }
    int NewFolder() {
        Ok("insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)");
        return sqlite_last_insert_rowid(m_db);
    }
    faketest::FakeState& State() { return faketest::FakeFiles()["/fake/vault.tpx"]->state; }
    sqlite* m_db = nullptr;
};

TEST_F(Engine, CreationSequenceWritesTheMasterRows) {
    Result r = Query(m_db, "select * from sqlite_master");
    ASSERT_EQ(r.rc, 0) << r.error;
    EXPECT_EQ(r.names, (std::vector<std::string>{"type", "name", "tbl_name", "rootpage", "sql"}));
    EXPECT_EQ(r.types[3], "integer");
    ASSERT_EQ(r.rows.size(), 9u);
    EXPECT_EQ(Column(r, 1),
              (std::vector<std::string>{
                  "TRESORIX_TRESORIX", "(TRESORIX_TRESORIX autoindex 1)", "TRESORIX_MAIN",
                  "(TRESORIX_MAIN autoindex 1)", "TRESORIX_MAIN_ID_PARENT", "TRESORIX_DATA",
                  "(TRESORIX_DATA autoindex 1)", "TRESORIX_DATA_ID_PARENT", "TRESORIX_DATA_PART"}));
    EXPECT_FALSE(r.rows[1][4].has_value());
    EXPECT_EQ(*r.rows[5][4], "CREATE TABLE TRESORIX_DATA (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, "
                             "ID_PARENT INTEGER, PART NUMERIC,  DATA VARCHAR)");
    // The implied index's root comes before its table's.
    EXPECT_LT(std::stoi(*r.rows[1][3]), std::stoi(*r.rows[0][3]));
    EXPECT_EQ(State().meta[2], 4);
    EXPECT_NE(State().meta[1], 0);

    Result h = Query(m_db, "SELECT ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, DATA FROM "
                           "TRESORIX_TRESORIX WHERE ID=1");
    ASSERT_EQ(h.rows.size(), 1u);
    EXPECT_EQ(h.rows[0], (Row{"1", "", "0", "", ""}));
    EXPECT_EQ(h.types, (std::vector<std::optional<std::string>>{"INTEGER", "CHAR(255)", "CHAR(1)",
                                                                "VARCHAR", "VARCHAR"}));
}

TEST_F(Engine, CatalogueTranscript) {
    Ok("update tresorix_tresorix set username = 'bob', password_required = 1, secret_word = "
       "'it''s', data = 'DATA1' where id = 1");
    Ok("update tresorix_tresorix \t\t\tset username = 'bob', secret_word = NULL, "
       "\t\t\tpassword_required = 0 where id = 1");
    Result h = Query(m_db, "SELECT ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, DATA FROM "
                           "TRESORIX_TRESORIX WHERE ID=1");
    ASSERT_EQ(h.rows.size(), 1u);
    EXPECT_EQ(h.rows[0], (Row{"1", "bob", "0", std::nullopt, "DATA1"}));
    EXPECT_EQ(sqlite_last_insert_rowid(m_db), 1); // the header INSERT

    for (int i = 0; i < 5; ++i)
        NewFolder();
    Ok("update tresorix_main set id_parent=1 where id=3");
    Ok("update tresorix_main set id_parent=1 where id=4");
    Ok("update tresorix_main set id_parent=3 where id=5");
    EXPECT_EQ(NewFolder(), 6);
    Ok("update tresorix_main set id_parent=3 where id=6");
    Ok("update tresorix_main set data = 'Web' where id = 3");

    Result kids = Query(m_db, "select id from tresorix_main where id_parent = 3");
    EXPECT_EQ(kids.names, std::vector<std::string>{"id"});
    EXPECT_EQ(kids.types[0], "INTEGER");
    EXPECT_EQ(Column(kids), (std::vector<std::string>{"5", "6"}));
    Result sib = Query(m_db, "select id from tresorix_main where id_parent = (select id_parent "
                             "from tresorix_main where id = 6)");
    EXPECT_EQ(Column(sib), (std::vector<std::string>{"5", "6"}));
    Result none = Query(m_db, "select id from tresorix_main where id_parent = (select id_parent "
                              "from tresorix_main where id = 99)");
    EXPECT_TRUE(none.rows.empty());
    Result cnt = Query(m_db, "select count(*) from tresorix_main where id_parent=1");
    EXPECT_EQ(cnt.names, std::vector<std::string>{"count(*)"});
    EXPECT_EQ(cnt.types[0], "NUMERIC");
    EXPECT_EQ(Column(cnt), std::vector<std::string>{"2"});
    EXPECT_EQ(Column(Query(m_db, "select count(*) from tresorix_main where id_parent=99")),
              std::vector<std::string>{"0"});
    Result d = Query(m_db, "select data from tresorix_main where id=3");
    EXPECT_EQ(Column(d), std::vector<std::string>{"Web"});
    EXPECT_EQ(Column(Query(m_db, "select data from tresorix_main where id=4")),
              std::vector<std::string>{"<NULL>"});
    Ok("update tresorix_main set EXPANDED ='0' where id=6");
    Result e = Query(m_db, "select EXPANDED from tresorix_main where id=6");
    EXPECT_EQ(e.types[0], "CHAR(1)");
    EXPECT_EQ(Column(e), std::vector<std::string>{"0"});

    // max+1: deleting the highest id gives it out again.
    Ok("delete from TRESORIX_MAIN where id=6");
    EXPECT_EQ(NewFolder(), 6);
    EXPECT_EQ(Column(Query(m_db, "PRAGMA integrity_check")), std::vector<std::string>{"ok"});
}

TEST_F(Engine, FileParts) {
    Ok("insert into tresorix_data (id_parent, part, data) values (10, 1, 'B')");
    EXPECT_EQ(sqlite_last_insert_rowid(m_db), 1);
    Ok("insert into tresorix_data (id_parent, part, data) values (10, 0, 'A')");
    Ok("insert into tresorix_data (id_parent, part, data) values (11, 0, 'other')");
    Result r = Query(m_db, "select data from tresorix_data where id_parent = 10 order by part asc");
    EXPECT_EQ(Column(r), (std::vector<std::string>{"A", "B"}));
    Ok("delete from tresorix_data where id_parent = 10");
    EXPECT_EQ(sqlite_changes(m_db), 2);
    EXPECT_TRUE(Query(m_db, "select data from tresorix_data where id_parent = 10 order by part asc")
                    .rows.empty());
    Ok("delete from TRESORIX_DATA where id_parent=11");
    Ok("insert into tresorix_data (id_parent, part, data) values (10, 0, 'A')");
    EXPECT_EQ(sqlite_last_insert_rowid(m_db), 1); // the table was empty again
    EXPECT_EQ(Column(Query(m_db, "PRAGMA integrity_check")), std::vector<std::string>{"ok"});
}

TEST_F(Engine, OrderByPutsNumbersInNumericOrderAndTiesInReverseScanOrder) {
    const char* parts[] = {"'10'", "'9'", "'abc'", "''",   "NULL", "'1e1'",
                           "'05'", "-1",  "'1.5'", "' 5'", "'x'",  "2"};
    for (const char* p : parts)
        Ok(std::string("insert into tresorix_data (id_parent, part, data) values (2, ") + p + ", " +
           p + ")");
    Result r = Query(m_db, "select data from tresorix_data where id_parent = 2 order by part asc");
    EXPECT_EQ(Column(r), (std::vector<std::string>{"<NULL>", "-1", "1.5", "2", "05", "9", "1e1",
                                                   "10", "", " 5", "abc", "x"}));
    const char* ties[] = {"1", "0", "1", "1", "0", "2"};
    for (int i = 0; i < 6; ++i)
        Ok(std::string("insert into tresorix_data (id_parent, part, data) values (3, ") + ties[i] +
           ", 't" + std::to_string(i) + "')");
    Result t = Query(
        m_db, "select id, part, data from tresorix_data where id_parent = 3 order by part asc");
    EXPECT_EQ(Column(t, 2), (std::vector<std::string>{"t4", "t1", "t3", "t2", "t0", "t5"}));
    Result desc =
        Query(m_db, "select data from tresorix_data where id_parent = 3 order by part desc");
    EXPECT_EQ(Column(desc).front(), "t5");
    // Equality on a numeric column compares numbers: '10' and '1e1' match 10, ' 5' is no number.
    EXPECT_EQ(Column(Query(m_db, "select id from tresorix_data where part = 10")),
              (std::vector<std::string>{"1", "6"}));
    EXPECT_EQ(Column(Query(m_db, "select id from tresorix_data where part = '10'")),
              (std::vector<std::string>{"1", "6"}));
    EXPECT_EQ(Column(Query(m_db, "select id from tresorix_data where part = 5")),
              (std::vector<std::string>{"7"}));
    // Numbers sort before other texts, so every non-number is greater than 1.5.
    EXPECT_EQ(
        Column(Query(m_db, "select id from tresorix_data where part > 1.5 and id_parent = 2")),
        (std::vector<std::string>{"1", "2", "3", "4", "6", "7", "10", "11", "12"}));
}

TEST_F(Engine, RowidsFromTextAndRangeChecks) {
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values ('12', 0)").first, 0);
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values (13.0, 0)").first, 0);
    EXPECT_EQ(sqlite_last_insert_rowid(m_db), 13);
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values (12, 0)"),
              std::make_pair(19, std::string("PRIMARY KEY must be unique")));
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values (2147483648, 0)"),
              std::make_pair(20, std::string("datatype mismatch")));
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values ('x', 0)").first, 20);
    EXPECT_EQ(sqlite_last_insert_rowid(m_db), 13);
    Ok("insert into tresorix_main (ID, ID_PARENT) values (2147483647, 0)");
    int id = NewFolder();
    EXPECT_GT(id, 0);
    EXPECT_NE(id, 2147483647);
    EXPECT_EQ(Column(Query(m_db, "select count(*) from tresorix_main where id_parent=0")),
              std::vector<std::string>{"4"});
    EXPECT_EQ(Column(Query(m_db, "select id from tresorix_main where id='13'")),
              std::vector<std::string>{"13"});
    EXPECT_TRUE(Query(m_db, "select id from tresorix_main where id=' 13'").rows.empty());
    EXPECT_TRUE(Query(m_db, "select id from tresorix_main where id=13.5").rows.empty());
    // Negative literals are computed; out-of-range ones must not bring anything down.
    Ok("insert into tresorix_data (id_parent, part, data) values (-007, -1e400, -2.50)");
    EXPECT_EQ(Query(m_db, "select id_parent, data from tresorix_data where id_parent = -7").rows,
              (std::vector<Row>{Row{"-7", "-2.5"}}));
}

TEST_F(Engine, ErrorTexts) {
    auto err = [&](const std::string& sql) { return Query(m_db, sql); };
    EXPECT_EQ(err("selct * from tresorix_main").error, "near \"selct\": syntax error");
    EXPECT_EQ(err("select * from").error, "near \"from\": syntax error");
    EXPECT_EQ(err("select * from tresorix_main where").error, "near \"where\": syntax error");
    EXPECT_EQ(err("select").error, "near \"select\": syntax error");
    EXPECT_EQ(err("select * from tresorix_main garbage").error, "near \"garbage\": syntax error");
    EXPECT_EQ(err("select # from tresorix_main").error, "unrecognized token: \"#\"");
    EXPECT_EQ(err("select id from tresorix_main where id = @").error, "unrecognized token: \"@\"");
    std::string deep = "select id from tresorix_main where id = 1";
    for (int i = 0; i < 300; ++i)
        deep = "select id from tresorix_main where id = (" + deep + ")";
    EXPECT_EQ(err(deep).rc, 1);
    EXPECT_EQ(err("select id from nothing").error, "no such table: nothing");
    EXPECT_EQ(err("select bogus from tresorix_main").error, "no such column: bogus");
    EXPECT_EQ(err("select bogus from tresorix_main").rc, 1);
    EXPECT_EQ(Exec(m_db, "COMMIT TRANSACTION"),
              std::make_pair(1, std::string("cannot commit - no transaction is active")));
    EXPECT_EQ(Exec(m_db, "ROLLBACK TRANSACTION"),
              std::make_pair(1, std::string("cannot rollback - no transaction is active")));
    Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
    EXPECT_EQ(Exec(m_db, "BEGIN TRANSACTION ON CONFLICT ROLLBACK"),
              std::make_pair(1, std::string("cannot start a transaction within a transaction")));
    EXPECT_EQ(Exec(m_db, "vacuum tresorix_main"),
              std::make_pair(1, std::string("cannot VACUUM from within a transaction")));
    Ok("ROLLBACK TRANSACTION");
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values (NULL, 0)").first, 0);
    EXPECT_EQ(Exec(m_db, "update tresorix_main set nope = 1 where id = 1").second,
              "no such column: nope");
    // "" is a column when one has the name, else an empty string.
    Ok("update tresorix_main set data = \"\" where \"ID\" = 1");
    EXPECT_EQ(Column(Query(m_db, "select data from tresorix_main where id=1")),
              std::vector<std::string>{""});
}

TEST_F(Engine, CompileEdgeCases) {
    sqlite_vm* vm = reinterpret_cast<sqlite_vm*>(1);
    const char* tail = nullptr;
    char* err = nullptr;
    for (const char* empty : {"", "   ", "-- comment", "/* c */", ";;", " ; -- x"}) {
        EXPECT_EQ(sqlite_compile(m_db, empty, &tail, &vm, &err), 0) << empty;
        EXPECT_EQ(vm, nullptr);
        EXPECT_EQ(err, nullptr);
        EXPECT_EQ(*tail, '\0');
    }
    const char* two = ";;select id from tresorix_tresorix; select 1";
    ASSERT_EQ(sqlite_compile(m_db, two, &tail, &vm, &err), 0);
    ASSERT_NE(vm, nullptr);
    EXPECT_STREQ(tail, " select 1");
    int n = 0;
    const char** v = nullptr;
    const char** names = nullptr;
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ROW);
    EXPECT_STREQ(v[0], "1");
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_DONE);
    EXPECT_EQ(v, nullptr);
    EXPECT_EQ(n, 1);
    EXPECT_STREQ(names[0], "id");
    EXPECT_STREQ(names[1], "INTEGER");
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_MISUSE);
    EXPECT_EQ(sqlite_finalize(vm, &err), 0);
    EXPECT_EQ(Exec(m_db, "").first, 0);
    EXPECT_EQ(Exec(m_db, "update tresorix_main set data = 'a' where id = 1;;\n update "
                         "tresorix_main set data = 'b' where id = 2;")
                  .first,
              0);
}

TEST_F(Engine, ConflictInRollbackTransactionUndoesTheTransaction) {
    NewFolder();
    Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
    Ok("update tresorix_main set data = 'gone' where id = 1");
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values (1, 0)").first, 19);
    // Autocommit from here on; the final COMMIT has nothing to commit.
    Ok("update tresorix_main set data = 'kept' where id = 1");
    EXPECT_EQ(Exec(m_db, "COMMIT TRANSACTION").second, "cannot commit - no transaction is active");
    EXPECT_EQ(Column(Query(m_db, "select data from tresorix_main where id=1")),
              std::vector<std::string>{"kept"});

    Ok("BEGIN");
    Ok("update tresorix_main set data = 'plain' where id = 1");
    EXPECT_EQ(Exec(m_db, "insert into tresorix_main (ID, ID_PARENT) values (1, 0)").first, 19);
    Ok("COMMIT");
    EXPECT_EQ(Column(Query(m_db, "select data from tresorix_main where id=1")),
              std::vector<std::string>{"plain"});
}

TEST_F(Engine, OversizedRowLeavesNothingBehind) {
    std::string big(1048557, 'x');
    std::string ok(1048556, 'y');
    for (bool inTxn : {true, false}) {
        if (inTxn)
            Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
        auto [rc, msg] = Exec(
            m_db, "insert into tresorix_data (id_parent, part, data) values (1, 1, '" + big + "')");
        EXPECT_EQ(rc, 18);
        EXPECT_EQ(msg, "too much data for one table row");
        Ok("insert into tresorix_data (id_parent, part, data) values (1, 2, '" + ok + "')");
        auto up = Exec(m_db, "update tresorix_data set data = '" + big +
                                 "' where id = " + std::to_string(sqlite_last_insert_rowid(m_db)));
        EXPECT_EQ(up.first, 18);
        if (inTxn)
            Ok("COMMIT TRANSACTION");
        EXPECT_EQ(Column(Query(m_db, "PRAGMA integrity_check")), std::vector<std::string>{"ok"});
    }
    Result r = Query(m_db, "select data from tresorix_data where id_parent = 1 order by part asc");
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0][0]->size(), ok.size());
    int partRoot = 0;
    for (const Row& row : Query(m_db, "select * from sqlite_master").rows)
        if (*row[1] == "TRESORIX_DATA_PART")
            partRoot = std::stoi(*row[3]);
    EXPECT_EQ(State().trees[partRoot].size(), 2u);
}

TEST_F(Engine, StatementFailingMidwayIsUndoneAlone) {
    for (int i = 0; i < 4; ++i)
        Ok("insert into tresorix_data (id_parent, part, data) values (5, " + std::to_string(i) +
           ", 'p')");
    Ok("BEGIN");
    Ok("insert into tresorix_data (id_parent, part, data) values (6, 0, 'kept')");
    faketest::FakeFiles()["/fake/vault.tpx"]->failInsertsAfter = 3;
    EXPECT_EQ(Exec(m_db, "update tresorix_data set part = 9 where id_parent = 5").first, 13);
    faketest::FakeFiles()["/fake/vault.tpx"]->failInsertsAfter = -1;
    Ok("COMMIT");
    EXPECT_EQ(Column(Query(m_db, "select count(*) from tresorix_data where part = 9")),
              std::vector<std::string>{"0"});
    EXPECT_EQ(Column(Query(m_db, "select count(*) from tresorix_data where id_parent = 6")),
              std::vector<std::string>{"1"});
    EXPECT_EQ(Column(Query(m_db, "PRAGMA integrity_check")), std::vector<std::string>{"ok"});
}

TEST_F(Engine, CloseWithOpenStatementsFinalizesThemAndReleasesTheFile) {
    NewFolder();
    NewFolder();
    sqlite_vm* vm = nullptr;
    const char* tail = nullptr;
    ASSERT_EQ(sqlite_compile(m_db, "select id from tresorix_main", &tail, &vm, nullptr), 0);
    int n = 0;
    const char** v = nullptr;
    const char** names = nullptr;
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ROW);
    Ok("BEGIN");
    sqlite_close(m_db);
    m_db = nullptr;
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_MISUSE);
    char* err = nullptr;
    EXPECT_EQ(sqlite_finalize(vm, &err), SQLITE_MISUSE);
    EXPECT_STREQ(err, "library routine called out of sequence");
    sqlite_freemem(err);
    // Nothing holds the file any more: another connection writes at once.
    m_db = Open();
    Ok("insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)");
}

TEST_F(Engine, BusyIsRetryable) {
    sqlite* other = Open();
    ASSERT_NE(other, nullptr);
    Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
    sqlite_vm* vm = nullptr;
    ASSERT_EQ(sqlite_compile(other, "select id from tresorix_tresorix", nullptr, &vm, nullptr), 0);
    int n = -1;
    const char** v = nullptr;
    const char** names = reinterpret_cast<const char**>(1);
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_BUSY);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(names, nullptr);
    EXPECT_EQ(Exec(other, "update tresorix_main set data = 'x' where id = 1"),
              std::make_pair(5, std::string("database is locked")));
    EXPECT_EQ(Exec(other, "BEGIN").first, 5);
    Ok("COMMIT TRANSACTION");
    EXPECT_EQ(Exec(other, "BEGIN").first, 0); // the failed BEGIN left no transaction
    EXPECT_EQ(Exec(other, "COMMIT").first, 0);
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ROW);
    EXPECT_EQ(sqlite_finalize(vm, nullptr), 0);

    ASSERT_EQ(sqlite_compile(other, "select id from tresorix_tresorix", nullptr, &vm, nullptr), 0);
    Ok("BEGIN");
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_BUSY);
    char* err = nullptr;
    EXPECT_EQ(sqlite_finalize(vm, &err), 5);
    EXPECT_STREQ(err, "database is locked");
    sqlite_freemem(err);
    Ok("ROLLBACK");
    sqlite_close(other);
}

TEST_F(Engine, SchemaChangeByAnotherConnection) {
    sqlite* other = Open();
    sqlite_vm* vm = nullptr;
    ASSERT_EQ(sqlite_compile(other, "select id from tresorix_main", nullptr, &vm, nullptr), 0);
    Ok("CREATE TABLE EXTRA (A INTEGER)");
    int n = 0;
    const char** v = nullptr;
    const char** names = nullptr;
    EXPECT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ERROR);
    char* err = nullptr;
    EXPECT_EQ(sqlite_finalize(vm, &err), SQLITE_SCHEMA);
    EXPECT_STREQ(err, "database schema has changed");
    sqlite_freemem(err);
    Ok("vacuum tresorix_main");
    // sqlite_exec hides the change by compiling again.
    EXPECT_EQ(Exec(other, "insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)").first,
              0);
    EXPECT_EQ(Exec(other, "insert into extra (a) values (5)").first, 0);
    sqlite_close(other);
    EXPECT_EQ(Column(Query(m_db, "select a from extra")), std::vector<std::string>{"5"});
}

TEST_F(Engine, WritingATableBeingReadIsLocked) {
    NewFolder();
    NewFolder();
    sqlite_vm* vm = nullptr;
    ASSERT_EQ(sqlite_compile(m_db, "select id from tresorix_main", nullptr, &vm, nullptr), 0);
    int n = 0;
    const char** v = nullptr;
    const char** names = nullptr;
    ASSERT_EQ(sqlite_step(vm, &n, &v, &names), SQLITE_ROW);
    EXPECT_EQ(Exec(m_db, "update tresorix_main set data = 'x' where id = 1"),
              std::make_pair(6, std::string("database table is locked")));
    EXPECT_EQ(
        Exec(m_db, "insert into tresorix_data (id_parent, part, data) values (1, 1, 'a')").first,
        0);
    sqlite_finalize(vm, nullptr);
    Ok("update tresorix_main set data = 'x' where id = 1");
}

TEST_F(Engine, VacuumKeepsContentAndChangesTheCookie) {
    for (int i = 0; i < 20; ++i)
        NewFolder();
    Ok("update tresorix_main set id_parent=3 where id=7");
    Ok("delete from TRESORIX_MAIN where id=4");
    Ok("insert into tresorix_data (id_parent, part, data) values (7, 1, 'x')");
    Result before = Query(m_db, "select * from tresorix_main");
    int cookie = State().meta[1];
    for (const char* name : {"tresorix_main", "tresorix_data", "tresorix_data_part", ""})
        Ok(std::string("vacuum ") + name);
    EXPECT_NE(State().meta[1], cookie);
    EXPECT_EQ(State().meta[3], 2000);
    EXPECT_EQ(State().meta[4], 2);
    EXPECT_EQ(Query(m_db, "select * from tresorix_main").rows, before.rows);
    EXPECT_EQ(Column(Query(m_db, "select id from tresorix_main where id_parent = 3")),
              std::vector<std::string>{"7"});
    EXPECT_EQ(Column(Query(m_db, "PRAGMA integrity_check")), std::vector<std::string>{"ok"});
}

TEST_F(Engine, VacuumThatCannotRunReportsAnError) {
    sqlite* other = Open();
    Ok("BEGIN");
    auto [rc, msg] = Exec(other, "vacuum tresorix_main");
    EXPECT_EQ(rc, 5);
    EXPECT_EQ(msg, "database is locked");
    Ok("COMMIT");
    sqlite_close(other);

    char* err = nullptr;
    auto failing = [](const std::string& path, std::unique_ptr<sqlite2::Btree>& out,
                      std::string& e) -> sqlite2::Rc {
        if (path != "/fake/vault.tpx") {
            e = "unable to open database: " + path;
            return 14;
        }
        return faketest::FakeOpener()(path, out, e);
    };
    sqlite* db = sqlite2::OpenWith("/fake/vault.tpx", failing, &err);
    ASSERT_NE(db, nullptr);
    auto res = Exec(db, "vacuum");
    EXPECT_NE(res.first, 0);
    EXPECT_EQ(res.second.rfind("unable to open a temporary database at /fake/vault.tpx-", 0), 0u);
    EXPECT_EQ(Exec(db, "BEGIN").first, 0); // no transaction was left open
    sqlite_close(db);
}

TEST_F(Engine, IntegrityCheckFindsIndexMismatches) {
    for (int i = 0; i < 3; ++i)
        NewFolder();
    int idxRoot = 0;
    for (const Row& row : Query(m_db, "select * from sqlite_master").rows)
        if (*row[1] == "TRESORIX_MAIN_ID_PARENT")
            idxRoot = std::stoi(*row[3]);
    auto& tree = State().trees[idxRoot];
    ASSERT_EQ(tree.size(), 3u);
    tree.erase(std::prev(tree.end())); // rowid 3's entry
    Result r = Query(m_db, "PRAGMA integrity_check");
    EXPECT_EQ(r.names, std::vector<std::string>{"integrity_check"});
    EXPECT_FALSE(r.types[0].has_value());
    EXPECT_EQ(Column(r),
              (std::vector<std::string>{"rowid 3 missing from index TRESORIX_MAIN_ID_PARENT",
                                        "wrong # of entries in index TRESORIX_MAIN_ID_PARENT"}));
}

TEST_F(Engine, ExecCallbackSeesRowsAndCanAbort) {
    NewFolder();
    NewFolder();
    int seen = 0;
    auto cb = [](void* arg, int n, char** values, char** names) -> int {
        EXPECT_EQ(n, 1);
        EXPECT_STREQ(names[0], "id");
        EXPECT_NE(values[0], nullptr);
        return ++*static_cast<int*>(arg) >= 1 ? 1 : 0;
    };
    char* err = nullptr;
    EXPECT_EQ(sqlite_exec(m_db, "select id from tresorix_main", cb, &seen, &err), SQLITE_ABORT);
    EXPECT_EQ(seen, 1);
    sqlite_freemem(err);
}

} // namespace
