#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "tools/ExportColumns.h"
#include "tools/ReportOutputHtml.h"
#include "tools/ReportTemplates.h"

namespace {

using namespace txexport;

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos;
         pos = text.find(part, pos + 1))
        ++n;
    return n;
}

class ExportHtmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_vault = NewVault(m_dir / "v.tpx", "key");
        ASSERT_TRUE(m_vault);
        m_folder = AddRecord(m_vault.Get(), 1, CLSID_Folder, "Tom & <Jerry> \"quoted\"");
        auto details = [](std::string login, std::string comments) {
            return [login, comments](ICommonProperties* r) {
                r->SetComments(comments);
                TComPtr<ICommonProperties>(r).As<IPasswordProperties>()->SetLogin(login);
            };
        };
        AddRecord(m_vault.Get(), m_folder, CLSID_PasswordItem, "a", details("x<y", "1 & 2"));
        AddRecord(m_vault.Get(), m_folder, CLSID_PasswordItem, "b", details("", "\"q\""));
        AddRecord(m_vault.Get(), m_folder, CLSID_PasswordItem, "c", details("Caf\xe9", ""));
        m_record = AddRecord(m_vault.Get(), m_folder, CLSID_Note, "d",
                             [](ICommonProperties* r) { r->SetComments("\xe2\x82\xac"); });
        ASSERT_TRUE(m_tree.Fill(m_vault.Get(), 1));
        m_info.title = "Mine & <yours>";
    }

    std::string Export(const CReportOutputHtml::OPTIONS& options, bool expectSuccess = true) {
        const std::string path = (m_dir / "out.htm").string();
        const bool ok = RunExport(m_vault.Get(), m_tree, CTxExport::kHtml, path, [&](CTxExport& e) {
            static_cast<CReportOutputHtml*>(e.GetOutput())->SetOptions(options);
            e.GetOutput()->SetColumns({kColumnName, kColumnLogin, kColumnComments},
                                      CExportColumns::TitleId(kColumnName));
            e.GetOutput()->SetTemplates(m_templates);
            e.SetReportInfo(m_info);
        });
        EXPECT_EQ(ok, expectSuccess);
        return std::filesystem::exists(path) ? txtest::ReadFile(path) : std::string();
    }

    CScopedSettings m_settings;
    txtest::ScratchDir m_dir;
    TComPtr<ITresorix> m_vault;
    CExportCheckTree m_tree;
    CReportOutput::REPORTINFO m_info;
    IReportTemplates* m_templates = nullptr;
    int m_folder = 0;
    int m_record = 0;
};

TEST_F(ExportHtmlTest, ClassicPageWithOneTableAndItsTotal) {
    CheckIds(m_tree, {m_folder});
    const std::string page = Export({});
    EXPECT_NE(page.find("<title>Mine &amp; &lt;yours&gt; - Tresorix Pro</title>"),
              std::string::npos);
    EXPECT_NE(page.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(page.find("content=\"Version 3.0\""), std::string::npos);
    EXPECT_NE(page.find(".tr-even {"), std::string::npos) << "the Classic look has a style sheet";
    EXPECT_EQ(Count(page, "border=\"0\" cellspacing=\"1\""), 1u);
    EXPECT_NE(page.find("<td colspan=\"12\">Tom &amp; &lt;Jerry&gt; &quot;quoted&quot;</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<tr class=\"hdr-table\">\r\n<td>Name</td>\r\n<td>Login</td>\r\n"
                        "<td>Comments</td>\r\n</tr>\r\n"),
              std::string::npos);
    EXPECT_NE(page.find("<td colspan=\"3\">Total: 4 item(s)</td>"), std::string::npos);
    EXPECT_EQ(Count(page, "<tr class=\"tr-even\">"), 4u) << "no variegated rows";
    EXPECT_EQ(page.find("findthis"), std::string::npos);
    EXPECT_EQ(page.find("\n\n"), std::string::npos);
    EXPECT_EQ(Count(page, "\n"), Count(page, "\r\n")) << "every line ends in CR LF";
}

TEST_F(ExportHtmlTest, ValuesAreEscapedAndWrittenAsUtf8) {
    CheckIds(m_tree, {m_folder});
    const std::string page = Export({});
    EXPECT_NE(page.find("<td>a</td>\r\n<td>x&lt;y</td>\r\n<td>1 &amp; 2</td>"), std::string::npos);
    EXPECT_NE(page.find("<td>b</td>\r\n<td>&nbsp;</td>\r\n<td>&quot;q&quot;</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<td>Caf\xc3\xa9</td>"), std::string::npos) << "Windows-1252 converted";
    EXPECT_NE(page.find("<td>\xe2\x82\xac</td>"), std::string::npos) << "UTF-8 kept";
    EXPECT_EQ(page.find("x<y"), std::string::npos);
}

TEST_F(ExportHtmlTest, SimpleLookVariegatedRowsAndTheSearchField) {
    CheckIds(m_tree, {m_folder});
    CReportOutputHtml::OPTIONS options;
    options.look = CReportOutputHtml::kSimple;
    options.variegatedRows = true;
    options.searchField = true;
    options.fullWidth = false;
    const std::string page = Export(options);
    EXPECT_NE(page.find("<h1>Mine &amp; &lt;yours&gt;</h1>"), std::string::npos);
    EXPECT_EQ(page.find("<style"), std::string::npos);
    EXPECT_EQ(Count(page, "border=\"1\" cellspacing=\"1\""), 1u);
    EXPECT_EQ(page.find("width=\"100%\""), std::string::npos);
    EXPECT_NE(page.find("<form name=\"form1\""), std::string::npos);
    EXPECT_NE(page.find("name=\"findthis\" size=\"30\""), std::string::npos);
    EXPECT_NE(page.find("value=\"Find on This Page\" accesskey=\"s\""), std::string::npos);
    std::vector<std::string> classes;
    for (std::size_t pos = page.find("<tr class=\""); pos != std::string::npos;
         pos = page.find("<tr class=\"", pos + 1))
        classes.push_back(page.substr(pos + 11, page.find('"', pos + 11) - pos - 11));
    EXPECT_EQ(classes, (std::vector<std::string>{"hdr", "hdr-table", "text", "tr-even", "text",
                                                 "tr-even", "sub"}));
}

TEST_F(ExportHtmlTest, CheckedRecordGivesNoTable) {
    CheckIds(m_tree, {m_record});
    const std::string page = Export({});
    EXPECT_EQ(page.find("hdr-prod"), std::string::npos);
    EXPECT_EQ(page.find("Total:"), std::string::npos);
    EXPECT_NE(page.find("created\r\n by Tresorix Pro</a>"), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 9), "</html>\r\n");
}

struct CMISSINGTEMPLATE : IReportTemplates {
    int missing;
    explicit CMISSINGTEMPLATE(int number) : missing(number) {}
    bool Load(int number, std::string& text) override {
        return number != missing && BuiltInReportTemplates().Load(number, text);
    }
};

TEST_F(ExportHtmlTest, MissingTemplateFailsTheExportAndLeavesNoFile) {
    CheckIds(m_tree, {m_folder});
    for (int number :
         {kTemplateClassicHead, kTemplateGroupStart, kTemplateGroupEnd, kTemplateFoot}) {
        CMISSINGTEMPLATE templates(number);
        m_templates = &templates;
        EXPECT_EQ(Export({}, false), "") << number;
        EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"v.tpx"})) << number;
    }
}

} // namespace
