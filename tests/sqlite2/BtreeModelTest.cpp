// The B-tree against a std::map under random inserts, replacements and deletes of keys and data
// of many sizes (overflow chains included), with the integrity check after every batch.
#include "BtreeTestUtil.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using sqlite2::BtCursor;
using sqlite2::Btree;
using namespace sqlite2test;

namespace {

using Model = std::map<std::string, std::string>;

std::string RandomBytes(std::mt19937& rng, size_t n) {
    std::string s(n, '\0');
    for (auto& ch : s)
        ch = char(rng() & 0xff);
    return s;
}

size_t RandomDataSize(std::mt19937& rng) {
    int r = int(rng() % 1000);
    if (r < 600)
        return rng() % 60;
    if (r < 850)
        return 150 + rng() % 200; // around the 236-byte local limit
    if (r < 990)
        return 300 + rng() % 4000;
    return 100000 + rng() % 500000; // long overflow chains
}

std::string RandomKey(std::mt19937& rng, bool rowids) {
    if (rowids)
        return RowidKey(int(rng() % 5000) - 100);
    size_t n = 1 + rng() % 40;
    if (rng() % 50 == 0)
        n = 200 + rng() % 400; // keys continuing into the overflow chain
    return RandomBytes(rng, n);
}

void ExpectMatches(Btree& bt, int root, const Model& model) {
    auto forward = ReadTree(bt, root);
    ASSERT_EQ(forward.size(), model.size());
    size_t i = 0;
    for (auto& [k, v] : model) {
        ASSERT_EQ(forward[i].first, k) << "entry " << i;
        ASSERT_EQ(forward[i].second, v) << "entry " << i;
        i++;
    }
    auto backward = ReadTree(bt, root, true);
    ASSERT_EQ(backward.size(), model.size());
    i = model.size();
    for (auto& e : backward)
        ASSERT_EQ(e.first, forward[--i].first);
}

void ExpectSound(Btree& bt, const std::filesystem::path& file, const std::vector<int>& roots) {
    auto errors = Check(bt, roots);
    EXPECT_TRUE(errors.empty()) << errors.front();
    std::string bytes = txtest::ReadFile(file);
    for (int r : roots) {
        auto shape = ShapeProblems(bytes, r);
        EXPECT_TRUE(shape.empty()) << shape.front();
    }
}

void RandomBatch(std::mt19937& rng, BtCursor& c, Model& model, bool rowids, int ops) {
    for (int op = 0; op < ops; op++) {
        bool del = !model.empty() && rng() % 100 < 35;
        if (del) {
            auto it = model.begin();
            std::advance(it, long(rng() % model.size()));
            int res = 1;
            ASSERT_EQ(c.Moveto(it->first.data(), int(it->first.size()), res), 0);
            ASSERT_EQ(res, 0);
            ASSERT_EQ(c.Delete(), 0);
            model.erase(it);
        } else {
            std::string k = RandomKey(rng, rowids);
            std::string d = RandomBytes(rng, RandomDataSize(rng));
            if (k.size() + d.size() == 0)
                d = "x";
            ASSERT_EQ(c.Insert(k.data(), int(k.size()), d.data(), int(d.size())), 0);
            model[k] = d;
        }
    }
}

} // namespace

struct ModelCase {
    bool rowids;
    int cacheSize; // a small cache writes pages before the commit
};

class BtreeModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(BtreeModel, RandomChangesMatchAMapAndKeepEveryRule) {
    const ModelCase mc = GetParam();
    txtest::ScratchDir dir;
    auto path = dir / "model.db";
    std::mt19937 rng(mc.rowids ? 17 : 4242);
    Model model, committed;
    int root = 0;
    {
        auto bt = OpenOrDie(path);
        bt->SetCacheSize(mc.cacheSize);
        ASSERT_EQ(bt->BeginTrans(), 0);
        ASSERT_EQ(bt->CreateTable(root), 0);
        ASSERT_EQ(bt->Commit(), 0);
        for (int batch = 0; batch < 30; batch++) {
            ASSERT_EQ(bt->BeginTrans(), 0);
            {
                std::unique_ptr<BtCursor> c;
                ASSERT_EQ(bt->Cursor(root, true, c), 0);
                // Statements inside the transaction; some are undone alone.
                for (int stmt = 0; stmt < 4; stmt++) {
                    Model atStatement = model;
                    ASSERT_EQ(bt->BeginCkpt(), 0);
                    RandomBatch(rng, *c, model, mc.rowids, 5 + int(rng() % 60));
                    if (HasFatalFailure())
                        return;
                    if (rng() % 5 == 0) {
                        ASSERT_EQ(bt->RollbackCkpt(), 0);
                        model = atStatement;
                    } else {
                        ASSERT_EQ(bt->CommitCkpt(), 0);
                    }
                }
            }
            if (batch % 7 == 3) {
                ASSERT_EQ(bt->Rollback(), 0);
                model = committed;
            } else {
                ASSERT_EQ(bt->Commit(), 0);
                committed = model;
            }
            ExpectMatches(*bt, root, model);
            ExpectSound(*bt, path, {2, root});
            if (HasFatalFailure())
                return;
        }
    }
    auto bt = OpenOrDie(path);
    ExpectMatches(*bt, root, committed);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BtreeModel,
                         ::testing::Values(ModelCase{true, 2000}, ModelCase{false, 2000},
                                           ModelCase{true, 10}, ModelCase{false, 12}),
                         [](const auto& info) {
                             return std::string(info.param.rowids ? "Rowids" : "ByteKeys") +
                                    (info.param.cacheSize < 100 ? "SmallCache" : "");
                         });

