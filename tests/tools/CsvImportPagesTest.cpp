#include "tools/CsvImportPages.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/TresorixSettings.h"
#include "tools/SearchImportFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace txtest;
using namespace CsvImportPages;

namespace {

class CsvImportPagesTest : public ::testing::Test {
protected:
    // Next on the file page for a file holding text.
    bool OpenFile(const std::string& text, bool header = false) {
        WriteTextFile(m_dir / "in.csv", text);
        m_page.path = (m_dir / "in.csv").string();
        m_page.firstRowIsHeader = header;
        return OnFilePageNext(m_import, m_page, m_settings);
    }

    void ExpectBox(const std::string& text) {
        ASSERT_EQ(m_messages.Messages().size(), 1u) << text;
        EXPECT_EQ(m_messages.Messages()[0].text, text);
        EXPECT_EQ(m_messages.Messages()[0].caption, "Import");
        EXPECT_EQ(m_messages.Messages()[0].flags, unsigned(MB_OK | MB_ICONINFORMATION));
        m_messages.Clear();
    }

    CScopedMessageRecorder m_messages;
    CScopedMemoryClipboard m_clipboard;
    ScratchDir m_dir;
    CTresorixSettings m_settings;
    CCsvImport m_import;
    FILE_PAGE m_page = MakeFilePage(m_settings);
    FIELDS_PAGE m_fields;
};

TEST_F(CsvImportPagesTest, TheFilePageStartsFromTheSettingsAndKeepsOneSeparator) {
    m_settings.Import_LastCsvFile = "/srv/last.csv";
    m_settings.Import_CsvFieldSeparator = ",";
    m_settings.Import_CsvStripQuotes = 1;
    const FILE_PAGE page = MakeFilePage(m_settings);
    EXPECT_FALSE(page.fromClipboard);
    EXPECT_EQ(page.path, "/srv/last.csv");
    EXPECT_EQ(page.separator, ",");
    EXPECT_TRUE(page.stripQuotes);
    EXPECT_FALSE(page.firstRowIsHeader);

    EXPECT_EQ(FilterSeparator(";", ",;"), ";");
    EXPECT_EQ(FilterSeparator(";", "§"), "§") << "one character, two bytes";

    OnFileChosen(m_page, m_settings, "/data/pw.csv");
    EXPECT_EQ(m_page.path, "/data/pw.csv");
    EXPECT_EQ(m_settings.Import_LastCsvFile, "/data/pw.csv");
}

TEST_F(CsvImportPagesTest, AnEmptyOrUnusableSeparatorIsResetToTheDefault) {
    for (const char* separator : {"", "§", "\n"}) {
        m_page.separator = separator;
        EXPECT_FALSE(OpenFile("a;b\n"));
        ExpectBox("You should provide field separator. The default value is \";\" (semicolon).");
        EXPECT_EQ(m_page.separator, ";");
        EXPECT_EQ(m_settings.Import_CsvFieldSeparator, ";");
    }
}

TEST_F(CsvImportPagesTest, NextOnTheFilePageConfiguresTheReaderAndTheImport) {
    m_page.separator = ",";
    m_page.stripQuotes = true;
    ASSERT_TRUE(OpenFile("\"a\",b\n", true));
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_EQ(m_import.GetReader().GetSeparator(), ',');
    EXPECT_TRUE(m_import.GetReader().GetStripQuotes());
    EXPECT_TRUE(m_import.GetSkipHeader());
    EXPECT_EQ(m_settings.Import_CsvFieldSeparator, ",");
    EXPECT_EQ(m_settings.Import_CsvFirstRowIsHeader, 1);
    EXPECT_EQ(m_settings.Import_CsvStripQuotes, 1);
}

TEST_F(CsvImportPagesTest, AMissingSourceKeepsTheFilePage) {
    m_page.path.clear();
    EXPECT_FALSE(OnFilePageNext(m_import, m_page, m_settings));
    ExpectBox("You should select file for import.");

    m_page.path = (m_dir / "absent.csv").string();
    EXPECT_FALSE(OnFilePageNext(m_import, m_page, m_settings));
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].flags & 0xF0, unsigned(MB_ICONSTOP)) << "the file error";
    EXPECT_EQ(m_messages.Messages()[1].text, "Cannot open file \"" + m_page.path + "\"");
    m_messages.Clear();

    m_page.fromClipboard = true;
    EXPECT_FALSE(OnFilePageNext(m_import, m_page, m_settings));
    ExpectBox("Windows clipboard is empty or does not contain text data.");
    m_clipboard.SetText("Bank;jo\r\n");
    EXPECT_TRUE(OnFilePageNext(m_import, m_page, m_settings));
    EXPECT_TRUE(m_import.GetReader().IsClipboardMode());
}

