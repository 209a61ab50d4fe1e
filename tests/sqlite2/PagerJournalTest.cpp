// The rollback journal on disk: its format, rollback to the exact original bytes, pages written
// early when the cache fills, the copy a crash would leave, checkpoints and a failing commit.
#include "BtreeTestUtil.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <map>
#include <random>

using sqlite2::BtCursor;
using sqlite2::Btree;
using namespace sqlite2test;
namespace fs = std::filesystem;

namespace {

uint32_t Be32(const std::string& s, size_t off) {
    auto p = reinterpret_cast<const uint8_t*>(s.data() + off);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

fs::path Fixture(const txtest::ScratchDir& dir, const std::string& name) {
    fs::path to = dir / name;
    CopyFile(txtest::FixturesDir() / "sqlite2" / name, to);
    return to;
}

int RootOf(Btree& bt, const std::string& table) {
    for (auto& [name, root] : MasterEntries(bt)) {
        if (name == table)
            return root;
    }
    return 0;
}

// Rewrites every row of TRESORIX_MAIN with bigger data and adds rows: many pages change.
void ChurnMain(Btree& bt, int rows) {
    int root = RootOf(bt, "TRESORIX_MAIN");
    ASSERT_NE(root, 0);
    std::unique_ptr<BtCursor> c;
    ASSERT_EQ(bt.Cursor(root, true, c), 0);
    std::mt19937 rng(5);
    for (int i = 1; i <= rows; i++) {
        std::string k = RowidKey(i), d(rng() % 900, char('a' + i % 26));
        ASSERT_EQ(c->Insert(k.data(), 4, d.data(), int(d.size())), 0);
    }
}

void ExpectSameExceptFreeLeaves(const std::string& now, const std::string& before) {
    ASSERT_EQ(now.size(), before.size());
    std::vector<bool> leaves = FreeListLeaves(before);
    for (size_t p = 0; p < before.size() / 1024; p++) {
        if (std::memcmp(now.data() + p * 1024, before.data() + p * 1024, 1024) != 0) {
            EXPECT_TRUE(leaves[p + 1]) << "page " << p + 1;
        }
    }
}

} // namespace

TEST(PagerJournal, RecordsHoldOriginalPagesInTheOnDiskFormat) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = Fixture(dir, "few_rows.db");
    std::string original = txtest::ReadFile(path);
    auto bt = OpenOrDie(path);
    std::string jpath = path.string() + "-journal";
    ASSERT_EQ(bt->BeginTrans(), 0);
    std::string j = txtest::ReadFile(jpath);
    ASSERT_EQ(j.size(), 20u) << "BEGIN writes the header at once";
    EXPECT_EQ(j.substr(0, 8), std::string("\xd9\xd5\x05\xf9\x20\xa1\x63\xd6", 8));
    EXPECT_EQ(Be32(j, 8), 0u);
    EXPECT_EQ(Be32(j, 16), 13u);
    EXPECT_EQ(fs::status(jpath).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    ChurnMain(*bt, 40);
    ASSERT_EQ(bt->Commit(), 0);
    EXPECT_FALSE(fs::exists(jpath));

    // A second transaction, stopped before commit by copying what a crash would leave.
    bt->SetCacheSize(10);
    ASSERT_EQ(bt->BeginTrans(), 0);
    std::string committed = txtest::ReadFile(path);
    ChurnMain(*bt, 400);
    j = txtest::ReadFile(jpath);
    uint32_t seed = Be32(j, 12);
    uint32_t nRec = Be32(j, 8);
    EXPECT_GT(nRec, 0u) << "a full cache syncs the journal before writing pages";
    ASSERT_GE((j.size() - 20) / 1032, nRec);
    for (uint32_t i = 0; i < nRec; i++) {
        size_t at = 20 + size_t(i) * 1032;
        uint32_t pgno = Be32(j, at);
        ASSERT_GE(pgno, 1u);
        ASSERT_LE(pgno, committed.size() / 1024);
        EXPECT_EQ(Be32(j, at + 1028), seed + pgno);
        EXPECT_EQ(j.compare(at + 4, 1024, committed, size_t(pgno - 1) * 1024, 1024), 0)
            << "record " << i << " (page " << pgno << ")";
    }
    EXPECT_NE(txtest::ReadFile(path), committed) << "pages were written before the commit";
    txtest::ScratchDir crash;
    CopyFile(path, crash / "few_rows.db");
    CopyFile(jpath, crash / "few_rows.db-journal");
    {
        auto after = OpenOrDie(crash / "few_rows.db");
        EXPECT_TRUE(Check(*after, SchemaRoots(*after)).empty());
    }
    EXPECT_FALSE(fs::exists(crash / "few_rows.db-journal"));
    ExpectSameExceptFreeLeaves(txtest::ReadFile(crash / "few_rows.db"), committed);
    ASSERT_EQ(bt->Rollback(), 0);
    EXPECT_FALSE(fs::exists(jpath));
    ExpectSameExceptFreeLeaves(txtest::ReadFile(path), committed);
}

TEST(PagerJournal, RollbackLeavesTheFileByteForByte) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = Fixture(dir, "tree3000_deleted.db");
    std::string original = txtest::ReadFile(path);
    auto bt = OpenOrDie(path);
    auto before = ReadTree(*bt, RootOf(*bt, "TRESORIX_MAIN"));
    ASSERT_EQ(bt->BeginTrans(), 0);
    ChurnMain(*bt, 1500);
    int root = 0;
    ASSERT_EQ(bt->CreateTable(root), 0);
    ASSERT_EQ(bt->Rollback(), 0);
    EXPECT_EQ(txtest::ReadFile(path), original);
    EXPECT_EQ(ReadTree(*bt, RootOf(*bt, "TRESORIX_MAIN")), before);
}