TEST(BtreeTrees, DeletingEverythingShrinksBackToAnEmptyRootAndFreesThePages) {
    txtest::ScratchDir dir;
    auto path = dir / "shrink.db";
    auto bt = OpenOrDie(path);
    int root = 0;
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->CreateTable(root), 0);
    std::unique_ptr<BtCursor> c;
    ASSERT_EQ(bt->Cursor(root, true, c), 0);
    std::string data(300, 'd');
    for (int i = 1; i <= 3000; i++) {
        std::string k = RowidKey(i);
        ASSERT_EQ(c->Insert(k.data(), 4, data.data(), int(data.size())), 0);
    }
    bool empty = true;
    ASSERT_EQ(c->First(empty), 0);
    ASSERT_FALSE(empty);
    bool done = false;
    int deleted = 0;
    while (!done) {
        ASSERT_EQ(c->Delete(), 0);
        deleted++;
        ASSERT_EQ(c->Next(done), 0);
    }
    EXPECT_EQ(deleted, 3000);
    c.reset();
    ASSERT_EQ(bt->Commit(), 0);
    EXPECT_TRUE(ReadTree(*bt, root).empty());
    int meta[10];
    ASSERT_EQ(bt->GetMeta(meta), 0);
    EXPECT_EQ(meta[0], bt->PageCount() - 3) << "every page but 1, 2 and the root is free";
    EXPECT_TRUE(Check(*bt, {2, root}).empty());
}

TEST(BtreeTrees, DeleteWhileScanningVisitsEveryOtherEntryOnce) {
    txtest::ScratchDir dir;
    auto bt = OpenOrDie(dir / "scan.db");
    int root = 0;
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->CreateTable(root), 0);
    std::unique_ptr<BtCursor> c;
    ASSERT_EQ(bt->Cursor(root, true, c), 0);
    for (int i = 0; i < 2000; i++) {
        std::string k = RowidKey(i), d(i % 97, 'v');
        ASSERT_EQ(c->Insert(k.data(), 4, d.data(), int(d.size())), 0);
    }
    bool empty = true, done = false;
    ASSERT_EQ(c->First(empty), 0);
    int seen = 0;
    while (!done) {
        char key[4];
        ASSERT_EQ(c->Key(0, 4, key), 0);
        ASSERT_EQ(std::string(key, 4), RowidKey(seen));
        if (seen % 2 == 0) {
            ASSERT_EQ(c->Delete(), 0);
        }
        seen++;
        ASSERT_EQ(c->Next(done), 0);
    }
    EXPECT_EQ(seen, 2000);
    c.reset();
    auto rest = ReadTree(*bt, root);
    ASSERT_EQ(rest.size(), 1000u);
    EXPECT_EQ(rest.front().first, RowidKey(1));
    EXPECT_TRUE(Check(*bt, {2, root}).empty());
    ASSERT_EQ(bt->Commit(), 0);
}

