// CopyFrom, the last step of a rebuild: the whole file takes another database's pages inside the
// open transaction, so a rollback (or a crash) still gives back the original.
#include "BtreeTestUtil.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

using sqlite2::BtCursor;
using sqlite2::Btree;
using namespace sqlite2test;
namespace fs = std::filesystem;

namespace {

fs::path MakeSmallDatabase(const txtest::ScratchDir& dir) {
    auto path = dir / "small.db";
    auto bt = OpenOrDie(path);
    bt->SetSynchronous(false);
    int root = 0;
    EXPECT_EQ(bt->BeginTrans(), 0);
    EXPECT_EQ(bt->CreateTable(root), 0);
    std::unique_ptr<BtCursor> c;
    EXPECT_EQ(bt->Cursor(root, true, c), 0);
    for (int i = 0; i < 300; i++) {
        std::string k = RowidKey(i), d(50 + i, 'c');
        EXPECT_EQ(c->Insert(k.data(), 4, d.data(), int(d.size())), 0);
    }
    c.reset();
    EXPECT_EQ(bt->Commit(), 0);
    return path;
}

} // namespace

TEST(BtreeCopy, CommittedCopyIsTheSourceFileExactly) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto source = MakeSmallDatabase(dir);
    for (const char* name : {"tree3000_deleted.db", "synthetic/bigendian.db"}) {
        SCOPED_TRACE(name);
        auto target = dir / "target.db";
        CopyFile(txtest::FixturesDir() / "sqlite2" / name, target);
        auto src = OpenOrDie(source);
        auto dst = OpenOrDie(target);
        ASSERT_EQ(dst->BeginTrans(), 0);
        ASSERT_EQ(dst->CopyFrom(*src), 0);
        EXPECT_EQ(dst->PageCount(), src->PageCount());
        ASSERT_EQ(dst->Commit(), 0);
        EXPECT_EQ(txtest::ReadFile(target), txtest::ReadFile(source));
        EXPECT_EQ(ReadTree(*dst, 3).size(), 300u);
        EXPECT_TRUE(Check(*dst, {2, 3}).empty());
    }
}

TEST(BtreeCopy, RolledBackCopyLeavesTheOriginal) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    auto source = MakeSmallDatabase(dir);
    auto target = dir / "target.db";
    CopyFile(txtest::FixturesDir() / "sqlite2/tree3000.db", target);
    std::string original = txtest::ReadFile(target);
    auto src = OpenOrDie(source);
    auto dst = OpenOrDie(target);
    dst->SetCacheSize(50); // pages reach the file before the end of the transaction
    ASSERT_EQ(dst->BeginTrans(), 0);
    ASSERT_EQ(dst->CopyFrom(*src), 0);
    // What a crash at this point would leave behind.
    txtest::ScratchDir crash;
    CopyFile(target, crash / "t.db");
    CopyFile(target.string() + "-journal", crash / "t.db-journal");
    ASSERT_EQ(dst->Rollback(), 0);
    EXPECT_EQ(txtest::ReadFile(target), original);
    auto after = OpenOrDie(crash / "t.db");
    EXPECT_EQ(txtest::ReadFile(crash / "t.db"), original);
}
