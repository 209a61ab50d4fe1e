// Every fixture read at the B-tree level: trees named in sqlite_master, entry counts, free list,
// integrity; the odd files (empty, short, not a database, bad and stale journals).
#include "BtreeTestUtil.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>

using sqlite2::BtCursor;
using sqlite2::Btree;
using namespace sqlite2test;
namespace fs = std::filesystem;

namespace {

struct FixtureFacts {
    const char* file;
    int pages;
    int freePages;
    int header, main, data; // rows of TRESORIX_TRESORIX, TRESORIX_MAIN, TRESORIX_DATA
};

const FixtureFacts kFixtures[] = {
    {"empty_schema.db", 13, 0, 1, 0, 0},
    {"few_rows.db", 13, 0, 1, 9, 14},
    {"tree3000.db", 3279, 0, 1, 3000, 89},
    {"tree3000_deleted.db", 3279, 1544, 1, 1797, 61},
    {"tree3000_vacuumed.db", 1654, 0, 1, 1797, 61},
    {"all_bytes.db", 393, 0, 1, 508, 8},
    {"compare.db", 13, 0, 1, 10, 30},
    {"synthetic/bigendian.db", 16, 3, 1, 9, 14},
    {"synthetic/odd_layout.db", 329, 302, 1, 9, 14},
};

fs::path CopyFixture(const txtest::ScratchDir& dir, const std::string& name) {
    fs::path to = dir / fs::path(name).filename().string();
    CopyFile(txtest::FixturesDir() / "sqlite2" / name, to);
    if (fs::exists(txtest::FixturesDir() / "sqlite2" / (name + "-journal")))
        CopyFile(txtest::FixturesDir() / "sqlite2" / (name + "-journal"), to.string() + "-journal");
    return to;
}

int OpenError(const fs::path& path, std::string& err) {
    std::unique_ptr<Btree> bt;
    return Btree::Open(path.string(), bt, err);
}

} // namespace

TEST(BtreeFixtures, EveryFixtureReadsWithItsCountsAndChecksClean) {
    TX_REQUIRE_FIXTURES();
    for (const FixtureFacts& f : kFixtures) {
        SCOPED_TRACE(f.file);
        txtest::ScratchDir dir;
        auto path = CopyFixture(dir, f.file);
        auto bt = OpenOrDie(path);
        ASSERT_TRUE(bt);
        EXPECT_EQ(bt->PageCount(), f.pages);
        int meta[10];
        ASSERT_EQ(bt->GetMeta(meta), 0);
        EXPECT_EQ(meta[0], f.freePages);
        EXPECT_EQ(meta[2], 4);
        auto master = MasterEntries(*bt);
        ASSERT_EQ(master.size(), 9u);
        std::map<std::string, size_t> counts;
        for (auto& [name, root] : master)
            counts[name] = ReadTree(*bt, root).size();
        EXPECT_EQ(counts["TRESORIX_TRESORIX"], size_t(f.header));
        EXPECT_EQ(counts["TRESORIX_MAIN"], size_t(f.main));
        EXPECT_EQ(counts["TRESORIX_DATA"], size_t(f.data));
        // Every index holds one entry per row of its table.
        EXPECT_EQ(counts["(TRESORIX_MAIN autoindex 1)"], size_t(f.main));
        EXPECT_EQ(counts["TRESORIX_MAIN_ID_PARENT"], size_t(f.main));
        EXPECT_EQ(counts["TRESORIX_DATA_PART"], size_t(f.data));
        auto errors = Check(*bt, SchemaRoots(*bt));
        EXPECT_TRUE(errors.empty()) << errors.front();
        std::string bytes = txtest::ReadFile(path);
        for (int root : SchemaRoots(*bt))
            EXPECT_TRUE(ShapeProblems(bytes, root).empty()) << root;
    }
}

TEST(BtreeFixtures, BigEndianAndOddLayoutReadLikeTheirLittleEndianOriginal) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto original = OpenOrDie(CopyFixture(dir, "few_rows.db"));
    for (const char* name : {"synthetic/bigendian.db", "synthetic/odd_layout.db"}) {
        SCOPED_TRACE(name);
        auto other = OpenOrDie(CopyFixture(dir, name));
        auto a = MasterEntries(*original), b = MasterEntries(*other);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); i++) {
            EXPECT_EQ(a[i].first, b[i].first);
            EXPECT_EQ(ReadTree(*original, a[i].second), ReadTree(*other, b[i].second));
        }
    }
}

