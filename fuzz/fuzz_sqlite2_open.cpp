// Opens mutated fixture files and runs the catalogue's queries and the integrity check on
// them: nothing may crash or hang, and damage must be answered as a malformed image.
//
// Input: byte 0 picks a fixture (or, at 0xF0 and above, the rest of the input is the whole
// file); byte 1: bit 0 truncates the file at the offset in bytes 2..4, bits 4..7 ask for that
// many random byte changes seeded by bytes 1..4 (so short inputs still damage a lot); then
// groups of four bytes each XOR one byte: a 24-bit offset (modulo the size) and the value.

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "sqlite2/sqlite.h"

namespace {

std::vector<std::string> g_fixtures;
std::string g_dir;

std::string Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Init() {
    if (!g_dir.empty())
        return;
    const char* root = getenv("TX_FIXTURES_DIR");
    std::string dir = std::string(root ? root : TX_FIXTURES_DIR) + "/sqlite2/";
    for (const char* name : {"few_rows.db", "compare.db", "empty_schema.db",
                             "synthetic/bigendian.db", "synthetic/odd_layout.db", "all_bytes.db"}) {
        std::string f = Load(dir + name);
        if (!f.empty())
            g_fixtures.push_back(std::move(f));
    }
    if (g_fixtures.empty())
        g_fixtures.push_back(std::string());
    std::string tmpl = (std::filesystem::temp_directory_path() / "fuzz_sqlite2_XXXXXX").string();
    const char* d = mkdtemp(tmpl.data());
    if (!d)
        abort();
    g_dir = d;
    atexit([] {
        for (const char* f : {"/vault.tpx", "/vault.tpx-journal"})
            unlink((g_dir + f).c_str());
        rmdir(g_dir.c_str());
    });
}

bool Allowed(int rc) {
    // Internal faults and misuse of our own calls would be bugs of the engine.
    return rc != SQLITE_INTERNAL && rc != SQLITE_MISUSE && rc != SQLITE_NOMEM;
}

void Run(sqlite* db, const char* sql) {
    sqlite_vm* vm = nullptr;
    const char* tail = nullptr;
    char* err = nullptr;
    int rc = sqlite_compile(db, sql, &tail, &vm, &err);
    if (rc != SQLITE_OK) {
        if (!Allowed(rc))
            abort();
        sqlite_freemem(err);
        return;
    }
    int n = 0;
    const char** values = nullptr;
    const char** names = nullptr;
    size_t total = 0;
    while ((rc = sqlite_step(vm, &n, &values, &names)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i)
            if (values[i])
                total += strlen(values[i]);
        if (total > (1u << 30))
            abort();
    }
    rc = sqlite_finalize(vm, &err);
    if (rc == SQLITE_CORRUPT && (!err || strcmp(err, "database disk image is malformed") != 0))
        abort();
    if (!Allowed(rc))
        abort();
    sqlite_freemem(err);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Init();
    std::string file;
    if (size > 0 && data[0] >= 0xF0) {
        file.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    } else {
        file = g_fixtures[size ? data[0] % g_fixtures.size() : 0];
        if (size >= 5 && (data[1] & 1) && !file.empty())
            file.resize((data[2] | data[3] << 8 | data[4] << 16) % file.size());
        if (size >= 2 && !file.empty()) {
            uint32_t seed = data[1];
            for (size_t i = 2; i < 5 && i < size; ++i)
                seed = seed * 257 + data[i];
            std::minstd_rand rng(seed + 1);
            for (int n = data[1] >> 4; n > 0; --n) {
                size_t off = rng() % file.size();
                file[off] = static_cast<char>(rng());
            }
        }
        for (size_t pos = 5; pos + 4 <= size && !file.empty(); pos += 4) {
            size_t off = (data[pos] | data[pos + 1] << 8 | data[pos + 2] << 16) % file.size();
            file[off] = static_cast<char>(file[off] ^ data[pos + 3]);
        }
    }
    std::string path = g_dir + "/vault.tpx";
    unlink((path + "-journal").c_str());
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        abort();
    if (!file.empty() && write(fd, file.data(), file.size()) != static_cast<ssize_t>(file.size()))
        abort();
    close(fd);

    char* err = nullptr;
    sqlite* db = sqlite_open(path.c_str(), 0, &err);
    if (!db) {
        sqlite_freemem(err);
        return 0;
    }
    static const char* const kQueries[] = {
        "SELECT ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, DATA FROM TRESORIX_TRESORIX WHERE "
        "ID=1",
        "select * from sqlite_master",
        "select id from tresorix_main",
        "select id from tresorix_data",
        "select data from tresorix_main where id=3",
        "select id from tresorix_main where id_parent = 1",
        "select id from tresorix_main where id_parent = (select id_parent from tresorix_main where "
        "id = 6)",
        "select count(*) from tresorix_main where id_parent=1",
        "select EXPANDED from tresorix_main where id=2",
        "select data from tresorix_data where id_parent = 6 order by part asc",
        "select * from tresorix_main",
        "select * from tresorix_data",
        "PRAGMA integrity_check",
    };
    for (const char* q : kQueries)
        Run(db, q);
    sqlite_close(db);
    return 0;
}
