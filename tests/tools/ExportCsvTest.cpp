#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "tools/ExportColumns.h"
#include "tools/ReportOutputCsv.h"

namespace {

using namespace txexport;

std::string Formatted(const CReportOutputCsv::OPTIONS& options, const std::string& value) {
    CReportOutputCsv csv;
    csv.SetOptions(options);
    return csv.FormatValue(value);
}

TEST(ExportCsvTest, ValuesAreWrittenInTheReadersDialect) {
    CReportOutputCsv::OPTIONS options;
    options.changeCrLf = false;
    EXPECT_EQ(Formatted(options, "a;b"), "a\\;b;");
    EXPECT_EQ(Formatted(options, ""), ";");
    options.quotes = true;
    EXPECT_EQ(Formatted(options, "say \"hi\""), "\"say \"hi\"\";") << "inner quotes unchanged";
    options.changeCrLf = true;
    options.quotes = false;
    EXPECT_EQ(Formatted(options, "one\r\ntwo\nthree"), "one\r\\ntwo\\nthree;");
    options.separator = "";
    EXPECT_EQ(Formatted(options, "a;b"), "a;b");
    options.separator = ",";
    options.quotes = true;
    EXPECT_EQ(Formatted(options, "x,y\n"), "\"x\\,y\\n\",");
}

class ExportCsvSampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        m_vault = OpenVault(CopyVault("sample", m_dir), SampleKey());
        ASSERT_TRUE(m_vault);
        ASSERT_TRUE(m_tree.Fill(m_vault.Get(), kRootFolderId));
    }

    std::vector<std::string> Export(const std::vector<int>& columns = {}, int sortColumn = 0) {
        const std::string path = (m_dir / "out.csv").string();
        EXPECT_TRUE(RunExport(m_vault.Get(), m_tree, CTxExport::kCsv, path, [&](CTxExport& e) {
            if (!columns.empty())
                e.GetOutput()->SetColumns(columns, CExportColumns::TitleId(sortColumn));
        }));
        return ReadLines(path);
    }

    CScopedSettings m_settings;
    txtest::ScratchDir m_dir;
    TComPtr<ITresorix> m_vault;
    CExportCheckTree m_tree;
};

TEST_F(ExportCsvSampleTest, RootAloneExportsItsDirectChildrenSortedByName) {
    CheckIds(m_tree, {kRootFolderId});
    const std::vector<std::string> lines =
        Export({kColumnName, kColumnComments, kColumnLogin, kColumnType, kColumnLocation});
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Business;;;Folder;\\\\My Passwords\\Business;",
                         "Credit Cards;;;Folder;\\\\My Passwords\\Credit Cards;",
                         "Deleted;;;Folder;\\\\My Passwords\\Deleted;",
                         "Email Accounts;;;Folder;\\\\My Passwords\\Email Accounts;",
                         "Internet;;;Folder;\\\\My Passwords\\Internet;",
                         "Private;;;Folder;\\\\My Passwords\\Private;",
                     }));
}

TEST_F(ExportCsvSampleTest, DefaultColumnsAndMultiLineComments) {
    CheckIds(m_tree, {6});
    const std::vector<std::string> lines = Export();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 19), "Passport scan;;;;;E");
    EXPECT_EQ(lines[1].substr(0, 25), "Shopping list;;;;;milk\r\\n") << "CR kept, LF as \\n";
    const std::string sparkasse = "Sparkasse Online;carol1985;P\xe4\xdf\x80"
                                  "123;"
                                  "carol@example.de;https://banking.example.de;";
    EXPECT_EQ(lines[2].substr(0, sparkasse.size()), sparkasse);
    EXPECT_EQ(lines[2].back(), ';');
}

TEST_F(ExportCsvSampleTest, CascadeFromTheRootExportsEveryNodeOnceIncludingTheRecycleBin) {
    CascadeCheck(m_tree, m_tree.GetRootNode(), true);
    const std::vector<std::string> lines = Export({kColumnName});
    EXPECT_EQ(lines.size(), 24u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Old Hotmail;"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Ideas (old);"), lines.end());
}

TEST_F(ExportCsvSampleTest, HeaderOnlyWhenNothingIsChecked) {
    m_settings.Import_CsvFirstRowIsHeader = 1;
    m_settings.Import_CsvStripQuotes = 1;
    const std::vector<std::string> lines = Export({kColumnName, kColumnCardNumber});
    EXPECT_EQ(lines, (std::vector<std::string>{"\"Name\";\"Number of Credit Card\";"}));
}

TEST_F(ExportCsvSampleTest, SortByAnotherColumnFallsBackToNames) {
    CheckIds(m_tree, {4, 7});
    // Credit cards by country; the Internet folder's records all have empty countries and so
    // come in name order.
    const std::vector<std::string> lines = Export({kColumnName, kColumnCountry}, kColumnCountry);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Euro card;C\xf4te d'Ivoire;", "Visa Gold;United States;",
                                        "Example docs;;", "Router admin;;", "Wi-Fi;;"}));
}

TEST(ExportCsvSortTest, ValuesDifferingOnlyInCaseAreOrderedByName) {
    CScopedSettings settings;
    txtest::ScratchDir dir;
    TComPtr<ITresorix> vault = NewVault(dir / "v.tpx", "key");
    ASSERT_TRUE(vault);
    auto login = [](const std::string& text) {
        return [text](ICommonProperties* r) {
            TComPtr<ICommonProperties>(r).As<IPasswordProperties>()->SetLogin(text);
        };
    };
    AddRecord(vault.Get(), 1, CLSID_PasswordItem, "zulu", login("ALPHA"));
    AddRecord(vault.Get(), 1, CLSID_PasswordItem, "Mike", login("alpha"));
    AddRecord(vault.Get(), 1, CLSID_PasswordItem, "bravo", login("Alpha"));
    AddRecord(vault.Get(), 1, CLSID_PasswordItem,
              "\xc9"
              "cho",
              login("\xe9t\xe9"));                                                     // cp1252
    AddRecord(vault.Get(), 1, CLSID_PasswordItem, "echo", login("\xc3\x89T\xc3\x89")); // UTF-8
    AddRecord(vault.Get(), 1, CLSID_PasswordItem, "Alpha", login("beta"));
    CExportCheckTree tree;
    ASSERT_TRUE(tree.Fill(vault.Get(), 1));
    CheckIds(tree, {1});
    const std::string path = (dir / "sorted.csv").string();
    ASSERT_TRUE(RunExport(vault.Get(), tree, CTxExport::kCsv, path, [](CTxExport& e) {
        e.GetOutput()->SetColumns({kColumnName}, CExportColumns::TitleId(kColumnLogin));
    }));
    EXPECT_EQ(ReadLines(path),
              (std::vector<std::string>{"Deleted;", "bravo;", "Mike;", "zulu;", "Alpha;", "echo;",
                                        "\xc9"
                                        "cho;"}));
}

} // namespace
