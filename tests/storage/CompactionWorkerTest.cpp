#include "platform/MessageBox.h"
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
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using REPORT = std::pair<std::uint64_t, std::uint64_t>;

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

// Which thread ran each vacuum; the engine otherwise as it is.
std::mutex g_mutex;
std::vector<std::thread::id> g_vacuumThreads;
bool g_lockVacuum = false;
int RecordingExec(sqlite* db, const char* sql, sqlite_callback cb, void* arg, char** error) {
    if (std::strncmp(sql, "vacuum", 6) == 0) {
        std::lock_guard lock(g_mutex);
        g_vacuumThreads.push_back(std::this_thread::get_id());
        if (g_lockVacuum) {
            *error = sqlite_mprintf("database is locked");
            return 0;
        }
    }
    return RealSQLiteEngine().exec(db, sql, cb, arg, error);
}

class CompactionWorker : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = MakeVault(m_dir);
        m_db.Open(m_path);
        g_vacuumThreads.clear();
        g_lockVacuum = false;
        SQLITE_ENGINE engine = RealSQLiteEngine();
        engine.exec = RecordingExec;
        m_previous = SetSQLiteEngine(engine);
    }
    void TearDown() override { SetSQLiteEngine(m_previous); }

    // Runs the work on a thread of its own, as the program does, checking the document's
    // connection is closed meanwhile and nothing is shown from there.
    COMPACT_RESULT Compact() {
        return CompactOpenDataFile(
            &m_db, m_path,
            [this](const std::function<void()>& work) {
                ++m_runs;
                EXPECT_FALSE(m_db.IsOpen()) << "the document's connection must be released";
                std::thread worker(work);
                worker.join();
                EXPECT_TRUE(m_messages.Messages().empty()) << "nothing is shown off the UI thread";
                if (m_afterWork)
                    m_afterWork();
                return m_stillThere;
            },
            [this](std::uint64_t done, std::uint64_t total) {
                m_reports.emplace_back(done, total);
                return false;
            });
    }

    txtest::ScratchDir m_dir;
    std::string m_path;
    CSQLiteDatabase m_db;
    CScopedMessageRecorder m_messages;
    SQLITE_ENGINE m_previous{};
    int m_runs = 0;
    std::function<void()> m_afterWork;
    bool m_stillThere = true;
    std::vector<REPORT> m_reports;
};

TEST_F(CompactionWorker, RunsOffTheCallingThreadAndReopensTheDocumentsConnection) {
    m_db.Execute("delete from TRESORIX_MAIN where id > 4");
    const auto before = fs::file_size(m_path);

    EXPECT_EQ(Compact(), COMPACT_RESULT::kCompacted);
    EXPECT_EQ(m_runs, 1);
    EXPECT_TRUE(m_messages.Messages().empty());
    ASSERT_EQ(g_vacuumThreads.size(), 5u);
    for (const std::thread::id& id : g_vacuumThreads)
        EXPECT_NE(id, std::this_thread::get_id());
    EXPECT_EQ(m_reports, (std::vector<REPORT>{{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}))
        << "a stop answer does not stop a vacuum";
    EXPECT_LE(fs::file_size(m_path), before);

    ASSERT_TRUE(m_db.IsOpen());
    EXPECT_EQ(CountRows(m_db, "select id from tresorix_main"), 4);
    m_db.Execute("delete from TRESORIX_MAIN where id = 4");
    EXPECT_EQ(CountRows(m_db, "select id from tresorix_main"), 3);
    m_db.Close();
    EXPECT_EQ(CheckLogin(m_path, "carol", CMD5Checksum::GetMD5("pw")), 1);
}

TEST_F(CompactionWorker, AFailureIsShownOnTheCallingThreadAndTheFileStaysOpen) {
    g_lockVacuum = true;
    EXPECT_EQ(Compact(), COMPACT_RESULT::kFailed);
    EXPECT_EQ(g_vacuumThreads.size(), 1u) << "the first failure stops the sequence";
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text, "database is locked");
    EXPECT_EQ(m_messages.Messages()[0].flags, unsigned(MB_ICONSTOP));
    ASSERT_TRUE(m_db.IsOpen());
    EXPECT_EQ(CountRows(m_db, "select id from tresorix_main"), 16);
}

TEST_F(CompactionWorker, AFileThatCannotBeOpenedAgainIsReported) {
    m_afterWork = [this] {
        fs::remove(m_path);
        fs::create_directory(m_path);
    };
    EXPECT_EQ(Compact(), COMPACT_RESULT::kNotReopened);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].flags, unsigned(MB_ICONSTOP));
    EXPECT_FALSE(m_db.IsOpen());
}

TEST_F(CompactionWorker, AConnectionGoneMeanwhileIsNotTouchedAgain) {
    m_stillThere = false;
    EXPECT_EQ(Compact(), COMPACT_RESULT::kNotReopened);
    EXPECT_EQ(g_vacuumThreads.size(), 5u);
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_FALSE(m_db.IsOpen());
}

TEST_F(CompactionWorker, WithoutAnOpenFileNothingRuns) {
    const COMPACT_RUNNER count = [this](const std::function<void()>&) {
        ++m_runs;
        return true;
    };
    EXPECT_EQ(CompactOpenDataFile(nullptr, m_path, count), COMPACT_RESULT::kFailed);
    EXPECT_EQ(CompactOpenDataFile(&m_db, "", count), COMPACT_RESULT::kFailed);
    EXPECT_EQ(m_runs, 0);
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].text, "You are not logged in...");
    EXPECT_TRUE(m_db.IsOpen()) << "the connection is not touched";
}

} // namespace
