#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "tools/ExportColumns.h"
#include "tools/ReportOutputXml.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <map>

namespace {

using namespace txexport;

// One ITEM of the report: its elements by name, and its custom fields as (name, value).
struct XMLITEM {
    std::map<std::string, std::string> values;
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<int> fieldIds;
};

struct XMLREPORT {
    std::string title;
    std::vector<std::string> groups;
    std::map<std::string, XMLITEM> items; // by the Name element
};

// Parses the report strictly; a document that is not well-formed fails the test.
XMLREPORT Parse(const std::string& bytes) {
    XMLREPORT report;
    QXmlStreamReader xml(QByteArray::fromStdString(bytes));
    std::vector<std::string> path;
    XMLITEM item;
    std::pair<std::string, std::string> field;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            path.push_back(xml.name().toString().toStdString());
            if (path.back() == "ITEM")
                item = {};
        } else if (xml.isEndElement()) {
            if (path.back() == "ITEM")
                report.items[item.values["Name"]] = item;
            if (path.back() == "FIELD")
                item.fields.push_back(field);
            path.pop_back();
        } else if (xml.isCharacters() && !xml.isWhitespace() && !path.empty()) {
            const std::string text = xml.text().toString().toStdString();
            const std::string parent = path.size() > 1 ? path[path.size() - 2] : "";
            if (parent == "FIELD") {
                if (path.back() == "Name")
                    field.first = text;
                else if (path.back() == "Value")
                    field.second = text;
                else if (path.back() == "ID")
                    item.fieldIds.push_back(std::stoi(text));
            } else if (parent == "ITEM") {
                item.values[path.back()] += text;
            } else if (parent == "GROUP" && path.back() == "NAME") {
                report.groups.push_back(text);
            } else if (parent == "REPORT" && path.back() == "TITLE") {
                report.title = text;
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    return report;
}

class ExportXmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        m_vault = OpenVault(CopyVault("sample", m_dir), SampleKey());
        ASSERT_TRUE(m_vault);
        ASSERT_TRUE(m_tree.Fill(m_vault.Get(), kRootFolderId));
    }

    std::string Export(std::vector<int> columns, bool customFields = true) {
        const std::string path = (m_dir / "out.xml").string();
        EXPECT_TRUE(RunExport(m_vault.Get(), m_tree, CTxExport::kXml, path, [&](CTxExport& e) {
            static_cast<CReportOutputXml*>(e.GetOutput())->SetCustomFields(customFields);
            e.GetOutput()->SetColumns(columns, CExportColumns::TitleId(kColumnName));
            e.SetReportInfo({"R&D <2024>", {}, {}});
        }));
        return txtest::ReadFile(path);
    }

    CScopedSettings m_settings;
    txtest::ScratchDir m_dir;
    TComPtr<ITresorix> m_vault;
    CExportCheckTree m_tree;
};

TEST_F(ExportXmlTest, EveryColumnIsAnElementOfAWellFormedDocument) {
    CheckIds(m_tree, {4, 6});
    std::vector<int> all;
    for (int i = 0; i < kColumnCount; ++i)
        all.push_back(i);
    const std::string bytes = Export(all);
    EXPECT_EQ(bytes.substr(0, 38), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_EQ(bytes.substr(bytes.size() - 24), "</DATA>\r\n</XML_DIZ_INFO>");
    const XMLREPORT report = Parse(bytes);
    EXPECT_EQ(report.title, "R&D <2024>");
    EXPECT_EQ(report.groups, (std::vector<std::string>{"Credit Cards", "Private"}));
    ASSERT_EQ(report.items.size(), 5u);
    const XMLITEM& visa = report.items.at("Visa Gold");
    EXPECT_EQ(visa.values.count("Login"), 0u) << "an empty element carries no text";
    EXPECT_EQ(visa.values.at("Number_of_Credit_Card"), "4111 1111 1111 1111");
    EXPECT_EQ(visa.values.at("State___Province"), "IL");
    EXPECT_EQ(visa.values.at("Zip___Postal_code"), "62701");
    EXPECT_EQ(visa.values.at("Expiration_date"), "07/2027");
    EXPECT_EQ(visa.values.at("Location"), "\\\\My Passwords\\Credit Cards\\Visa Gold");
    EXPECT_NE(bytes.find("<Name_on_card>CAROL SMITH</Name_on_card>\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("<Login></Login>\r\n"), std::string::npos);
}

TEST_F(ExportXmlTest, Windows1252TextBecomesUtf8) {
    CheckIds(m_tree, {9, 4});
    const std::string bytes = Export({kColumnName, kColumnPassword, kColumnCountry});
    const XMLREPORT report = Parse(bytes);
    EXPECT_EQ(report.groups,
              (std::vector<std::string>{"Credit Cards", "Caf\xc3\xa9 Cr\xc3\xa8me"}));
    EXPECT_EQ(report.items
                  .at("Forum fa\xc3\xa7"
                      "ade")
                  .values.at("Password"),
              "cr\xc3\xa8me br\xc3\xbbl\xc3\xa9"
              "e");
    EXPECT_EQ(report.items.at("Euro card").values.at("Country"), "C\xc3\xb4te d'Ivoire");
    EXPECT_EQ(bytes.find("Caf\xe9"), std::string::npos);
}

TEST_F(ExportXmlTest, CustomFieldsAreWrittenInPlainWhenAsked) {
    CheckIds(m_tree, {3, 5, 7});
    const XMLREPORT report = Parse(Export({kColumnName}));
    const XMLITEM& gmail = report.items.at("Gmail");
    EXPECT_EQ(gmail.fields, (std::vector<std::pair<std::string, std::string>>{
                                {"Secret Word", "blue whale"}, {"Phone", "+1 555 0100"}}));
    ASSERT_EQ(gmail.fieldIds.size(), 2u);
    EXPECT_NE(gmail.fieldIds[0], gmail.fieldIds[1]);
    const XMLITEM& vpn = report.items.at("Work VPN");
    ASSERT_EQ(vpn.fields.size(), 2u);
    EXPECT_EQ(vpn.fields[1],
              (std::pair<std::string, std::string>{"Proxy Server Password", "pr0xyP@ss"}));
    EXPECT_TRUE(report.items.at("Router admin").fields.empty());

    const std::string bytes = Export({kColumnName});
    EXPECT_NE(bytes.find("<ITEM>\r\n<Name>Router admin</Name>\r\n</ITEM>\r\n\r\n"),
              std::string::npos)
        << "no CUSTOM_FIELDS element without custom fields";

    const XMLREPORT without = Parse(Export({kColumnName}, false));
    EXPECT_TRUE(without.items.at("Gmail").fields.empty());
}

TEST_F(ExportXmlTest, MarkupInValuesIsEscaped) {
    const int folder = AddRecord(m_vault.Get(), 1, CLSID_Folder, "<b>&\"");
    AddRecord(m_vault.Get(), folder, CLSID_Note, "n",
              [](ICommonProperties* r) { r->SetComments("</ITEM><x>&amp;\x01"); });
    ASSERT_TRUE(m_tree.Fill(m_vault.Get(), kRootFolderId));
    CheckIds(m_tree, {folder});
    const XMLREPORT report = Parse(Export({kColumnName, kColumnComments}));
    EXPECT_EQ(report.groups, (std::vector<std::string>{"<b>&\""}));
    EXPECT_EQ(report.items.at("n").values.at("Comments"), "</ITEM><x>&amp;\xef\xbf\xbd");
}

} // namespace
