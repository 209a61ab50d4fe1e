#include "BtreeTestUtil.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>

using sqlite2::BtCursor;
using sqlite2::Btree;

namespace sqlite2test {

std::unique_ptr<Btree> OpenOrDie(const std::filesystem::path& path) {
    std::unique_ptr<Btree> bt;
    std::string err;
    int rc = Btree::Open(path.string(), bt, err);
    EXPECT_EQ(rc, 0) << err;
    return bt;
}

std::vector<std::pair<std::string, std::string>> ReadTree(Btree& bt, int root, bool backwards) {
    std::vector<std::pair<std::string, std::string>> out;
    std::unique_ptr<BtCursor> c;
    if (bt.Cursor(root, false, c) != 0) {
        ADD_FAILURE() << "cursor on " << root;
        return out;
    }
    bool empty = true;
    int rc = backwards ? c->Last(empty) : c->First(empty);
    EXPECT_EQ(rc, 0);
    if (rc != 0 || empty)
        return out;
    bool done = false;
    while (!done) {
        int nk = 0, nd = 0;
        EXPECT_EQ(c->KeySize(nk), 0);
        EXPECT_EQ(c->DataSize(nd), 0);
        std::string k(size_t(nk), '\0'), d(size_t(nd), '\0');
        EXPECT_EQ(c->Key(0, nk, k.data()), 0);
        EXPECT_EQ(c->Data(0, nd, d.data()), 0);
        out.emplace_back(std::move(k), std::move(d));
        rc = backwards ? c->Prev(done) : c->Next(done);
        EXPECT_EQ(rc, 0);
        if (rc != 0)
            break;
    }
    return out;
}

namespace {

// Column i of a 2.8 record (little-endian offsets of width 1, 2 or 3); nullopt-like empty flag.
bool RecordColumn(const std::string& rec, int i, std::string& out) {
    size_t total = rec.size();
    int w = total < 256 ? 1 : (total < 65536 ? 2 : 3);
    auto off = [&](int k) {
        size_t v = 0;
        for (int b = 0; b < w; b++)
            v |= size_t(uint8_t(rec[size_t(k * w + b)])) << (8 * b);
        return v;
    };
    if (size_t((i + 2) * w) > total)
        return false;
    size_t a = off(i), b = off(i + 1);
    if (a > b || b > total)
        return false;
    if (a == b)
        return false;
    out = std::string(rec.data() + a, b - a - 1);
    return true;
}

} // namespace

std::vector<std::pair<std::string, int>> MasterEntries(Btree& bt) {
    std::vector<std::pair<std::string, int>> out;
    for (auto& [key, data] : ReadTree(bt, 2)) {
        std::string name, root;
        if (RecordColumn(data, 1, name) && RecordColumn(data, 3, root))
            out.emplace_back(name, std::stoi(root));
    }
    return out;
}

std::vector<int> SchemaRoots(Btree& bt) {
    std::vector<int> roots{2};
    for (auto& [name, root] : MasterEntries(bt))
        roots.push_back(root);
    return roots;
}

std::vector<std::string> Check(Btree& bt, const std::vector<int>& roots) {
    std::vector<std::string> errors;
    bt.IntegrityCheck(roots, errors);
    return errors;
}

std::vector<std::string> ShapeProblems(const std::string& file, int root) {
    std::vector<std::string> problems;
    if (file.size() < 1024)
        return problems;
    bool big = uint8_t(file[48]) == 0xda;
    auto u32 = [&](size_t off) {
        auto p = reinterpret_cast<const uint8_t*>(file.data() + off);
        return big ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
                   : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
    };
    auto u16 = [&](size_t off) {
        auto p = reinterpret_cast<const uint8_t*>(file.data() + off);
        return big ? uint32_t(p[0] << 8 | p[1]) : uint32_t(p[1] << 8 | p[0]);
    };
    size_t pages = file.size() / 1024;
    int leafDepth = -1;
    std::function<void(uint32_t, int)> walk = [&](uint32_t pg, int depth) {
        if (pg == 0 || pg > pages || depth > 40) {
            problems.push_back("bad child " + std::to_string(pg));
            return;
        }
        size_t base = size_t(pg - 1) * 1024;
        uint32_t right = u32(base);
        std::vector<uint32_t> lefts;
        for (uint32_t off = u16(base + 4); off != 0 && lefts.size() < 64; off = u16(base + off + 6))
            lefts.push_back(u32(base + off));
        if (depth > 0 && lefts.empty())
            problems.push_back("empty non-root page " + std::to_string(pg));
        if (right == 0) {
            for (uint32_t l : lefts) {
                if (l != 0)
                    problems.push_back("leaf with a child on page " + std::to_string(pg));
            }
            if (leafDepth < 0)
                leafDepth = depth;
            else if (leafDepth != depth)
                problems.push_back("leaf depth differs on page " + std::to_string(pg));
            return;
        }
        for (uint32_t l : lefts) {
            if (l == 0)
                problems.push_back("interior page without child " + std::to_string(pg));
            else
                walk(l, depth + 1);
        }
        walk(right, depth + 1);
    };
    walk(uint32_t(root), 0);
    return problems;
}

std::string RowidKey(int rowid) {
    uint32_t v = uint32_t(rowid) ^ 0x80000000u;
    std::string k(4, '\0');
    for (int i = 0; i < 4; i++)
        k[size_t(i)] = char(v >> (24 - 8 * i));
    return k;
}

std::vector<bool> FreeListLeaves(const std::string& file) {
    auto u32 = [&](size_t off) {
        uint32_t v;
        std::memcpy(&v, file.data() + off, 4);
        return v;
    };
    std::vector<bool> leaf(file.size() / 1024 + 2, false);
    size_t guard = 0;
    for (uint32_t t = u32(52); t != 0 && guard++ < leaf.size(); t = u32(size_t(t - 1) * 1024)) {
        uint32_t n = u32(size_t(t - 1) * 1024 + 4);
        for (uint32_t i = 0; i < n && i < 254; i++) {
            uint32_t p = u32(size_t(t - 1) * 1024 + 8 + 4 * i);
            if (p < leaf.size())
                leaf[p] = true;
        }
    }
    return leaf;
}

void CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write);
}

} // namespace sqlite2test