TEST(PagerJournal, TransactionOnAnEmptyFileRollsBackToZeroBytes) {
    txtest::ScratchDir dir;
    auto path = dir / "new.db";
    auto bt = OpenOrDie(path);
    ASSERT_EQ(bt->BeginTrans(), 0);
    EXPECT_EQ(fs::file_size(path.string() + "-journal"), 20u);
    int root = 0;
    ASSERT_EQ(bt->CreateTable(root), 0);
    EXPECT_EQ(root, 3);
    ASSERT_EQ(bt->Rollback(), 0);
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_FALSE(fs::exists(path.string() + "-journal"));
}

TEST(PagerJournal, WithoutSyncTheRecordCountIsLeftToTheFileSize) {
    txtest::ScratchDir dir;
    auto path = dir / "nosync.db";
    auto bt = OpenOrDie(path);
    bt->SetSynchronous(false);
    ASSERT_EQ(bt->BeginTrans(), 0);
    EXPECT_EQ(Be32(txtest::ReadFile(path.string() + "-journal"), 8), 0xffffffffu);
    ASSERT_EQ(bt->Commit(), 0);
    EXPECT_EQ(fs::file_size(path), 2048u);
}

TEST(PagerJournal, CheckpointRollbackUndoesOnlyTheStatement) {
    txtest::ScratchDir dir;
    auto path = dir / "ckpt.db";
    auto bt = OpenOrDie(path);
    int root = 0;
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->CreateTable(root), 0);
    std::unique_ptr<BtCursor> c;
    ASSERT_EQ(bt->Cursor(root, true, c), 0);
    std::string big(3000, 'q');
    for (int i = 0; i < 300; i++) {
        std::string k = RowidKey(i);
        ASSERT_EQ(c->Insert(k.data(), 4, big.data(), i * 10), 0);
    }
    auto atCkpt = ReadTree(*bt, root);
    int pagesAtCkpt = bt->PageCount();
    ASSERT_EQ(bt->BeginCkpt(), 0);
    EXPECT_EQ(bt->BeginCkpt(), 1) << "one level only";
    for (int i = 0; i < 300; i += 3) {
        int res = 0;
        std::string k = RowidKey(i);
        ASSERT_EQ(c->Moveto(k.data(), 4, res), 0);
        ASSERT_EQ(c->Delete(), 0);
    }
    for (int i = 300; i < 600; i++) {
        std::string k = RowidKey(i);
        ASSERT_EQ(c->Insert(k.data(), 4, big.data(), 2000), 0);
    }
    ASSERT_EQ(bt->RollbackCkpt(), 0);
    EXPECT_EQ(ReadTree(*bt, root), atCkpt);
    EXPECT_EQ(bt->PageCount(), pagesAtCkpt);
    EXPECT_TRUE(Check(*bt, {2, root}).empty());
    bool empty = true;
    ASSERT_EQ(c->First(empty), 0) << "the cursor is usable after the checkpoint rollback";
    ASSERT_FALSE(empty);
    ASSERT_EQ(bt->BeginCkpt(), 0);
    std::string k = RowidKey(1000);
    ASSERT_EQ(c->Insert(k.data(), 4, "kept", 4), 0);
    ASSERT_EQ(bt->CommitCkpt(), 0);
    c.reset();
    ASSERT_EQ(bt->Commit(), 0);
    auto bt2 = OpenOrDie(path);
    EXPECT_EQ(ReadTree(*bt2, root).size(), atCkpt.size() + 1);
    EXPECT_TRUE(Check(*bt2, {2, root}).empty());
}

TEST(PagerJournal, CommitThatRunsOutOfSpaceRollsBack) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = Fixture(dir, "few_rows.db");
    std::string original = txtest::ReadFile(path);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit lim = {200 * 1024, 200 * 1024};
        setrlimit(RLIMIT_FSIZE, &lim);
        std::unique_ptr<Btree> bt;
        std::string err;
        if (Btree::Open(path.string(), bt, err) != 0)
            _exit(100);
        if (bt->BeginTrans() != 0)
            _exit(101);
        {
            std::unique_ptr<BtCursor> c;
            if (bt->Cursor(6, true, c) != 0)
                _exit(102);
            std::string big(100000, 'z');
            int rc = 0;
            for (int i = 100; i < 110 && rc == 0; i++) {
                std::string k = RowidKey(i);
                rc = c->Insert(k.data(), 4, big.data(), int(big.size()));
            }
            if (rc != 0)
                _exit(rc == 13 ? 13 : 103);
        }
        int rc = bt->Commit();
        _exit(rc == 13 ? 13 : 104 + rc);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 13);
    auto bt = OpenOrDie(path);
    ExpectSameExceptFreeLeaves(txtest::ReadFile(path), original);
    EXPECT_EQ(ReadTree(*bt, 6).size(), 9u);
    EXPECT_TRUE(Check(*bt, SchemaRoots(*bt)).empty());
}
