#include "tools/RegularExpression.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

bool Matches(const std::string& pattern, const std::string& text) {
    return CRegularExpression(pattern).Match(text);
}

} // namespace

TEST(RegularExpression, BlankSeparatedWordsAreAlternatives) {
    EXPECT_TRUE(Matches("ab cd", "xxABxx"));
    EXPECT_TRUE(Matches("ab cd", "some cd"));
    EXPECT_TRUE(Matches("AB CD", "ab"));
    EXPECT_FALSE(Matches("ab cd", "ac bd"));
    EXPECT_TRUE(Matches("ab   cd", "cd"));
}

TEST(RegularExpression, StarKeepsPartsInOrder) {
    EXPECT_TRUE(Matches("ab*cd", "xxABxxCDxx"));
    EXPECT_TRUE(Matches("ab*cd", "abcd"));
    EXPECT_FALSE(Matches("ab*cd", "CDxxAB"));
    EXPECT_TRUE(Matches("ab*", "xab"));
    EXPECT_TRUE(Matches("*ab", "xab"));
    EXPECT_TRUE(Matches("*", ""));
}

TEST(RegularExpression, QuestionMarkNeedsOneCharacter) {
    EXPECT_TRUE(Matches("a?c", "abc"));
    EXPECT_TRUE(Matches("a?c", "abbbc"));
    EXPECT_FALSE(Matches("a?c", "ac"));
    EXPECT_FALSE(Matches("a?c", "a"));

    // At the end: exactly one character after the first occurrence.
    EXPECT_TRUE(Matches("ab?", "abx"));
    EXPECT_FALSE(Matches("ab?", "abxy"));
    EXPECT_FALSE(Matches("ab?", "ab"));
    EXPECT_FALSE(Matches("ab?", "abxyabz"));

    EXPECT_TRUE(Matches("?", "x"));
    EXPECT_FALSE(Matches("?", ""));
    EXPECT_FALSE(Matches("?", "xy"));
}

TEST(RegularExpression, QuotedPhrasesKeepTheirBlanks) {
    EXPECT_TRUE(Matches("\"ab cd\"", "xx ab cd yy"));
    EXPECT_FALSE(Matches("\"ab cd\"", "ab"));
    EXPECT_FALSE(Matches("\"ab cd\"", "abcd"));
    EXPECT_FALSE(Matches("\"ab cd\"", "cd ab"));
    // An apostrophe opens a phrase too, but only a double quote closes it.
    EXPECT_TRUE(Matches("'ab cd\"", "xab cdx"));
    EXPECT_FALSE(Matches("'ab cd\"", "cd"));
    // Words before and after a phrase are parts of the same alternative.
    EXPECT_TRUE(Matches("x\"a b\"y", "xa by"));
    EXPECT_FALSE(Matches("x\"a b\"y", "a b"));
    // Inside quotes wildcards are plain characters.
    EXPECT_TRUE(Matches("\"?\"", "what?"));
    EXPECT_FALSE(Matches("\"?\"", "what"));
    EXPECT_TRUE(Matches("\"a*b\"", "xa*b"));
    EXPECT_FALSE(Matches("\"a*b\"", "axxb"));
}

TEST(RegularExpression, UnclosedQuotes) {
    // A lone double quote is dropped; a lone apostrophe is part of the word.
    EXPECT_TRUE(Matches("\"abc", "xabcx"));
    EXPECT_TRUE(Matches("o'neil", "Mr O'Neil"));
    EXPECT_FALSE(Matches("o'neil", "Mr ONeil"));
    EXPECT_TRUE(Matches("\"\"", "anything"));
}

TEST(RegularExpression, TrailingFullStopsAreIgnored) {
    EXPECT_TRUE(Matches("abc.", "xabcx"));
    EXPECT_TRUE(Matches("abc. xyz", "abc"));
    EXPECT_TRUE(Matches("abc.*d", "abcd"));
    EXPECT_TRUE(Matches("a.b", "A.B"));
    EXPECT_FALSE(Matches("a.b", "AB"));
    EXPECT_EQ(CRegularExpression("abc.").GetPattern(), "ABC.");
}

TEST(RegularExpression, EmptyPatternMatchesEverything) {
    for (const char* pattern : {"", "   ", "\t \n"}) {
        EXPECT_TRUE(Matches(pattern, ""));
        EXPECT_TRUE(Matches(pattern, "anything"));
    }
    CRegularExpression unset;
    EXPECT_TRUE(unset.Match(""));
}

TEST(RegularExpression, PatternIsTrimmedAndUpperCased) {
    CRegularExpression expression("  \tab Cd\r\n");
    EXPECT_EQ(expression.GetPattern(), "AB CD");
    EXPECT_TRUE(expression.Match("xcdx"));
    EXPECT_TRUE(Matches(" ab ", "AB"));
}

TEST(RegularExpression, LaterAlternativesCountAfterAFailedPart) {
    // The first alternative fails on its first part; the second must still be tried.
    EXPECT_TRUE(Matches("john*smith mary", "Mary"));
    EXPECT_TRUE(Matches("a?c xyz", "xyz"));
    EXPECT_FALSE(Matches("john*smith mary", "John"));
    // An alternative that ends in a question mark is complete on its own.
    EXPECT_TRUE(Matches("ab? cd", "abz"));
    EXPECT_FALSE(Matches("ab? cd", "abzz"));
}

TEST(RegularExpression, CaseIsIgnoredBeyondAscii) {
    EXPECT_TRUE(Matches("m\xC3\xBCller", "HERR M\xC3\x9CLLER"));  // UTF-8 on both sides
    EXPECT_TRUE(Matches("m\xC3\xBCller", "Herr M\xDCller"));      // text in Windows-1252
    EXPECT_TRUE(Matches("\xE2\x82\xAC", "price: 5\x80"));         // euro sign in Windows-1252
    EXPECT_TRUE(Matches("\xD0\xB4\xD0\xB0", "\xD0\x94\xD0\x90")); // Cyrillic
    EXPECT_TRUE(Matches("\xC3\xA9?", "\xC3\x89t"));               // ? is one character
    EXPECT_FALSE(Matches("e?", "\xC3\xA9t\xC3\xA9"));
}

TEST(RegularExpression, HostileInputIsHandled) {
    // Many parts against a long text that almost matches.
    std::string pattern;
    for (int i = 0; i < 200; ++i)
        pattern += "a*";
    pattern += "b";
    const std::string many(100000, 'a');
    EXPECT_FALSE(Matches(pattern, many));
    EXPECT_TRUE(Matches(pattern, many + "b"));

    // A long word that fails only at its last character, again and again.
    const std::string word = std::string(2000, 'a') + "b";
    EXPECT_FALSE(Matches(word, std::string(200000, 'a')));
    EXPECT_TRUE(Matches(word, std::string(200000, 'a') + "b"));

    // Any bytes at all, in the pattern and in the text.
    std::mt19937 engine(11);
    for (int n = 0; n < 2000; ++n) {
        std::string p(engine() % 12, '\0');
        std::string t(engine() % 40, '\0');
        for (char& c : p)
            c = static_cast<char>(engine());
        for (char& c : t)
            c = static_cast<char>(engine());
        CRegularExpression(p).Match(t);
        // Without wildcards, quotes or blanks a text is found in itself.
        if (!t.empty() && t.find_first_of(" *?\"'.\t\n\v\f\r") == std::string::npos) {
            EXPECT_TRUE(CRegularExpression(t).Match("<" + t + ">")) << n;
        }
    }
}