TEST(BtreeTrees, OtherCursorsFindTheirEntryAfterChanges) {
    txtest::ScratchDir dir;
    auto bt = OpenOrDie(dir / "cursors.db");
    int root = 0;
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->CreateTable(root), 0);
    std::unique_ptr<BtCursor> w, r;
    ASSERT_EQ(bt->Cursor(root, true, w), 0);
    ASSERT_EQ(bt->Cursor(root, true, r), 0);
    for (int i = 0; i < 500; i += 2) {
        std::string k = RowidKey(i);
        ASSERT_EQ(w->Insert(k.data(), 4, "abc", 3), 0);
    }
    int res = 0;
    std::string k100 = RowidKey(100);
    ASSERT_EQ(r->Moveto(k100.data(), 4, res), 0);
    ASSERT_EQ(res, 0);
    for (int i = 1; i < 500; i += 2) {
        std::string k = RowidKey(i);
        ASSERT_EQ(w->Insert(k.data(), 4, "abcdefgh", 8), 0);
    }
    char key[4];
    ASSERT_EQ(r->Key(0, 4, key), 0);
    EXPECT_EQ(std::string(key, 4), k100);
    ASSERT_EQ(w->Moveto(k100.data(), 4, res), 0);
    ASSERT_EQ(w->Delete(), 0);
    bool done = true;
    ASSERT_EQ(r->Next(done), 0);
    ASSERT_FALSE(done);
    ASSERT_EQ(r->Key(0, 4, key), 0);
    EXPECT_EQ(std::string(key, 4), RowidKey(101)) << "the deleted entry's successor";
    ASSERT_EQ(r->Prev(done), 0);
    ASSERT_EQ(r->Key(0, 4, key), 0);
    EXPECT_EQ(std::string(key, 4), RowidKey(99));
    w.reset();
    r.reset();
    ASSERT_EQ(bt->Commit(), 0);
}

TEST(BtreeTrees, KeyCompareIgnoresTrailingBytesOfTheCursorKey) {
    txtest::ScratchDir dir;
    auto bt = OpenOrDie(dir / "cmp.db");
    int root = 0;
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->CreateIndex(root), 0);
    std::unique_ptr<BtCursor> c;
    ASSERT_EQ(bt->Cursor(root, true, c), 0);
    std::string key = std::string("cabc\0", 5) + RowidKey(7);
    ASSERT_EQ(c->Insert(key.data(), int(key.size()), "", 0), 0);
    int res = 9;
    ASSERT_EQ(c->Moveto(key.data(), int(key.size()), res), 0);
    ASSERT_EQ(res, 0);
    ASSERT_EQ(c->KeyCompare("cabc\0", 5, 4, res), 0);
    EXPECT_EQ(res, 0);
    ASSERT_EQ(c->KeyCompare("cabd", 4, 4, res), 0);
    EXPECT_LT(res, 0);
    ASSERT_EQ(c->KeyCompare("cab", 3, 4, res), 0);
    EXPECT_GT(res, 0);
    ASSERT_EQ(c->KeyCompare(key.data(), int(key.size()), 0, res), 0);
    EXPECT_EQ(res, 0);
    c.reset();
    ASSERT_EQ(bt->Commit(), 0);
}

TEST(BtreeTrees, DropAndClearReturnPagesToTheFreeList) {
    txtest::ScratchDir dir;
    auto path = dir / "drop.db";
    auto bt = OpenOrDie(path);
    int a = 0, b = 0;
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->CreateTable(a), 0);
    ASSERT_EQ(bt->CreateTable(b), 0);
    {
        std::unique_ptr<BtCursor> ca, cb;
        ASSERT_EQ(bt->Cursor(a, true, ca), 0);
        ASSERT_EQ(bt->Cursor(b, true, cb), 0);
        std::string big(5000, 'b');
        for (int i = 0; i < 400; i++) {
            std::string k = RowidKey(i);
            ASSERT_EQ(ca->Insert(k.data(), 4, big.data(), 1 + i * 7), 0);
            ASSERT_EQ(cb->Insert(k.data(), 4, "x", 1), 0);
        }
        EXPECT_EQ(bt->DropTable(a), 6);
    }
    ASSERT_EQ(bt->DropTable(a), 0);
    ASSERT_EQ(bt->ClearTable(b), 0);
    ASSERT_EQ(bt->Commit(), 0);
    EXPECT_TRUE(ReadTree(*bt, b).empty());
    EXPECT_TRUE(Check(*bt, {2, b}).empty());
    int meta[10];
    ASSERT_EQ(bt->GetMeta(meta), 0);
    EXPECT_EQ(meta[0], bt->PageCount() - 3);
    int c = 0;
    ASSERT_EQ(bt->BeginTrans(), 0);
    ASSERT_EQ(bt->CreateTable(c), 0);
    ASSERT_EQ(bt->Commit(), 0);
    ASSERT_EQ(bt->GetMeta(meta), 0);
    EXPECT_EQ(meta[0], bt->PageCount() - 4) << "a new root comes from the free list";
    EXPECT_TRUE(Check(*bt, {2, b, c}).empty());
}