TEST(BtreeFixtures, WritingABigEndianFileKeepsItsByteOrder) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = CopyFixture(dir, "synthetic/bigendian.db");
    auto bt = OpenOrDie(path);
    auto master = MasterEntries(*bt);
    int mainRoot = 0;
    for (auto& [name, root] : master) {
        if (name == "TRESORIX_MAIN")
            mainRoot = root;
    }
    ASSERT_EQ(bt->BeginTrans(), 0);
    {
        std::unique_ptr<BtCursor> c;
        ASSERT_EQ(bt->Cursor(mainRoot, true, c), 0);
        std::string rec(700, 'r');
        for (int i = 10; i < 200; i++) {
            std::string k = RowidKey(i);
            ASSERT_EQ(c->Insert(k.data(), 4, rec.data(), int(rec.size())), 0);
        }
    }
    ASSERT_EQ(bt->Commit(), 0);
    std::string bytes = txtest::ReadFile(path);
    EXPECT_EQ(uint8_t(bytes[48]), 0xda);
    EXPECT_EQ(ReadTree(*bt, mainRoot).size(), 9u + 190u);
    EXPECT_TRUE(Check(*bt, SchemaRoots(*bt)).empty());
    EXPECT_TRUE(ShapeProblems(bytes, mainRoot).empty());
}

TEST(BtreeFixtures, HotJournalIsPlayedBackOnOpen) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = CopyFixture(dir, "hot.db");
    ASSERT_TRUE(fs::exists(path.string() + "-journal"));
    auto bt = OpenOrDie(path);
    ASSERT_TRUE(bt);
    EXPECT_FALSE(fs::exists(path.string() + "-journal"));
    std::string restored = txtest::ReadFile(path);
    std::string before = txtest::ReadFile(txtest::FixturesDir() / "sqlite2/tree3000_deleted.db");
    ASSERT_EQ(restored.size(), before.size());
    std::vector<bool> leaves = FreeListLeaves(before);
    int differing = 0;
    for (size_t p = 0; p < before.size() / 1024; p++) {
        if (std::memcmp(restored.data() + p * 1024, before.data() + p * 1024, 1024) != 0) {
            differing++;
            EXPECT_TRUE(leaves[p + 1]) << "page " << p + 1 << " differs and is no free leaf";
        }
    }
    EXPECT_EQ(differing, 985);
    EXPECT_TRUE(Check(*bt, SchemaRoots(*bt)).empty());
}

TEST(BtreeFixtures, BadJournalFailsOnceThenIsGone) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = CopyFixture(dir, "bad_journal.db");
    std::string before = txtest::ReadFile(path);
    std::string err;
    EXPECT_EQ(OpenError(path, err), 11);
    EXPECT_EQ(err, "database disk image is malformed");
    EXPECT_FALSE(fs::exists(path.string() + "-journal"));
    EXPECT_EQ(txtest::ReadFile(path), before);
    auto bt = OpenOrDie(path);
    ASSERT_TRUE(bt);
    EXPECT_EQ(MasterEntries(*bt).size(), 9u);
}

TEST(BtreeFixtures, StaleEmptyJournalIsDeleted) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = CopyFixture(dir, "stale_empty_journal.db");
    std::string before = txtest::ReadFile(path);
    auto bt = OpenOrDie(path);
    ASSERT_TRUE(bt);
    EXPECT_FALSE(fs::exists(path.string() + "-journal"));
    EXPECT_EQ(txtest::ReadFile(path), before);
    EXPECT_EQ(MasterEntries(*bt).size(), 9u);
}

TEST(BtreeFixtures, FilesShorterThanAPageAreEmptyDatabases) {
    TX_REQUIRE_FIXTURES();
    for (const char* name : {"zero.db", "short_text.txt"}) {
        SCOPED_TRACE(name);
        txtest::ScratchDir dir;
        auto path = CopyFixture(dir, name);
        auto bt = OpenOrDie(path);
        ASSERT_TRUE(bt);
        EXPECT_EQ(bt->PageCount(), 0);
        EXPECT_TRUE(ReadTree(*bt, 2).empty());
        EXPECT_TRUE(Check(*bt, {2}).empty());
        int meta[10];
        ASSERT_EQ(bt->GetMeta(meta), 0);
        for (int m : meta)
            EXPECT_EQ(m, 0);
        ASSERT_EQ(bt->BeginTrans(), 0);
        ASSERT_EQ(bt->Commit(), 0);
        EXPECT_EQ(fs::file_size(path), 2048u);
    }
}

TEST(BtreeFixtures, NonDatabasesAreRefused) {
    TX_REQUIRE_FIXTURES();
    for (const char* name : {"not_a_database.txt", "random_bytes.bin"}) {
        txtest::ScratchDir dir;
        std::string err;
        EXPECT_EQ(OpenError(CopyFixture(dir, name), err), 26) << name;
        EXPECT_EQ(err, "file is encrypted or is not a database");
    }
}

