#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "security/Login.h"
#include "security/MD5Checksum.h"
#include "storage/Compaction.h"
#include "storage/CreatorPages.h"
#include "storage/CreatorSQLite.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteEngine.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string MakeVault(const txtest::ScratchDir& dir) {
    const std::string path = (dir / "vault.tpx").string();
    CCreatorSQLite creator;
    creator.SetFileName(path);
    creator.SetUserName("carol");
    creator.SetKey(CMD5Checksum::GetMD5("pw"));
    creator.SetCreateCategories(true);
    creator.SetCategories(DefaultCategories());
    EXPECT_EQ(creator.Create(), 1);
    return path;
}

int CountRows(CKivDatabase& db, const char* sql) {
    CursorPtr cursor(db.Query(sql));
    int n = 0;
    CRow* row = nullptr;
    while (cursor && cursor->Fetch(row) == 0 && row) {
        ++n;
        row->Release();
    }
    return n;
}

// An engine whose VACUUM answers success with an error text, as a locked file makes the
// real one do; every statement is recorded.
std::vector<std::string> g_executed;
int LockedVacuumExec(sqlite* db, const char* sql, sqlite_callback cb, void* arg, char** error) {
    g_executed.push_back(sql);
    if (std::strncmp(sql, "vacuum", 6) == 0) {
        *error = sqlite_mprintf("database is locked");
        return 0;
    }
    return RealSQLiteEngine().exec(db, sql, cb, arg, error);
}

} // namespace

TEST(BackupCompaction, WithoutAnOpenFileNothingHappens) {
    CScopedMessageRecorder messages;
    CScopedShellRecorder shell;
    EXPECT_FALSE(CompactDataFile(nullptr));
    EXPECT_FALSE(LocateDataFile(""));
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0].text, "You are not logged in...");
    EXPECT_EQ(messages.Messages()[0].flags, unsigned(MB_ICONINFORMATION));
    EXPECT_TRUE(shell.Calls().empty());
}

TEST(BackupCompaction, LocateOpensTheFolderOfTheFile) {
    CScopedShellRecorder shell;
    EXPECT_TRUE(LocateDataFile("/home/u/vaults/a.tpx"));
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].action, CRecordingShell::kExplore);
    EXPECT_EQ(shell.Calls()[0].target, "/home/u/vaults/");
}

TEST(BackupCompaction, ShrinksTheFileAndKeepsEveryRow) {
    txtest::ScratchDir dir;
    const std::string path = MakeVault(dir);
    CSQLiteDatabase db;
    db.Open(path);
    db.Execute("delete from TRESORIX_MAIN where id > 4");
    const auto before = fs::file_size(path);

    CScopedMessageRecorder messages;
    EXPECT_TRUE(CompactDataFile(&db));
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_LE(fs::file_size(path), before);
    EXPECT_EQ(CountRows(db, "select id from tresorix_main"), 4);
    db.Close();
    EXPECT_EQ(CheckLogin(path, "carol", CMD5Checksum::GetMD5("pw")), 1);
}

TEST(BackupCompaction, AFailureStopsTheSequenceAndIsShown) {
    txtest::ScratchDir dir;
    const std::string path = MakeVault(dir);
    CSQLiteDatabase db;
    db.Open(path);
    CScopedMessageRecorder messages;

    // Inside a transaction the engine refuses outright.
    db.BeginTransaction();
    EXPECT_FALSE(CompactDataFile(&db));
    db.RollbackTransaction();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].flags, unsigned(MB_ICONSTOP));

    // A "success" that carries an error text is a failure too.
    g_executed.clear();
    SQLITE_ENGINE engine = RealSQLiteEngine();
    engine.exec = LockedVacuumExec;
    const SQLITE_ENGINE previous = SetSQLiteEngine(engine);
    EXPECT_FALSE(CompactDataFile(&db));
    SetSQLiteEngine(previous);
    EXPECT_EQ(g_executed, std::vector<std::string>{"vacuum tresorix_main"});
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[1].text, "database is locked");
    EXPECT_EQ(CountRows(db, "select id from tresorix_main"), 16);
}
