// A child process commits transaction after transaction and is killed (SIGKILL) at a random
// moment; each time, a fresh open must see exactly the state before or after the interrupted
// transaction, with a clean integrity check. TX_CRASH_ROUNDS sets the number of rounds.
#include "BtreeTestUtil.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <random>

using sqlite2::BtCursor;
using sqlite2::Btree;
using namespace sqlite2test;

namespace {

using Model = std::map<std::string, std::string>;

constexpr int kRoot = 3;
constexpr int kCounterMeta = 7;

struct Op {
    bool del;
    int rowid;
    std::string data;
};

// Transaction n's changes depend on n alone, so the parent can replay them.
std::vector<Op> Plan(uint32_t n) {
    std::mt19937 rng(n * 7919u + 13u);
    size_t count = rng() % 20 == 0 ? 150 + rng() % 200 : 1 + rng() % 25;
    std::vector<Op> ops;
    for (size_t i = 0; i < count; i++) {
        Op op;
        op.del = rng() % 100 < 30;
        op.rowid = int(rng() % 1200);
        size_t len = rng() % 100 < 90 ? rng() % 300 : 1000 + rng() % 6000;
        op.data.assign(len, char('A' + n % 26));
        if (!op.data.empty())
            op.data[0] = char(i);
        ops.push_back(std::move(op));
    }
    return ops;
}

void Apply(Model& m, uint32_t n) {
    for (const Op& op : Plan(n)) {
        if (op.del)
            m.erase(RowidKey(op.rowid));
        else
            m[RowidKey(op.rowid)] = op.data;
    }
}

extern "C" void KillSelf(int) {
    kill(getpid(), SIGKILL);
}

[[noreturn]] void ChildWork(const std::string& path, int reportFd, uint32_t seed) {
    std::mt19937 rng(seed);
    signal(SIGALRM, KillSelf);
    struct itimerval t = {};
    t.it_value.tv_usec = long(rng() % 25000) + 1;
    setitimer(ITIMER_REAL, &t, nullptr);
    std::unique_ptr<Btree> bt;
    std::string err;
    if (Btree::Open(path, bt, err) != 0)
        _exit(2);
    if (seed % 3 == 0)
        bt->SetCacheSize(10); // spills pages mid-transaction
    int meta[10];
    if (bt->GetMeta(meta) != 0)
        _exit(3);
    uint32_t n = uint32_t(meta[kCounterMeta]);
    while (true) {
        n++;
        if (bt->BeginTrans() != 0)
            _exit(4);
        {
            std::unique_ptr<BtCursor> c;
            if (bt->Cursor(kRoot, true, c) != 0)
                _exit(5);
            for (const Op& op : Plan(n)) {
                std::string k = RowidKey(op.rowid);
                if (op.del) {
                    int res = 1;
                    if (c->Moveto(k.data(), 4, res) != 0)
                        _exit(6);
                    if (res == 0 && c->Delete() != 0)
                        _exit(7);
                } else if (c->Insert(k.data(), 4, op.data.data(), int(op.data.size())) != 0) {
                    _exit(8);
                }
            }
        }
        meta[kCounterMeta] = int(n);
        if (bt->UpdateMeta(meta) != 0 || bt->Commit() != 0)
            _exit(9);
        if (write(reportFd, &n, sizeof n) != sizeof n)
            _exit(10);
    }
}

int Rounds() {
    const char* env = std::getenv("TX_CRASH_ROUNDS");
    int n = env ? std::atoi(env) : 0;
    return n > 0 ? n : 200;
}

} // namespace

TEST(BtreeCrash, KilledWriterLeavesTheStateBeforeOrAfterItsTransaction) {
    txtest::ScratchDir dir;
    auto path = (dir / "crash.db").string();
    {
        auto bt = OpenOrDie(path);
        int root = 0;
        ASSERT_EQ(bt->BeginTrans(), 0);
        ASSERT_EQ(bt->CreateTable(root), 0);
        ASSERT_EQ(root, kRoot);
        ASSERT_EQ(bt->Commit(), 0);
    }
    Model model;
    uint32_t modelAt = 0;
    int interruptedMidway = 0;
    for (int round = 0; round < Rounds(); round++) {
        SCOPED_TRACE("round " + std::to_string(round));
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            ChildWork(path, fds[1], uint32_t(round) * 2654435761u + 1u);
        }
        close(fds[1]);
        uint32_t reported = modelAt, v = 0;
        while (read(fds[0], &v, sizeof v) == ssize_t(sizeof v))
            reported = v;
        close(fds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "child exit code " << WEXITSTATUS(status);
        bool hadJournal = std::filesystem::exists(path + "-journal");
        auto bt = OpenOrDie(path);
        ASSERT_TRUE(bt);
        EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
        int meta[10];
        ASSERT_EQ(bt->GetMeta(meta), 0);
        uint32_t at = uint32_t(meta[kCounterMeta]);
        ASSERT_TRUE(at == reported || at == reported + 1)
            << "file says " << at << ", child reported " << reported;
        if (hadJournal && at == reported)
            interruptedMidway++;
        while (modelAt < at)
            Apply(model, ++modelAt);
        auto entries = ReadTree(*bt, kRoot);
        ASSERT_EQ(entries.size(), model.size());
        size_t i = 0;
        for (auto& [k, d] : model) {
            ASSERT_EQ(entries[i].first, k);
            ASSERT_EQ(entries[i].second, d);
            i++;
        }
        auto errors = Check(*bt, {2, kRoot});
        ASSERT_TRUE(errors.empty()) << errors.front();
    }
    EXPECT_GT(interruptedMidway, 0) << "some kills should land inside a transaction";
}
