#include "tools/ExportColumns.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ENTRY = CExportColumns::ENTRY;

TEST(ExportColumnsTest, DefaultIsEveryColumnWithNameToCommentsChecked) {
    const std::vector<ENTRY> entries = CExportColumns::Default();
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kColumnCount));
    std::vector<std::string> titles;
    for (int column : CExportColumns::CheckedColumns(entries))
        titles.push_back(CExportColumns::Title(column));
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Name", "Login", "Password", "Email", "URL", "Comments"}));
    const std::string text = CExportColumns::Format(entries);
    EXPECT_EQ(text.size(), 219u);
    EXPECT_EQ(text.substr(0, 30), "0000 0001 0001 0001 0002 0001 ");
    EXPECT_EQ(text.substr(text.size() - 9), "0021 0000");
    EXPECT_EQ(CExportColumns::Title(kColumnCardNumber), "Number of Credit Card");
    EXPECT_EQ(CExportColumns::IndexOfTitle(CExportColumns::TitleId(kColumnType)), kColumnType);
}

TEST(ExportColumnsTest, ReorderedListRoundTrips) {
    std::vector<ENTRY> entries = CExportColumns::Default();
    std::reverse(entries.begin(), entries.end());
    entries[0].checked = true;   // Type
    entries[21].checked = false; // Name
    const std::string text = CExportColumns::Format(entries);
    EXPECT_EQ(CExportColumns::Parse(text), entries);
    EXPECT_EQ(CExportColumns::CheckedColumns(entries).front(), kColumnType);
}

TEST(ExportColumnsTest, TextOfAnotherLengthOrDamagedGivesTheDefault) {
    std::vector<ENTRY> entries = CExportColumns::Default();
    entries[0].checked = false;
    const std::string good = CExportColumns::Format(entries);
    std::string duplicate = good;
    duplicate.replace(10, 4, "0000"); // column 0 twice, column 1 missing
    std::string outside = good;
    outside.replace(0, 4, "0022");
    std::string letters = good;
    letters[6] = 'x';
    for (const std::string& text :
         {good.substr(0, 218), good + " ", std::string(), duplicate, outside, letters})
        EXPECT_EQ(CExportColumns::Parse(text), CExportColumns::Default()) << text;
}

} // namespace
