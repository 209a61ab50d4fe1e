#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "security/MD5Checksum.h"
#include "tools/ReportOutputTrx.h"

#include <fstream>
#include <utility>

namespace {

using namespace txexport;

using REPORT = std::pair<std::uint64_t, std::uint64_t>;

class ExportProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_vault = NewVault(m_dir / "v.tpx", "key");
        ASSERT_TRUE(m_vault);
        m_folder = AddRecord(m_vault.Get(), 1, CLSID_Folder, "F");
        for (int i = 0; i < 5; ++i)
            AddRecord(m_vault.Get(), m_folder, CLSID_PasswordItem, "p" + std::to_string(i));
        AddRecord(m_vault.Get(), 1, CLSID_Note, "top note");
        ASSERT_TRUE(m_tree.Fill(m_vault.Get(), 1));
        CheckIds(m_tree, {1, m_folder});
        m_path = (m_dir / "out.txt").string();
    }

    // Runs an export of type, recording every report; answers false at the stopAt-th report.
    bool Run(int type, std::size_t stopAt = 0) {
        m_reports.clear();
        m_exporter.SetTresorix(m_vault.Get());
        m_exporter.SetType(type);
        m_exporter.SetDataSource(std::make_unique<CExportDataSource>(&m_tree));
        m_exporter.SetFileName(m_path);
        m_exporter.SetOptionStrings("eve", CMD5Checksum::GetMD5("pw"), "");
        if (type == CTxExport::kTrx)
            static_cast<CReportOutputTrx*>(m_exporter.GetOutput())
                ->SetTempFolderBase(m_cache.Path().string());
        return m_exporter.Run([this, stopAt](std::uint64_t done, std::uint64_t total) {
            m_reports.emplace_back(done, total);
            return m_reports.size() != stopAt;
        });
    }

    CScopedSettings m_settings;
    CScopedMessageRecorder m_messages;
    txtest::ScratchDir m_dir;
    txtest::ScratchDir m_cache;
    TComPtr<ITresorix> m_vault;
    CExportCheckTree m_tree;
    int m_folder = 0;
    std::string m_path;
    CTxExport m_exporter;
    std::vector<REPORT> m_reports;
};

constexpr int kAllTypes[] = {CTxExport::kCsv, CTxExport::kHtml, CTxExport::kXml, CTxExport::kTrx};

TEST_F(ExportProgressTest, ProgressRisesStepByStepToTheTotalOfEveryFormat) {
    for (int type : kAllTypes) {
        ASSERT_TRUE(Run(type)) << type;
        EXPECT_FALSE(m_exporter.WasCancelled());
        ASSERT_GE(m_reports.size(), 3u) << type;
        // The root's folder, note and recycle bin, then the folder's five records.
        const std::uint64_t total = 8;
        EXPECT_EQ(m_reports.front(), REPORT(0, total)) << type;
        EXPECT_EQ(m_reports.back(), REPORT(total, total)) << type;
        for (std::size_t i = 1; i < m_reports.size(); ++i) {
            EXPECT_GE(m_reports[i].first, m_reports[i - 1].first) << type << " report " << i;
            EXPECT_EQ(m_reports[i].second, total);
        }
    }
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(ExportProgressTest, CancelLeavesNeitherAFileNorATemporaryOne) {
    for (int type : kAllTypes) {
        // At the start, within the folder's group, and at the final report.
        for (std::size_t stopAt : {1u, 5u, 0u}) {
            if (stopAt == 0) {
                ASSERT_TRUE(Run(type));
                stopAt = m_reports.size();
                std::filesystem::remove(m_path);
            }
            EXPECT_FALSE(Run(type, stopAt)) << type << " at " << stopAt;
            EXPECT_TRUE(m_exporter.WasCancelled());
            EXPECT_EQ(m_reports.size(), stopAt) << "no report after the answer to stop";
            EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"v.tpx"}))
                << type << " at " << stopAt;
        }
    }
    EXPECT_TRUE(m_messages.Messages().empty()) << "a cancel is no error";
}

TEST_F(ExportProgressTest, CancelKeepsAnExistingTargetAsItWas) {
    { std::ofstream(m_path) << "previous"; }
    for (int type : kAllTypes) {
        EXPECT_FALSE(Run(type, 4)) << type;
        EXPECT_EQ(txtest::ReadFile(m_path), "previous") << type;
        EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"out.txt", "v.tpx"}))
            << type;
    }
    // A later run that is not cancelled writes the file.
    EXPECT_TRUE(Run(CTxExport::kCsv));
    EXPECT_FALSE(m_exporter.WasCancelled());
    EXPECT_NE(txtest::ReadFile(m_path), "previous");
}

} // namespace
