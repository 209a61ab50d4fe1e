// Locks between connections of one process (shared lock table) and of two processes (fcntl):
// a writer makes readers and other writers busy, readers block writers, nothing is lost.
#include "BtreeTestUtil.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using sqlite2::BtCursor;
using sqlite2::Btree;
using namespace sqlite2test;

namespace {

constexpr int kBusy = 5;

// Runs fn in a child process and returns its exit code.
template <typename Fn> int InChild(Fn fn) {
    pid_t pid = fork();
    if (pid == 0)
        _exit(fn());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ChildRead(const std::filesystem::path& path) {
    std::unique_ptr<Btree> bt;
    std::string err;
    if (Btree::Open(path.string(), bt, err) != 0)
        return 100;
    int meta[10];
    return bt->GetMeta(meta);
}

int ChildBegin(const std::filesystem::path& path) {
    std::unique_ptr<Btree> bt;
    std::string err;
    if (Btree::Open(path.string(), bt, err) != 0)
        return 100;
    int rc = bt->BeginTrans();
    if (rc == 0)
        bt->Rollback();
    return rc;
}

class BtreeLocking : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir / "locks.db";
        auto bt = OpenOrDie(m_path);
        ASSERT_EQ(bt->BeginTrans(), 0);
        ASSERT_EQ(bt->CreateTable(m_root), 0);
        ASSERT_EQ(bt->Commit(), 0);
    }

    void Put(Btree& bt, int id) {
        std::unique_ptr<BtCursor> c;
        ASSERT_EQ(bt.Cursor(m_root, true, c), 0);
        std::string k = RowidKey(id);
        ASSERT_EQ(c->Insert(k.data(), 4, "row", 3), 0);
    }

    txtest::ScratchDir m_dir;
    std::filesystem::path m_path;
    int m_root = 0;
};

} // namespace

TEST_F(BtreeLocking, WriterInThisProcessMakesOtherConnectionsBusy) {
    auto a = OpenOrDie(m_path);
    auto b = OpenOrDie(m_path);
    ASSERT_EQ(a->BeginTrans(), 0);
    Put(*a, 1);
    int meta[10];
    std::unique_ptr<BtCursor> c;
    EXPECT_EQ(b->GetMeta(meta), kBusy);
    EXPECT_EQ(b->Cursor(m_root, false, c), kBusy);
    EXPECT_EQ(b->BeginTrans(), kBusy);
    EXPECT_FALSE(b->InTrans()) << "a busy BEGIN leaves no transaction open";
    ASSERT_EQ(a->Commit(), 0);
    EXPECT_EQ(ReadTree(*b, m_root).size(), 1u);
}

TEST_F(BtreeLocking, OpenReaderBlocksAWriterUntilItsCursorCloses) {
    auto a = OpenOrDie(m_path);
    auto b = OpenOrDie(m_path);
    {
        std::unique_ptr<BtCursor> reading;
        ASSERT_EQ(a->Cursor(m_root, false, reading), 0);
        bool empty = false;
        ASSERT_EQ(reading->First(empty), 0);
        EXPECT_EQ(b->BeginTrans(), kBusy);
        EXPECT_EQ(ReadTree(*b, m_root).size(), 0u) << "readers share the lock";
        EXPECT_EQ(InChild([&] { return ChildBegin(m_path); }), kBusy);
    }
    ASSERT_EQ(b->BeginTrans(), 0);
    Put(*b, 2);
    ASSERT_EQ(b->Commit(), 0);
    EXPECT_EQ(ReadTree(*a, m_root).size(), 1u);
}

TEST_F(BtreeLocking, ClosingOneConnectionKeepsAnotherOnesLock) {
    auto a = OpenOrDie(m_path);
    std::unique_ptr<BtCursor> reading;
    ASSERT_EQ(a->Cursor(m_root, false, reading), 0);
    bool empty = false;
    ASSERT_EQ(reading->First(empty), 0);
    {
        auto b = OpenOrDie(m_path);
        EXPECT_EQ(ReadTree(*b, m_root).size(), 0u);
    }
    EXPECT_EQ(InChild([&] { return ChildBegin(m_path); }), kBusy)
        << "the process still holds its read lock";
    reading.reset();
    EXPECT_EQ(InChild([&] { return ChildBegin(m_path); }), 0);
}