TEST(BtreeFiles, AFreshFileMatchesTheRealEngineByteForByte) {
    txtest::ScratchDir dir;
    auto path = dir / "fresh.db";
    auto bt = OpenOrDie(path);
    EXPECT_EQ(fs::file_size(path), 0u) << "opening creates an empty file and writes nothing";
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->Commit(), 0);
    std::string expected(2048, '\0');
    std::memcpy(expected.data(), "** This file contains an SQLite 2.1 database **", 47);
    const char magic[] = "\x28\x75\xe3\xda";
    std::memcpy(expected.data() + 48, magic, 4);
    const char emptyPage[] = "\x00\x00\x00\x00\x00\x00\x08\x00\xf8\x03\x00\x00";
    std::memcpy(expected.data() + 1024, emptyPage, 12);
    EXPECT_EQ(txtest::ReadFile(path), expected);
    EXPECT_FALSE(fs::exists(path.string() + "-journal"));
}

TEST(BtreeFiles, OpenFailuresGiveTheEngineMessages) {
    txtest::ScratchDir dir;
    std::string err;
    auto missing = dir / "no" / "such.db";
    EXPECT_EQ(OpenError(missing, err), 14);
    EXPECT_EQ(err, "unable to open database: " + missing.string());
    fs::create_directory(dir / "adir");
    EXPECT_EQ(OpenError(dir / "adir", err), 10);
    EXPECT_EQ(err, "disk I/O error");
}

TEST(BtreeFiles, IntegrityCheckNamesBrokenStructures) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto clean = txtest::ReadFile(txtest::FixturesDir() / "sqlite2/few_rows.db");
    auto run = [&](std::string bytes) {
        auto path = dir / "broken.db";
        { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; }
        auto bt = OpenOrDie(path);
        return Check(*bt, {2, 4, 3, 6, 5, 7, 9, 8, 10, 13});
    };
    EXPECT_TRUE(run(clean).empty());

    std::string extra = clean + std::string(1024, '\0');
    EXPECT_EQ(run(extra), std::vector<std::string>{"Page 14 is never used"});

    std::string count = clean;
    count[56] = 2;
    EXPECT_EQ(run(count),
              std::vector<std::string>{"Main freelist: 2 pages missing from overflow list"});

    // Page 7 (an index leaf): swap the first two cells in the chain.
    std::string order = clean;
    size_t p7 = 6 * 1024;
    uint16_t first = uint16_t(uint8_t(order[p7 + 4]) | uint8_t(order[p7 + 5]) << 8);
    uint16_t second =
        uint16_t(uint8_t(order[p7 + first + 6]) | uint8_t(order[p7 + first + 7]) << 8);
    uint16_t third =
        uint16_t(uint8_t(order[p7 + second + 6]) | uint8_t(order[p7 + second + 7]) << 8);
    auto put16 = [&](size_t at, uint16_t v) {
        order[at] = char(v & 0xff);
        order[at + 1] = char(v >> 8);
    };
    put16(p7 + 4, second);
    put16(p7 + second + 6, first);
    put16(p7 + first + 6, third);
    auto errs = run(order);
    ASSERT_EQ(errs.size(), 1u);
    EXPECT_EQ(errs[0], "On page 7 cell 1: Key is out of order");

    // A child pointer back to the root: a second reference, not an endless walk.
    std::string loop = clean;
    size_t p2 = 1024;
    loop[p2] = 2;
    loop[p2 + 1] = loop[p2 + 2] = loop[p2 + 3] = 0;
    errs = run(loop);
    ASSERT_FALSE(errs.empty());
    EXPECT_NE(std::find(errs.begin(), errs.end(), "On page 2 cell 1: 2nd reference to page 2"),
              errs.end());

    std::string garbage = clean;
    garbage[6 * 1024 + 6] = 0x04; // free block offset not matching the page
    errs = run(garbage);
    ASSERT_FALSE(errs.empty());
    EXPECT_EQ(errs[0], "On tree page 7: initPage() returns error code 11");
}

TEST(BtreeFiles, ScanThroughPagesSharedBySubtreesStopsAsCorrupt) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    std::string bytes = txtest::ReadFile(txtest::FixturesDir() / "sqlite2/few_rows.db");
    // Page 2 (sqlite_master) has one cell over page 11 and the right child 12: point both at 11.
    ASSERT_EQ(uint8_t(bytes[1024]), 12);
    bytes[1024] = 11;
    auto path = dir / "shared.db";
    { std::ofstream(path, std::ios::binary) << bytes; }
    auto bt = OpenOrDie(path);
    std::unique_ptr<BtCursor> c;
    ASSERT_EQ(bt->Cursor(2, false, c), 0);
    bool empty = true, done = false;
    ASSERT_EQ(c->First(empty), 0);
    int rc = 0, steps = 0;
    while (!done && rc == 0 && steps < 1000) {
        rc = c->Next(done);
        steps++;
    }
    EXPECT_EQ(rc, 11);
    auto errors = Check(*bt, {2});
    EXPECT_NE(std::find(errors.begin(), errors.end(), "On page 2 cell 1: 2nd reference to page 11"),
              errors.end());
}
