// Files and paths the engine must refuse, with the real engine's messages.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "SqlTestUtil.h"
#include "common/Fixtures.h"
#include "sqlite2/sqlite.h"

using namespace sqltest;
namespace fs = std::filesystem;

namespace {

std::string OpenError(const fs::path& p) {
    char* err = nullptr;
    sqlite* db = sqlite_open(p.c_str(), 0, &err);
    std::string msg = err ? err : "";
    sqlite_freemem(err);
    if (db) {
        sqlite_close(db);
        return "<opened>";
    }
    return msg;
}

fs::path Copy(const txtest::ScratchDir& dir, const std::string& name) {
    fs::path dst = dir / "copy.db";
    fs::copy_file(txtest::FixturesDir() / "sqlite2" / name, dst,
                  fs::copy_options::overwrite_existing);
    fs::permissions(dst, fs::perms::owner_read | fs::perms::owner_write);
    return dst;
}

void Patch(const fs::path& p, long offset, const std::string& bytes) {
    std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(BadFiles, PathsThatCannotBeOpened) {
    txtest::ScratchDir dir;
    fs::path missingDir = dir / "no/such/dir.db";
    EXPECT_EQ(OpenError(missingDir), "unable to open database: " + missingDir.string());
    EXPECT_EQ(OpenError(dir.Path()), "disk I/O error");
    fs::path fresh = dir / "fresh.db";
    EXPECT_EQ(OpenError(fresh), "<opened>");
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_EQ(fs::file_size(fresh), 0u);
}

TEST(BadFiles, HeaderAndFormatChecks) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    fs::path p = Copy(dir, "few_rows.db");
    Patch(p, 48, std::string("\x11\x22\x33\x44", 4));
    EXPECT_EQ(OpenError(p), "file is encrypted or is not a database");
    p = Copy(dir, "few_rows.db");
    Patch(p, 64, std::string("\x05\0\0\0", 4));
    EXPECT_EQ(OpenError(p), "unsupported file format");
    p = Copy(dir, "few_rows.db");
    Patch(p, 0, "** This file contains an SQLite 2.2 database **");
    EXPECT_EQ(OpenError(p), "file is encrypted or is not a database");
    // Exactly one page of text is not a database; one byte less is an empty one.
    fs::path text = dir / "text.db";
    { std::ofstream(text) << std::string(1024, 'a'); }
    EXPECT_EQ(OpenError(text), "file is encrypted or is not a database");
    fs::resize_file(text, 1023);
    EXPECT_EQ(OpenError(text), "<opened>");
}

TEST(BadFiles, DamagedSchemaIsMalformed) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    fs::path p = Copy(dir, "few_rows.db");
    std::string bytes = txtest::ReadFile(p);
    // Break the CREATE TABLE text of TRESORIX_MAIN inside sqlite_master.
    size_t at = bytes.find("CREATE TABLE TRESORIX_MAIN");
    ASSERT_NE(at, std::string::npos);
    Patch(p, static_cast<long>(at), "CRE#TE");
    EXPECT_EQ(OpenError(p), "database disk image is malformed");
}

TEST(BadFiles, DamagedPagesAnswerMalformedAndNeverCrash) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    fs::path p = Copy(dir, "tree3000.db");
    // Garbage over several interior and leaf pages of the big tables.
    for (long page : {6L, 7L, 9L, 10L, 100L, 700L, 2000L})
        Patch(p, (page - 1) * 1024 + 8, std::string(600, '\xA5'));
    char* err = nullptr;
    sqlite* db = sqlite_open(p.c_str(), 0, &err);
    ASSERT_NE(db, nullptr) << (err ? err : "");
    Result r = Query(db, "select * from tresorix_main");
    EXPECT_EQ(r.rc, SQLITE_CORRUPT);
    EXPECT_EQ(r.error, "database disk image is malformed");
    Result ic = Query(db, "PRAGMA integrity_check");
    ASSERT_EQ(ic.rc, 0) << ic.error;
    ASSERT_FALSE(ic.rows.empty());
    EXPECT_EQ(ic.rows[0][0]->rfind("*** in database main ***\n", 0), 0u);
    for (const char* q : {"select id from tresorix_main where id_parent = 1",
                          "select count(*) from tresorix_main where id_parent=1",
                          "select data from tresorix_data where id_parent = 2185 order by part asc",
                          "select data from tresorix_main where id=3"}) {
        Result x = Query(db, q);
        EXPECT_TRUE(x.rc == 0 || x.rc == SQLITE_CORRUPT) << q << ": " << x.error;
    }
    sqlite_close(db);
}

} // namespace
