// A damaged child link must end a descent at once with 11, without the cursor's bookkeeping
// growing with the wild page number it read.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>

#include "SqlTestUtil.h"
#include "common/Fixtures.h"
#include "sqlite2/sqlite.h"

using namespace sqltest;
namespace fs = std::filesystem;

namespace {

long PeakRssKb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

fs::path CopyDamaged(const txtest::ScratchDir& dir) {
    // Four bytes changed in the fixture few_rows.db; one of them breaks a child link of the
    // TRESORIX_DATA_ID_PARENT index.
    fs::path src = fs::path(__FILE__).parent_path() / "data" / "cycle_few_rows.db";
    fs::path dst = dir / "cycle.db";
    fs::copy_file(src, dst, fs::copy_options::overwrite_existing);
    fs::permissions(dst, fs::perms::owner_read | fs::perms::owner_write);
    return dst;
}

TEST(CyclicTree, WildChildLinkIsMalformedWithoutGrowingMemory) {
    txtest::ScratchDir dir;
    fs::path p = CopyDamaged(dir);
    char* err = nullptr;
    sqlite* db = sqlite_open(p.c_str(), 0, &err);
    ASSERT_NE(db, nullptr) << (err ? err : "");
    long before = PeakRssKb();

    Result r = Query(db, "select data from tresorix_data where id_parent = 6 order by part asc");
    EXPECT_EQ(r.rc, SQLITE_CORRUPT);
    EXPECT_EQ(r.error, "database disk image is malformed");

    Result ic = Query(db, "PRAGMA integrity_check");
    if (ic.rc == 0) {
        ASSERT_FALSE(ic.rows.empty());
        EXPECT_NE(*ic.rows[0][0], "ok");
    } else {
        EXPECT_EQ(ic.rc, SQLITE_CORRUPT);
    }

    // Undamaged tables of the same file still answer.
    Result main = Query(db, "select count(*) from tresorix_main");
    EXPECT_EQ(main.rc, 0) << main.error;

    // The 13 KB file needs no more than a few pages of cursor state; the fault grew by the
    // page number (hundreds of MB).
    EXPECT_LT(PeakRssKb() - before, 32 * 1024);
    sqlite_close(db);
}

} // namespace
