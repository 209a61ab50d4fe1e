#include "tools/ExportColumns.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ENTRY = CExportColumns::ENTRY;

TEST(ExportColumnsTest, DefaultListsEveryColumnWithTheFirstSixChecked) {
    const std::vector<ENTRY> entries = CExportColumns::Default();
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kColumnCount));
    for (int i = 0; i < kColumnCount; ++i) {
        EXPECT_EQ(entries[i].index, i);
        EXPECT_EQ(entries[i].checked, i <= kColumnComments) << i;
    }
    const std::vector<int> checked = CExportColumns::CheckedColumns(entries);
    const std::vector<std::string> titles = [&] {
        std::vector<std::string> t;
        for (int c : checked)
            t.push_back(CExportColumns::Title(c));
        return t;
    }();
    EXPECT_EQ(titles, (std::vector<std::string>{"Name", "Login", "Password", "Email", "URL",
                                                "Comments"}));
}

TEST(ExportColumnsTest, StoredTextOfAllColumnsIs219Characters) {
    const std::string text = CExportColumns::Format(CExportColumns::Default());
    EXPECT_EQ(text.size(), 219u);
    EXPECT_EQ(text.substr(0, 30), "0000 0001 0001 0001 0002 0001 ");
    EXPECT_EQ(text.substr(text.size() - 9), "0021 0000");
}

TEST(ExportColumnsTest, ReorderedListRoundTrips) {
    std::vector<ENTRY> entries = CExportColumns::Default();
    std::reverse(entries.begin(), entries.end());
    entries[0].checked = true;   // Type
    entries[21].checked = false; // Name
    entries[10].checked = true;
    const std::string text = CExportColumns::Format(entries);
    ASSERT_EQ(text.size(), CExportColumns::kStoredLength);
    EXPECT_EQ(CExportColumns::Parse(text), entries);
    EXPECT_EQ(CExportColumns::CheckedColumns(entries).front(), kColumnType);
}

TEST(ExportColumnsTest, TextOfAnyOtherLengthGivesTheDefault) {
    std::vector<ENTRY> entries = CExportColumns::Default();
    entries[0].checked = false;
    const std::string text = CExportColumns::Format(entries);
    EXPECT_EQ(CExportColumns::Parse(text.substr(0, 218)), CExportColumns::Default());
    EXPECT_EQ(CExportColumns::Parse(text + " "), CExportColumns::Default());
    EXPECT_EQ(CExportColumns::Parse(""), CExportColumns::Default());
}

TEST(ExportColumnsTest, DamagedTextOfTheRightLengthGivesTheDefault) {
    const std::string good = CExportColumns::Format(CExportColumns::Default());
    std::string duplicate = good;
    duplicate.replace(10, 4, "0000"); // column 0 twice, column 1 missing
    std::string outside = good;
    outside.replace(0, 4, "0022");
    std::string letters = good;
    letters[6] = 'x';
    for (const std::string& text : {duplicate, outside, letters}) {
        ASSERT_EQ(text.size(), 219u);
        EXPECT_EQ(CExportColumns::Parse(text), CExportColumns::Default()) << text;
    }
}

TEST(ExportColumnsTest, TitlesAndTheirIdsMatchTheTable) {
    EXPECT_EQ(CExportColumns::Title(kColumnCardNumber), "Number of Credit Card");
    EXPECT_EQ(CExportColumns::Title(kColumnState), "State / Province");
    EXPECT_EQ(CExportColumns::Title(kColumnType), "Type");
    for (int i = 0; i < kColumnCount; ++i) {
        EXPECT_FALSE(CExportColumns::Title(i).empty()) << i;
        EXPECT_EQ(CExportColumns::IndexOfTitle(CExportColumns::TitleId(i)), i);
    }
    EXPECT_EQ(CExportColumns::TitleId(kColumnCount), 0u);
    EXPECT_EQ(CExportColumns::IndexOfTitle(0), -1);
}

} // namespace
