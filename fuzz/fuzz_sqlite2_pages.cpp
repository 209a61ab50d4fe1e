// Mutated database files at the page level: a fixture with bytes overwritten (or the input taken
// as a whole file) is opened, every tree named in sqlite_master is walked both ways, the
// integrity check runs, and a write transaction changes a tree and is rolled back. Nothing may
// crash or hang, whatever the bytes.
#include "sqlite2/btree.h"

#include <filesystem>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using sqlite2::BtCursor;
using sqlite2::Btree;

namespace {

const char* const kFixtures[] = {"few_rows.db", "synthetic/bigendian.db", "synthetic/odd_layout.db",
                                 "empty_schema.db", "compare.db"};

std::vector<std::string>& Images() {
    static std::vector<std::string> images = [] {
        std::vector<std::string> out;
        for (const char* name : kFixtures) {
            std::ifstream in(std::string(TX_FIXTURES_DIR) + "/sqlite2/" + name, std::ios::binary);
            out.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return out;
    }();
    return images;
}

const std::string& Scratch() {
    static std::string path = [] {
        const std::string base = std::filesystem::temp_directory_path().string();
        std::string tmpl = base + "/fuzz_sqlite2_pages.XXXXXX";
        const char* dir = mkdtemp(tmpl.data());
        return std::string(dir ? dir : base.c_str()) + "/f.db";
    }();
    return path;
}

// Root page (column 3) of a sqlite_master record; 0 when unreadable.
int RootOf(const std::string& rec) {
    size_t total = rec.size();
    size_t w = total < 256 ? 1 : (total < 65536 ? 2 : 3);
    if (5 * w > total)
        return 0;
    auto off = [&](size_t k) {
        size_t v = 0;
        for (size_t b = 0; b < w; b++)
            v |= size_t(uint8_t(rec[k * w + b])) << (8 * b);
        return v;
    };
    size_t a = off(3), b = off(4);
    if (a >= b || b > total)
        return 0;
    return std::atoi(std::string(rec.data() + a, b - a - 1).c_str());
}

void Walk(Btree& bt, int root, bool backwards) {
    std::unique_ptr<BtCursor> c;
    if (bt.Cursor(root, false, c) != 0)
        return;
    bool empty = true;
    if ((backwards ? c->Last(empty) : c->First(empty)) != 0 || empty)
        return;
    std::vector<char> buf;
    for (int steps = 0; steps < 100000; steps++) {
        int nk = 0, nd = 0;
        c->KeySize(nk);
        c->DataSize(nd);
        buf.resize(size_t(nk) + size_t(nd) + 1);
        c->Key(0, nk, buf.data());
        c->Data(0, nd, buf.data());
        bool done = true;
        if ((backwards ? c->Prev(done) : c->Next(done)) != 0 || done)
            return;
    }
}

void Modify(Btree& bt, int root) {
    if (bt.BeginTrans() != 0)
        return;
    {
        std::unique_ptr<BtCursor> c;
        if (bt.Cursor(root, true, c) == 0) {
            std::string data(1000, 'd');
            for (int i = 0; i < 40; i++) {
                uint8_t key[4] = {0x80, 0, uint8_t(i >> 8), uint8_t(i * 37)};
                if (c->Insert(key, 4, data.data(), 50 + i * 20) != 0)
                    break;
            }
            bool empty = true;
            if (c->First(empty) == 0 && !empty) {
                for (int i = 0; i < 30 && c->Valid(); i++) {
                    bool done = true;
                    if (c->Delete() != 0 || c->Next(done) != 0 || done)
                        break;
                }
            }
        }
    }
    bt.Rollback();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::string file;
    if (data[0] & 0x80) {
        file.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    } else {
        const auto& images = Images();
        file = images[data[0] % images.size()];
        if (file.empty())
            return 0;
        for (size_t i = 1; i + 4 <= size; i += 4) {
            size_t at = (size_t(data[i]) | size_t(data[i + 1]) << 8 | size_t(data[i + 2]) << 16) %
                        file.size();
            file[at] = char(data[i + 3]);
        }
    }
    const std::string& path = Scratch();
    unlink((path + "-journal").c_str());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.data(), std::streamsize(file.size()));
    }
    std::unique_ptr<Btree> bt;
    std::string err;
    if (Btree::Open(path, bt, err) != 0)
        return 0;
    std::vector<int> roots{2};
    {
        std::unique_ptr<BtCursor> c;
        if (bt->Cursor(2, false, c) == 0) {
            bool empty = true;
            if (c->First(empty) == 0 && !empty) {
                for (int n = 0; n < 64; n++) {
                    int nd = 0;
                    c->DataSize(nd);
                    std::string rec(size_t(nd), '\0');
                    if (c->Data(0, nd, rec.data()) == 0 && RootOf(rec) > 0)
                        roots.push_back(RootOf(rec));
                    bool done = true;
                    if (c->Next(done) != 0 || done)
                        break;
                }
            }
        }
    }
    for (int root : roots) {
        Walk(*bt, root, false);
        Walk(*bt, root, true);
    }
    std::vector<std::string> errors;
    bt->IntegrityCheck(roots, errors);
    int meta[10];
    bt->GetMeta(meta);
    Modify(*bt, roots.back());
    return 0;
}
