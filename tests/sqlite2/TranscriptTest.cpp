// The catalogue run in order on a copy of few_rows.db, against the real engine's transcript.
#include <gtest/gtest.h>

#include <filesystem>

#include "SqlTestUtil.h"
#include "common/Fixtures.h"
#include "sqlite2/sqlite.h"

using namespace sqltest;
namespace fs = std::filesystem;

namespace {

struct Step {
    const char* sql;
    int rc;                          // exec code (queries: 0)
    const char* message;             // exec message when rc != 0
    std::vector<std::string> column; // first column of every row ("<NULL>" for NULL); queries
    int lastRowid;
    bool query;
};

const std::string kHeaderQuery =
    "SELECT ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, DATA FROM TRESORIX_TRESORIX WHERE ID=1";

std::vector<std::string> Parts() {
    std::vector<std::string> v;
    for (int i = 0; i < 12; ++i)
        v.push_back((i < 10 ? "part-0" : "part-") + std::to_string(i));
    return v;
}

TEST(Transcript, CatalogueOnFewRows) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    fs::path path = dir / "few_rows.db";
    fs::copy_file(txtest::FixturesDir() / "sqlite2" / "few_rows.db", path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    char* err = nullptr;
    sqlite* db = sqlite_open(path.c_str(), 0, &err);
    ASSERT_NE(db, nullptr);

    Result h = Query(db, kHeaderQuery);
    EXPECT_EQ(h.names, (std::vector<std::string>{"ID", "USERNAME", "PASSWORD_REQUIRED",
                                                 "SECRET_WORD", "DATA"}));
    ASSERT_EQ(h.rows.size(), 1u);
    EXPECT_EQ(h.rows[0], (Row{"1", "alice", "1", "my pet's name", "HDR-PAYLOAD"}));

    const std::vector<Step> steps = {
        {"SELECT SECRET_WORD FROM TRESORIX_TRESORIX WHERE ID=1", 0, "", {"my pet's name"}, 0, true},
        {"update tresorix_tresorix set username = 'bob', password_required = 1, secret_word = "
         "'it''s', data = 'DATA1' where id = 1",
         0,
         "",
         {},
         0,
         false},
        {"update tresorix_tresorix \t\t\tset username = 'bob', secret_word = NULL, "
         "\t\t\tpassword_required = 0 where id = 1",
         0,
         "",
         {},
         0,
         false},
        {"select id from tresorix_tresorix", 0, "", {"1"}, 0, true},
        {"select id from tresorix_main",
         0,
         "",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9"},
         0,
         true},
        {"select data from tresorix_main where id=3", 0, "", {"Internet"}, 0, true},
        {"update tresorix_main set data = 'Web' where id = 3", 0, "", {}, 0, false},
        {"select data from tresorix_tresorix where id=1", 0, "", {"DATA1"}, 0, true},
        {"update tresorix_tresorix set data = 'DATA2' where id = 1", 0, "", {}, 0, false},
        {"insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)", 0, "", {}, 10, false},
        {"select data from tresorix_main where id=10", 0, "", {"<NULL>"}, 10, true},
        {"update tresorix_main set data = 'new folder' where id = 10", 0, "", {}, 10, false},
        {"select ID_PARENT from tresorix_main where id=10", 0, "", {"0"}, 10, true},
        {"update tresorix_main set id_parent=3 where id=10", 0, "", {}, 10, false},
        {"select id_parent from tresorix_main where id = 10", 0, "", {"3"}, 10, true},
        {"select id from tresorix_main where id_parent = 3", 0, "", {"6", "7", "10"}, 10, true},
        {"select id from tresorix_main where id_parent = (select id_parent from tresorix_main "
         "where id = 6)",
         0,
         "",
         {"6", "7", "10"},
         10,
         true},
        {"select count(*) from tresorix_main where id_parent=3", 0, "", {"3"}, 10, true},
        {"select count(*) from tresorix_main where id_parent=99", 0, "", {"0"}, 10, true},
        {"select EXPANDED from tresorix_main where id=10", 0, "", {"1"}, 10, true},
        {"update tresorix_main set EXPANDED ='0' where id=10", 0, "", {}, 10, false},
        {"select EXPANDED from tresorix_main where id=10", 0, "", {"0"}, 10, true},
        {"insert into tresorix_data (id_parent, part, data) values (10, 1, 'B')",
         0,
         "",
         {},
         15,
         false},
        {"insert into tresorix_data (id_parent, part, data) values (10, 0, 'A')",
         0,
         "",
         {},
         16,
         false},
        {"select data from tresorix_data where id_parent = 10 order by part asc",
         0,
         "",
         {"A", "B"},
         16,
         true},
        {"select data from tresorix_data where id_parent = 6 order by part asc", 0, "", Parts(), 16,
         true},
        {"delete from tresorix_data where id_parent = 10", 0, "", {}, 16, false},
        {"delete from TRESORIX_DATA where id_parent=8", 0, "", {}, 16, false},
        {"delete from TRESORIX_MAIN where id=10", 0, "", {}, 16, false},
        {"insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)", 0, "", {}, 10, false},
        {"BEGIN TRANSACTION ON CONFLICT ROLLBACK", 0, "", {}, 10, false},
        {"update tresorix_main set data = 'in transaction' where id = 10", 0, "", {}, 10, false},
        {"ROLLBACK TRANSACTION", 0, "", {}, 10, false},
        {"select data from tresorix_main where id=10", 0, "", {"<NULL>"}, 10, true},
        {"BEGIN TRANSACTION ON CONFLICT ROLLBACK", 0, "", {}, 10, false},
        {"update tresorix_main set data = 'committed' where id = 10", 0, "", {}, 10, false},
        {"COMMIT TRANSACTION", 0, "", {}, 10, false},
        {"select data from tresorix_main where id=10", 0, "", {"committed"}, 10, true},
        {"COMMIT TRANSACTION", 1, "cannot commit - no transaction is active", {}, 10, false},
        {"ROLLBACK TRANSACTION", 1, "cannot rollback - no transaction is active", {}, 10, false},
        {"vacuum tresorix_main", 0, "", {}, 10, false},
        {"vacuum tresorix_data", 0, "", {}, 10, false},
        {"vacuum tresorix_data_part", 0, "", {}, 10, false},
        {"vacuum tresorix_data_id_parent", 0, "", {}, 10, false},
        {"vacuum tresorix_main_id_parent", 0, "", {}, 10, false},
        {"PRAGMA integrity_check", 0, "", {"ok"}, 10, true},
    };
    bool inTxn = false;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.sql);
        std::string_view sql = s.sql;
        if (s.rc == 0 && sql.rfind("BEGIN", 0) == 0)
            inTxn = true;
        if (s.rc == 0 && (sql.rfind("COMMIT", 0) == 0 || sql.rfind("ROLLBACK", 0) == 0))
            inTxn = false;
        if (s.query) {
            Result r = Query(db, s.sql);
            ASSERT_EQ(r.rc, 0) << r.error;
            EXPECT_EQ(Column(r), s.column);
        } else {
            auto [rc, msg] = Exec(db, s.sql);
            EXPECT_EQ(rc, s.rc);
            EXPECT_EQ(msg, s.message);
        }
        EXPECT_EQ(sqlite_last_insert_rowid(db), s.lastRowid);
        // The journal exists from BEGIN to the end of the transaction only.
        EXPECT_EQ(fs::exists(path.string() + "-journal"), inTxn);
    }
    Result h2 = Query(db, kHeaderQuery);
    ASSERT_EQ(h2.rows.size(), 1u);
    EXPECT_EQ(h2.rows[0], (Row{"1", "bob", "0", std::nullopt, "DATA2"}));
    Result m = Query(db, "select * from sqlite_master");
    EXPECT_EQ(Column(m, 1),
              (std::vector<std::string>{
                  "TRESORIX_TRESORIX", "(TRESORIX_TRESORIX autoindex 1)", "TRESORIX_MAIN",
                  "(TRESORIX_MAIN autoindex 1)", "TRESORIX_MAIN_ID_PARENT", "TRESORIX_DATA",
                  "(TRESORIX_DATA autoindex 1)", "TRESORIX_DATA_ID_PARENT", "TRESORIX_DATA_PART"}));
    sqlite_close(db);
    // Files left by VACUUM's temporary copies: none.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(Transcript, BigEndianFileIsWrittenInItsOwnOrder) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    fs::path path = dir / "bigendian.db";
    fs::copy_file(txtest::FixturesDir() / "sqlite2" / "synthetic" / "bigendian.db", path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    sqlite* db = sqlite_open(path.c_str(), 0, nullptr);
    ASSERT_NE(db, nullptr);
    ASSERT_EQ(Exec(db, "insert into tresorix_main (ID_PARENT, EXPANDED) values (5, 1)").first, 0);
    EXPECT_EQ(sqlite_last_insert_rowid(db), 10);
    ASSERT_EQ(
        Exec(db, "update tresorix_main set data = '" + std::string(3000, 'z') + "' where id = 10")
            .first,
        0);
    ASSERT_EQ(Exec(db, "delete from tresorix_data where id_parent = 6").first, 0);
    EXPECT_EQ(Column(Query(db, "select id from tresorix_main where id_parent = 5")),
              (std::vector<std::string>{"9", "10"}));
    EXPECT_EQ(Column(Query(db, "PRAGMA integrity_check")), std::vector<std::string>{"ok"});
    sqlite_close(db);
    std::string bytes = txtest::ReadFile(path);
    ASSERT_GE(bytes.size(), 52u);
    EXPECT_EQ(bytes.substr(48, 4), std::string("\xda\xe3\x75\x28", 4));
    db = sqlite_open(path.c_str(), 0, nullptr);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(Column(Query(db, "select count(*) from tresorix_data")),
              std::vector<std::string>{"2"});
    sqlite_close(db);
}

} // namespace