TEST_F(BtreeLocking, WriterInAnotherProcessIsSeenThroughFcntl) {
    auto a = OpenOrDie(m_path);
    ASSERT_EQ(a->BeginTrans(), 0);
    Put(*a, 7);
    EXPECT_EQ(InChild([&] { return ChildRead(m_path); }), kBusy);
    EXPECT_EQ(InChild([&] { return ChildBegin(m_path); }), kBusy);
    ASSERT_EQ(a->Commit(), 0);
    EXPECT_EQ(InChild([&] {
                  auto bt = std::unique_ptr<Btree>();
                  std::string err;
                  if (Btree::Open(m_path.string(), bt, err) != 0)
                      return 100;
                  return int(ReadTree(*bt, m_root).size());
              }),
              1);
}

TEST_F(BtreeLocking, ReadersInTwoProcessesAndWritesThatAllArrive) {
    for (int round = 0; round < 4; round++) {
        int rc = InChild([&] {
            std::unique_ptr<Btree> bt;
            std::string err;
            if (Btree::Open(m_path.string(), bt, err) != 0 || bt->BeginTrans() != 0)
                return 100;
            std::unique_ptr<BtCursor> c;
            if (bt->Cursor(m_root, true, c) != 0)
                return 101;
            for (int i = 0; i < 50; i++) {
                std::string k = RowidKey(round * 1000 + i);
                if (c->Insert(k.data(), 4, "child", 5) != 0)
                    return 102;
            }
            c.reset();
            return bt->Commit();
        });
        ASSERT_EQ(rc, 0);
        auto bt = OpenOrDie(m_path);
        ASSERT_EQ(bt->BeginTrans(), 0);
        Put(*bt, round * 1000 + 500);
        ASSERT_EQ(bt->Commit(), 0);
    }
    auto bt = OpenOrDie(m_path);
    EXPECT_EQ(ReadTree(*bt, m_root).size(), 4u * 51u);
    EXPECT_TRUE(Check(*bt, {2, m_root}).empty());
}

TEST_F(BtreeLocking, WritingATreeThatThisConnectionReadsIsLocked) {
    auto a = OpenOrDie(m_path);
    ASSERT_EQ(a->BeginTrans(), 0);
    std::unique_ptr<BtCursor> reader, writer;
    ASSERT_EQ(a->Cursor(m_root, false, reader), 0);
    ASSERT_EQ(a->Cursor(m_root, true, writer), 0);
    std::string k = RowidKey(3);
    EXPECT_EQ(writer->Insert(k.data(), 4, "x", 1), 6);
    EXPECT_EQ(a->ClearTable(m_root), 6);
    reader.reset();
    EXPECT_EQ(writer->Insert(k.data(), 4, "x", 1), 0);
    writer.reset();
    ASSERT_EQ(a->Commit(), 0);
}

TEST(BtreeHotJournal, ReaderInAnotherProcessDefersThePlayback) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto path = dir / "hot.db";
    CopyFile(txtest::FixturesDir() / "sqlite2/hot.db", path);
    CopyFile(txtest::FixturesDir() / "sqlite2/hot.db-journal", path.string() + "-journal");
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // A plain shared lock, as any reader holds it: the journal cannot be rolled back now.
        int fd = open(path.c_str(), O_RDONLY);
        struct flock fl = {};
        fl.l_type = F_RDLCK;
        fl.l_whence = SEEK_SET;
        char c = fcntl(fd, F_SETLK, &fl) == 0 ? 'y' : 'n';
        if (write(ready[1], &c, 1) != 1 || read(release[0], &c, 1) != 1)
            _exit(1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    auto bt = OpenOrDie(path);
    ASSERT_TRUE(bt) << "a lock held elsewhere is no reason to refuse the open";
    int meta[10];
    EXPECT_EQ(bt->GetMeta(meta), kBusy);
    EXPECT_TRUE(std::filesystem::exists(path.string() + "-journal"));
    ASSERT_EQ(write(release[1], "x", 1), 1);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(bt->GetMeta(meta), 0);
    EXPECT_FALSE(std::filesystem::exists(path.string() + "-journal"));
    EXPECT_EQ(meta[0], 1544);
    EXPECT_TRUE(Check(*bt, SchemaRoots(*bt)).empty());
}
