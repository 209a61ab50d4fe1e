#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "tools/ExportColumns.h"
#include "tools/ReportOutputCsv.h"
#include "tools/ReportOutputTrx.h"

#include <fstream>
#include <sys/stat.h>

namespace {

using namespace txexport;

// Records the protocol's calls and fails the step it is told to.
class CRecordingOutput : public CReportOutput {
public:
    std::vector<std::string> calls;
    std::string failAt;
    int failGroup = 0;

    bool Step(const std::string& name, int group = 0) {
        calls.push_back(group ? name + " " + std::to_string(group) : name);
        return !(name == failAt && (failGroup == 0 || group == failGroup)) && Write(name + "\n");
    }
    bool BeginReport(const REPORTINFO&) override { return Step("BeginReport"); }
    bool EndReport(const REPORTINFO&) override { return Step("EndReport"); }
    bool BeginGroup(CExportGroup& g) override { return Step("BeginGroup", g.GetID()); }
    bool WriteGroup(CExportGroup& g) override { return Step("WriteGroup", g.GetID()); }
    bool EndGroup(CExportGroup& g) override { return Step("EndGroup", g.GetID()); }
};

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_vault = NewVault(m_dir / "v.tpx", "key");
        ASSERT_TRUE(m_vault);
        m_folder = AddRecord(m_vault.Get(), 1, CLSID_Folder, "F");
        AddRecord(m_vault.Get(), m_folder, CLSID_PasswordItem, "p");
        ASSERT_TRUE(m_tree.Fill(m_vault.Get(), 1));
        CheckIds(m_tree, {1, m_folder});
        m_path = (m_dir / "out.txt").string();
    }

    // The output lives on in m_exporter until the next run.
    bool Run(std::unique_ptr<CReportOutput> output) {
        m_exporter.SetTresorix(m_vault.Get());
        m_exporter.SetDataSource(std::make_unique<CExportDataSource>(&m_tree));
        m_exporter.SetOutput(std::move(output));
        m_exporter.SetFileName(m_path);
        return m_exporter.Run();
    }

    CScopedSettings m_settings;
    CScopedMessageRecorder m_messages;
    txtest::ScratchDir m_dir;
    TComPtr<ITresorix> m_vault;
    CExportCheckTree m_tree;
    int m_folder = 0;
    std::string m_path;
    CTxExport m_exporter;
};

TEST_F(ExportRunTest, ProtocolCallsEveryStepInOrder) {
    auto output = std::make_unique<CRecordingOutput>();
    CRecordingOutput* recorder = output.get();
    ASSERT_TRUE(Run(std::move(output)));
    const std::vector<std::string> expected = {"BeginReport",
                                               "BeginGroup 1",
                                               "WriteGroup 1",
                                               "EndGroup 1",
                                               "BeginGroup " + std::to_string(m_folder),
                                               "WriteGroup " + std::to_string(m_folder),
                                               "EndGroup " + std::to_string(m_folder),
                                               "EndReport"};
    EXPECT_EQ(recorder->calls, expected);
    EXPECT_EQ(ReadLines(m_path).size(), expected.size());
    struct stat info;
    ASSERT_EQ(::stat(m_path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ExportRunTest, AFailingStepStopsTheReportAndKeepsNoFile) {
    { std::ofstream(m_path) << "previous"; }
    for (const char* step : {"BeginReport", "BeginGroup", "WriteGroup", "EndGroup", "EndReport"}) {
        auto output = std::make_unique<CRecordingOutput>();
        output->failAt = step;
        output->failGroup = std::string(step).find("Group") != std::string::npos ? 1 : 0;
        CRecordingOutput* recorder = output.get();
        EXPECT_FALSE(Run(std::move(output))) << step;
        EXPECT_EQ(recorder->calls.back(), "EndReport") << "the report is always ended";
        const bool reachedFolder = std::count(recorder->calls.begin(), recorder->calls.end(),
                                              "BeginGroup " + std::to_string(m_folder)) > 0;
        EXPECT_EQ(reachedFolder, std::string(step) == "EndReport") << step;
        EXPECT_EQ(txtest::ReadFile(m_path), "previous") << step;
        EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"out.txt", "v.tpx"}));
    }
}

