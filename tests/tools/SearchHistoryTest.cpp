#include "tools/SearchHistory.h"
#include "common/Fixtures.h"
#include "platform/MemoryProfileStore.h"
#include "platform/QSettingsProfileStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(const CSearchHistory& history) {
    std::vector<std::string> texts;
    for (const CSearchHistory::ENTRY& e : history.GetEntries())
        texts.push_back(e.text);
    return texts;
}

TEST(SearchHistoryTest, TextsAreKeptSortedIgnoringCaseAndDuplicatesAreIgnored) {
    CSearchHistory history;
    EXPECT_FALSE(history.Add(""));
    EXPECT_TRUE(history.Add("mail"));
    EXPECT_TRUE(history.Add("Bank"));
    EXPECT_TRUE(history.Add("café"));
    EXPECT_FALSE(history.Add("MAIL"));
    EXPECT_FALSE(history.Add("CAFÉ"));
    EXPECT_EQ(Texts(history), (std::vector<std::string>{"Bank", "café", "mail"}));
    EXPECT_EQ(history.GetLastText(), "café");
    // A text already listed does not age the others.
    for (const CSearchHistory::ENTRY& e : history.GetEntries())
        EXPECT_EQ(e.age, e.text == "mail" ? 2 : e.text == "Bank" ? 1 : 0) << e.text;

    // Typing completes with the first entry that begins with the text.
    history.Add("Bankverbindung");
    EXPECT_EQ(history.Complete("BAN"), "Bank");
    EXPECT_EQ(history.Complete("bankv"), "Bankverbindung");
    EXPECT_EQ(history.Complete("x"), "");
    EXPECT_EQ(history.Complete(""), "");
}

TEST(SearchHistoryTest, ATextIsForgottenOnceTenNewerOnesWereAdded) {
    CSearchHistory history;
    for (int i = 0; i < 10; ++i)
        history.Add("text" + std::to_string(i));
    EXPECT_EQ(history.GetEntries().size(), 10u);
    history.Add("text10");
    const std::vector<std::string> texts = Texts(history);
    EXPECT_EQ(texts.size(), 10u);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "text0"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "text1"), 1);
}

TEST(SearchHistoryTest, TheSectionHoldsCountTextsAgesAndTheLastText) {
    CMemoryProfileStore store;
    CSearchHistory history;
    history.Add("beta");
    history.Add("alpha");
    ASSERT_TRUE(history.Save(store));
    EXPECT_EQ(store.GetProfileInt("SearchLookIn", "Count", -1), 2);
    EXPECT_EQ(store.GetProfileString("SearchLookIn", "0", ""), "alpha");
    EXPECT_EQ(store.GetProfileInt("SearchLookIn", "0.DATA", -1), 0);
    EXPECT_EQ(store.GetProfileString("SearchLookIn", "1", ""), "beta");
    EXPECT_EQ(store.GetProfileInt("SearchLookIn", "1.DATA", -1), 1);
    EXPECT_EQ(store.GetProfileString("SearchLookIn", "", "?"), "alpha");

    CSearchHistory loaded;
    loaded.Load(store);
    EXPECT_EQ(Texts(loaded), Texts(history));
    EXPECT_EQ(loaded.GetEntries()[1].age, 1);
    EXPECT_EQ(loaded.GetLastText(), "alpha");

    store.FailWritesAfter(2);
    EXPECT_FALSE(history.Save(store));
}

TEST(SearchHistoryTest, ADamagedSectionLoadsWhatIsUsable) {
    CMemoryProfileStore store;
    store.WriteProfileInt("SearchLookIn", "Count", 2000000000);
    store.WriteProfileString("SearchLookIn", "0", "kept");
    store.WriteProfileInt("SearchLookIn", "0.DATA", 3);
    store.WriteProfileString("SearchLookIn", "1", "too old");
    store.WriteProfileInt("SearchLookIn", "1.DATA", 10);
    store.WriteProfileString("SearchLookIn", "2", "KEPT");
    store.WriteProfileString("SearchLookIn", "4", "also kept");
    CSearchHistory history;
    history.Load(store);
    EXPECT_EQ(Texts(history), (std::vector<std::string>{"also kept", "kept"}));

    store.WriteProfileInt("SearchLookIn", "Count", -5);
    history.Load(store);
    EXPECT_TRUE(history.GetEntries().empty());
}

TEST(SearchHistoryTest, TheUnnamedValueSurvivesTheIniStore) {
    txtest::ScratchDir dir;
    const std::string ini = (dir / "profile.ini").string();
    CSearchHistory history;
    history.Add("first");
    history.Add("second");
    {
        CQSettingsProfileStore store(ini);
        ASSERT_TRUE(history.Save(store));
    }
    CQSettingsProfileStore store(ini);
    CSearchHistory loaded;
    loaded.Load(store);
    EXPECT_EQ(Texts(loaded), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(loaded.GetLastText(), "second");
}

} // namespace
