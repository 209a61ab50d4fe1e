// The storage half of the engine alone: B-tree inserts inside one transaction, autocommit
// updates (journal, syncs and locks included) and autocommit point reads (lock, page reads,
// unlock), shaped like the catalogue's table and index traffic.

#include "sqlite2/btree.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

using sqlite2::BtCursor;
using sqlite2::Btree;

namespace {

std::string RowidKey(int rowid) {
    uint32_t v = uint32_t(rowid) ^ 0x80000000u;
    std::string k(4, '\0');
    for (int i = 0; i < 4; i++)
        k[size_t(i)] = char(v >> (24 - 8 * i));
    return k;
}

std::string ScratchPath(const char* name) {
    auto path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove(path);
    std::filesystem::remove(path.string() + "-journal");
    return path.string();
}

struct Db {
    std::unique_ptr<Btree> bt;
    int table = 0, autoindex = 0, parentIndex = 0;

    explicit Db(const std::string& path) {
        std::string err;
        Btree::Open(path, bt, err);
        bt->BeginTrans();
        bt->CreateTable(autoindex);
        bt->CreateTable(table);
        bt->CreateTable(parentIndex);
        bt->Commit();
    }

    // One row: the table entry and its two index entries.
    void InsertRows(int from, int count) {
        std::unique_ptr<BtCursor> t, a, p;
        bt->Cursor(table, true, t);
        bt->Cursor(autoindex, true, a);
        bt->Cursor(parentIndex, true, p);
        std::string record(120, 'r');
        for (int i = from; i < from + count; i++) {
            std::string k = RowidKey(i);
            t->Insert(k.data(), 4, record.data(), int(record.size()));
            std::string ak = "b0G" + std::to_string(i) + std::string(1, '\0') + k;
            a->Insert(ak.data(), int(ak.size()), "", 0);
            std::string pk = "b0G" + std::to_string(i % 97) + std::string(1, '\0') + k;
            p->Insert(pk.data(), int(pk.size()), "", 0);
        }
    }
};

void BM_InsertRowsOneTransaction(benchmark::State& state) {
    const int rows = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Db db(ScratchPath("bench_sqlite2_btree_insert.db"));
        state.ResumeTiming();
        db.bt->BeginTrans();
        db.InsertRows(1, rows);
        db.bt->Commit();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_InsertRowsOneTransaction)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AutocommitUpdate(benchmark::State& state) {
    Db db(ScratchPath("bench_sqlite2_btree_update.db"));
    db.bt->BeginTrans();
    db.InsertRows(1, 10000);
    db.bt->Commit();
    std::string record(800, 'u');
    int i = 0;
    for (auto _ : state) {
        db.bt->BeginTrans();
        {
            std::unique_ptr<BtCursor> c;
            db.bt->Cursor(db.table, true, c);
            std::string k = RowidKey(1 + (i++ * 104729) % 10000);
            c->Insert(k.data(), 4, record.data(), int(record.size()));
        }
        db.bt->Commit();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AutocommitUpdate)->Unit(benchmark::kMicrosecond);

void BM_AutocommitPointRead(benchmark::State& state) {
    Db db(ScratchPath("bench_sqlite2_btree_read.db"));
    db.bt->BeginTrans();
    db.InsertRows(1, 10000);
    db.bt->Commit();
    char buf[200];
    int i = 0;
    for (auto _ : state) {
        int meta[10];
        db.bt->GetMeta(meta);
        std::unique_ptr<BtCursor> c;
        db.bt->Cursor(db.table, false, c);
        std::string k = RowidKey(1 + (i++ * 7919) % 10000);
        int res = 0, n = 0;
        c->Moveto(k.data(), 4, res);
        c->DataSize(n);
        c->Data(0, n, buf);
        benchmark::DoNotOptimize(buf);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AutocommitPointRead)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