TEST_F(ExportRunTest, FileThatCannotBeCreatedIsReported) {
    m_path = (m_dir / "no" / "such" / "out.csv").string();
    EXPECT_FALSE(Run(std::make_unique<CReportOutputCsv>()));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text, "Cannot create or open file " + m_path);
    EXPECT_EQ(m_messages.Messages()[0].caption, "Export");
    EXPECT_EQ(m_messages.Messages()[0].flags, unsigned{MB_OK | MB_ICONINFORMATION});

    m_path = m_dir.Path().string();
    EXPECT_FALSE(Run(std::make_unique<CReportOutputCsv>())) << "a folder is not a file";
    EXPECT_EQ(m_messages.Messages().size(), 2u);
}

TEST_F(ExportRunTest, ExportOntoTheOpenDataFileIsRefused) {
    const std::string before = txtest::ReadFile(m_dir / "v.tpx");
    m_path = (m_dir / "v.tpx").string();
    for (int type : {CTxExport::kCsv, CTxExport::kTrx}) {
        CTxExport exporter(m_vault.Get());
        exporter.SetType(type);
        exporter.SetDataSource(std::make_unique<CExportDataSource>(&m_tree));
        exporter.SetFileName(m_path);
        EXPECT_FALSE(exporter.Run());
    }
    EXPECT_EQ(txtest::ReadFile(m_dir / "v.tpx"), before);
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"v.tpx"}));
    EXPECT_EQ(m_messages.Messages().size(), 2u);
}

TEST_F(ExportRunTest, WriteFailureIsReportedAndTheOldFileStays) {
    for (int i = 0; i < 30; ++i)
        AddRecord(m_vault.Get(), m_folder, CLSID_Note, "note " + std::to_string(i),
                  [](ICommonProperties* r) { r->SetComments(std::string(3000, 'x')); });
    ASSERT_TRUE(m_tree.Fill(m_vault.Get(), 1));
    CheckIds(m_tree, {m_folder});
    { std::ofstream(m_path) << "previous"; }
    for (int type : {CTxExport::kCsv, CTxExport::kHtml, CTxExport::kXml}) {
        m_messages.Clear();
        bool ok = true;
        {
            CScopedFileSizeLimit limit(16 * 1024);
            CTxExport exporter(m_vault.Get());
            exporter.SetType(type);
            exporter.SetDataSource(std::make_unique<CExportDataSource>(&m_tree));
            exporter.SetFileName(m_path);
            ok = exporter.Run();
        }
        EXPECT_FALSE(ok) << type;
        ASSERT_EQ(m_messages.Messages().size(), 1u) << type;
        EXPECT_EQ(m_messages.Messages()[0].text.find("The export file " + m_path +
                                                     " could not be written: "),
                  0u);
        EXPECT_EQ(m_messages.Messages()[0].flags, unsigned{MB_OK | MB_ICONSTOP});
        EXPECT_EQ(txtest::ReadFile(m_path), "previous");
        EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"out.txt", "v.tpx"}));
    }
}

TEST_F(ExportRunTest, UnknownTypeMakesCsvAndANewTypeDropsTheDataSource) {
    CTxExport exporter(m_vault.Get());
    exporter.SetDataSource(std::make_unique<CExportDataSource>(&m_tree));
    exporter.SetType(17);
    EXPECT_EQ(exporter.GetType(), CTxExport::kCsv);
    EXPECT_NE(dynamic_cast<CReportOutputCsv*>(exporter.GetOutput()), nullptr);
    EXPECT_EQ(exporter.GetDataSource(), nullptr);
    exporter.SetType(CTxExport::kTrx);
    EXPECT_NE(dynamic_cast<CReportOutputTrx*>(exporter.GetOutput()), nullptr);
    exporter.SetFileName(m_path);
    EXPECT_FALSE(exporter.Run()) << "no data source";
    EXPECT_FALSE(std::filesystem::exists(m_path));
}

} // namespace
