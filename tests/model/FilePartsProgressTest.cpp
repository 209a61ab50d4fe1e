#include "model/DocTestSupport.h"
#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/TransactionScope.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace {

using txtest::PatternBytes;
using txtest::ReadFile;
using txtest::WriteFile;

constexpr std::size_t kPart = CFileParts::kPartSize;

using CALLS = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

// Records every report and answers false from the call numbered stopAt (1-based) on.
PROGRESS_CALLBACK Recorder(CALLS& calls, std::size_t stopAt = 0) {
    return [&calls, stopAt](std::uint64_t done, std::uint64_t total) {
        calls.emplace_back(done, total);
        return stopAt == 0 || calls.size() < stopAt;
    };
}

class FilePartsProgress : public txtest::DocFixture {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        ASSERT_TRUE(OpenSample());
        m_file = m_doc.CreateNewObject(CLSID_FileItem, 6, "Scan");
        ASSERT_GT(m_file, 0);
        m_source = m_dir / "source.bin";
    }

    void TearDown() override { CFileParts::SetProgressSource({}); }

    bool Store(const std::string& bytes, const PROGRESS_CALLBACK& progress = {}, int id = 0) {
        WriteFile(m_source, bytes);
        return CFileParts::StoreFile(m_source.string(), id ? id : m_file, m_doc.GetTresorix().Get(),
                                     progress);
    }

    bool Save(const std::filesystem::path& target, const PROGRESS_CALLBACK& progress = {}) {
        return CFileParts::SaveFileTo(target.string(), m_file, m_doc.GetTresorix().Get(), progress);
    }

    int m_file = 0;
    std::filesystem::path m_source;
};

TEST_F(FilePartsProgress, StoreAndSaveReportEveryPartUpToTheEnd) {
    const std::string bytes = PatternBytes(2 * kPart + 10, 3);
    CALLS stored;
    ASSERT_TRUE(Store(bytes, Recorder(stored)));
    EXPECT_EQ(
        stored,
        (CALLS{{kPart, bytes.size()}, {2 * kPart, bytes.size()}, {bytes.size(), bytes.size()}}));

    CALLS saved;
    const std::filesystem::path target = m_dir / "out.bin";
    ASSERT_TRUE(Save(target, Recorder(saved)));
    EXPECT_EQ(ReadFile(target), bytes);
    // The total is the parts' capacity; the last report is what was really written.
    EXPECT_EQ(saved,
              (CALLS{{kPart, 3 * kPart}, {2 * kPart, 3 * kPart}, {bytes.size(), 3 * kPart}}));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(FilePartsProgress, CancelledStoreKeepsTheOldPartsSilently) {
    const std::string old = PatternBytes(kPart + 1, 1);
    ASSERT_TRUE(Store(old));
    CALLS calls;
    EXPECT_FALSE(Store(PatternBytes(3 * kPart, 2), Recorder(calls, 2)));
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_EQ(CFileParts::CountParts(m_file, *m_doc.GetDatabase()), 2);
    const std::filesystem::path target = m_dir / "out.bin";
    ASSERT_TRUE(Save(target));
    EXPECT_EQ(ReadFile(target), old);
}

TEST_F(FilePartsProgress, CancelledStoreUndoesTheWholeEnclosingTransaction) {
    CKivDatabase& db = *m_doc.GetDatabase();
    int id = 0;
    {
        CTransactionScope transaction(db);
        id = m_doc.CreateNewObject(CLSID_FileItem, 6, "File");
        ASSERT_GT(id, 0);
        CALLS calls;
        EXPECT_FALSE(Store(PatternBytes(2 * kPart, 4), Recorder(calls, 1), id));
        EXPECT_FALSE(transaction.Commit());
    }
    m_doc.GetTresorix()->RemoveCachedItem(id);
    EXPECT_FALSE(m_doc.GetRecord(id));
    EXPECT_EQ(CFileParts::CountParts(id, db), 0);
}

TEST_F(FilePartsProgress, CancelledSaveLeavesTheTargetAndNoTemporaryFile) {
    ASSERT_TRUE(Store(PatternBytes(3 * kPart, 5)));
    const std::filesystem::path folder = m_dir / "out";
    std::filesystem::create_directory(folder);
    const std::filesystem::path target = folder / "existing.bin";
    WriteFile(target, "keep me");
    CALLS calls;
    EXPECT_FALSE(Save(target, Recorder(calls, 2)));
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_EQ(ReadFile(target), "keep me");
    std::vector<std::filesystem::path> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        left.push_back(entry.path());
    EXPECT_EQ(left, std::vector<std::filesystem::path>{target});
}

TEST_F(FilePartsProgress, InstalledSourceServesCallsWithoutTheirOwnProgress) {
    struct ASKED {
        CFileParts::TRANSFER transfer;
        std::string path;
        std::uint64_t total;
    };
    std::vector<ASKED> asked;
    CALLS fromSource;
    CFileParts::SetProgressSource(
        [&](CFileParts::TRANSFER transfer, const std::string& path, std::uint64_t total) {
            asked.push_back({transfer, path, total});
            return Recorder(fromSource);
        });
    const std::string bytes = PatternBytes(kPart + 7, 6);
    ASSERT_TRUE(Store(bytes));
    const std::filesystem::path target = m_dir / "out.bin";
    ASSERT_TRUE(Save(target));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].transfer, CFileParts::kStoring);
    EXPECT_EQ(asked[0].path, m_source.string());
    EXPECT_EQ(asked[0].total, bytes.size());
    EXPECT_EQ(asked[1].transfer, CFileParts::kSaving);
    EXPECT_EQ(asked[1].path, target.string());
    EXPECT_EQ(asked[1].total, 2 * kPart);
    EXPECT_EQ(fromSource.size(), 4u);

    // A caller's own report wins, and a source may decline to report.
    CALLS own;
    ASSERT_TRUE(Store(bytes, Recorder(own)));
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(own.size(), 2u);
    CFileParts::SetProgressSource([](CFileParts::TRANSFER, const std::string&, std::uint64_t) {
        return PROGRESS_CALLBACK();
    });
    EXPECT_TRUE(Store(bytes));
}

} // namespace
