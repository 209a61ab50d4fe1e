#include "tools/CsvImport.h"

#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "tools/SearchImportFixture.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace txtest;

namespace {

using REPORT = std::pair<std::uint64_t, std::uint64_t>;

class CsvImportProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        ASSERT_TRUE(m_vault.Open());
        m_import.SetDocument(&m_vault.doc);
        WriteTextFile(m_dir / "in.csv", "Bank;jo;pw1\nMail;ann;pw2\nShop;bo;pw3\nLast;kim;pw4\n");
        ASSERT_TRUE(m_import.GetReader().Open((m_dir / "in.csv").string()));
        for (int t = 0; t < 3; ++t)
            m_import.SetColumn(t, t);
        ASSERT_EQ(m_import.ReadAll(), 4);
        m_import.SetTargetFolder(1);
        m_before = ReadTreeRows(m_vault.doc);
        m_messages.Clear();
    }

    // A callback that records every report and answers false at the report of stopAt done.
    PROGRESS_CALLBACK Recorder(std::uint64_t stopAt = ~0ull) {
        return [this, stopAt](std::uint64_t done, std::uint64_t total) {
            m_reports.emplace_back(done, total);
            return done != stopAt;
        };
    }

    // The tree rows as a connection of its own reads them from disk.
    int RowsOnDisk() {
        TComPtr<ITresorix> other = CreateObjectAs<ITresorix>(CLSID_Tresorix);
        if (!other || !other->Open(m_vault.Path().string()))
            return -1;
        CursorPtr cursor(other->GetDatabase()->Query("select count(*) from tresorix_main"));
        CRow* raw = nullptr;
        if (!cursor || cursor->Fetch(raw) != 0)
            return -1;
        RowPtr row(raw);
        FieldPtr count(row->GetField(0));
        return count->AsInt();
    }

    CScopedMessageRecorder m_messages;
    ScratchDir m_dir;
    CVaultDocument m_vault{m_dir, "sample", "carol", "S3cret!pass"};
    CCsvImport m_import;
    std::map<int, int> m_before;
    std::vector<REPORT> m_reports;
};

TEST_F(CsvImportProgressTest, ProgressCountsTheSelectedRecordsUpToTheTotal) {
    ASSERT_TRUE(m_import.SetSelection({true, false, true, true}));
    EXPECT_EQ(m_import.Commit(Recorder()), 3);
    EXPECT_FALSE(m_import.WasCancelled());
    EXPECT_EQ(m_reports, (std::vector<REPORT>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(ReadTreeRows(m_vault.doc).size(), m_before.size() + 3);
}

TEST_F(CsvImportProgressTest, CancellingBeforeTheCommitStoresNothing) {
    ASSERT_TRUE(m_import.SetSelection({true, true, true, true}));
    // Mid-way, and at the very last report, which still comes before the commit.
    for (std::uint64_t stopAt : {2u, 4u}) {
        m_reports.clear();
        EXPECT_EQ(m_import.Commit(Recorder(stopAt)), 0) << stopAt;
        EXPECT_TRUE(m_import.WasCancelled());
        EXPECT_EQ(m_reports.back().first, stopAt) << "no report after the answer to stop";
        EXPECT_EQ(ReadTreeRows(m_vault.doc), m_before);
        EXPECT_EQ(RowsOnDisk(), static_cast<int>(m_before.size()));
    }
    EXPECT_TRUE(m_messages.Messages().empty()) << "a cancel is no error";

    // The document is still usable, and the records are still there to import.
    EXPECT_EQ(m_import.Commit(), 4);
    EXPECT_FALSE(m_import.WasCancelled());
    EXPECT_EQ(RowsOnDisk(), static_cast<int>(m_before.size()) + 4);
    m_vault.doc.ClearCache();
    for (const auto& [id, parent] : ReadTreeRows(m_vault.doc))
        EXPECT_TRUE(m_vault.doc.GetRecord(id)) << "unreadable node " << id;
}

} // namespace