TEST_F(CsvImportPagesTest, TheFieldsPageOffersTheFirstRowAndMapsByPosition) {
    ASSERT_TRUE(OpenFile("Title;User;Secret\nBank;jo;pw\n"));
    m_fields.checked[4] = true; // a check made before stays
    ASSERT_TRUE(OnFieldsPageEnter(m_import, m_fields));
    EXPECT_EQ(m_fields.entries, (std::vector<std::string>{"[Field 1]: Title", "[Field 2]: User",
                                                          "[Field 3]: Secret"}));
    EXPECT_EQ(m_fields.checked, (std::array<bool, 6>{true, true, true, false, true, false}));
    EXPECT_EQ(m_fields.selected, (std::array<int, 6>{0, 1, 2, 0, 0, 0}));

    m_fields.checked[4] = false;
    ASSERT_TRUE(OnFieldsPageNext(m_import, m_fields));
    EXPECT_EQ(m_import.GetColumn(CCsvImport::kName), 0);
    EXPECT_EQ(m_import.GetColumn(CCsvImport::kPassword), 2);
    EXPECT_EQ(m_import.GetColumn(CCsvImport::kEmail), -1);
    EXPECT_EQ(m_import.GetRecordCount(), 2) << "the header option is off";

    // Back closes the source; Next on the file page opens it again.
    OnFieldsPageBack(m_import);
    EXPECT_EQ(m_import.GetReader().ReadRow(), nullptr);
    ASSERT_TRUE(OnFilePageNext(m_import, m_page, m_settings));
    ASSERT_TRUE(OnFieldsPageEnter(m_import, m_fields));
}

TEST_F(CsvImportPagesTest, TheFieldsPageRefusesAnEmptySourceOrNoTarget) {
    ASSERT_TRUE(OpenFile("\nBank;jo\n"));
    EXPECT_FALSE(OnFieldsPageEnter(m_import, m_fields));
    ExpectBox("The selected data source is empty or Import wizard cannot access the data.");

    ASSERT_TRUE(OpenFile("Bank;jo\n"));
    ASSERT_TRUE(OnFieldsPageEnter(m_import, m_fields));
    m_fields.checked = {};
    EXPECT_FALSE(OnFieldsPageNext(m_import, m_fields));
    ExpectBox("You should select at least one field.");

    // Only a header: nothing to import, and no message.
    ASSERT_TRUE(OpenFile("Title;User\n", true));
    ASSERT_TRUE(OnFieldsPageEnter(m_import, m_fields));
    EXPECT_FALSE(OnFieldsPageNext(m_import, m_fields));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(CsvImportPagesTest, TheValuesPageChecksTheValidRowsAndNeedsOneChecked) {
    ASSERT_TRUE(OpenFile("Bank;jo;pw\nMail;ann\n"));
    ASSERT_TRUE(OnFieldsPageEnter(m_import, m_fields));
    ASSERT_TRUE(OnFieldsPageNext(m_import, m_fields));
    const std::vector<VALUE_LINE> lines = OnValuesPageEnter(m_import);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].values[CCsvImport::kLogin], "jo");
    EXPECT_TRUE(lines[0].checked);
    EXPECT_FALSE(lines[0].warning);
    EXPECT_FALSE(lines[1].checked);
    EXPECT_TRUE(lines[1].warning);
    EXPECT_EQ(kWarningColour, 0x7DBEFFu);

    EXPECT_FALSE(OnValuesPageNext(m_import, {false, false}));
    ExpectBox("You should select at least one value to import.");
    EXPECT_FALSE(OnValuesPageNext(m_import, {true}));
    ExpectBox("You should select at least one value to import.");
    EXPECT_TRUE(OnValuesPageNext(m_import, {false, true}));
    EXPECT_FALSE(m_import.IsSelected(0));
    EXPECT_TRUE(m_import.IsSelected(1));
}

TEST_F(CsvImportPagesTest, TheWholeWizardImportsIntoTheChosenFolder) {
    TX_REQUIRE_FIXTURES();
    CVaultDocument vault(m_dir, "sample", "carol", "S3cret!pass");
    ASSERT_TRUE(vault.Open());
    m_import.SetDocument(&vault.doc);
    ASSERT_TRUE(OpenFile("Name;Login;Password\nBank;jo;pw\nMail;ann;pw2\n", true));
    ASSERT_TRUE(OnFieldsPageEnter(m_import, m_fields));
    ASSERT_TRUE(OnFieldsPageNext(m_import, m_fields));
    ASSERT_TRUE(OnValuesPageNext(m_import, {true, true}));
    m_import.SetTargetFolder(7);
    FINISH_PAGE finish = OnFinishPageEnter(m_import);
    EXPECT_EQ(finish.count, 2);
    EXPECT_EQ(finish.finishCaption, "Done");
    EXPECT_EQ(finish.text, "2 item(s) has been imported.");
    vault.view.hints.clear();
    OnWizardFinish(m_import);
    EXPECT_EQ(vault.view.hints, (std::vector<int>{0}));

    m_import.SetTargetFolder(4242);
    finish = OnFinishPageEnter(m_import);
    EXPECT_EQ(finish.count, 0);
    EXPECT_EQ(finish.finishCaption, "Close");
    EXPECT_EQ(finish.text, "0 item(s) has been imported.");
}

} // namespace
