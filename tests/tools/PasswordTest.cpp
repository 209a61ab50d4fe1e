#include "tools/Password.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Hands out the given draws in order; running out means the generator drew more than the
// test expected.
class CScriptedRandom : public IRandomSource {
public:
    explicit CScriptedRandom(std::vector<int> draws) : m_draws(std::move(draws)) {}
    int Next() override {
        if (m_next == m_draws.size())
            throw std::runtime_error("more draws than scripted");
        return m_draws[m_next++];
    }
    std::size_t Used() const { return m_next; }

private:
    std::vector<int> m_draws;
    std::size_t m_next = 0;
};

// A reproducible stand-in for the system source in property tests.
class CSeededRandom : public IRandomSource {
public:
    explicit CSeededRandom(unsigned seed) : m_engine(seed) {}
    int Next() override { return static_cast<int>(m_engine() & 0x7FFF); }

private:
    std::mt19937 m_engine;
};

struct OPTIONS {
    int length = 16;
    bool upper = true;
    bool lower = true;
    bool numerals = true;
    bool exclude = false;
    bool special = true;
    bool otherEnabled = false;
    std::string other;
    bool pronounce = false;
    int level = 1;
};

OPTIONS Only() {
    OPTIONS o;
    o.upper = o.lower = o.numerals = o.special = false;
    return o;
}

std::string Generate(IRandomSource& random, const OPTIONS& o) {
    return CPassword(random).Generate(o.length, o.upper, o.lower, o.numerals, o.exclude, o.special,
                                      o.otherEnabled, o.other, o.pronounce, o.level);
}

bool Vowel(char c) {
    return std::string("eyuioaEYUIOA").find(c) != std::string::npos;
}

const std::string kDefaultPool = std::string(CPassword::kUpperSet) + CPassword::kLowerSet +
                                 CPassword::kDigitSet + CPassword::kSpecialSet;

} // namespace

TEST(PasswordGenerate, NothingSelectedOrNoLengthGivesEmptyText) {
    CScriptedRandom none({});
    OPTIONS o = Only();
    EXPECT_EQ(Generate(none, o), "");
    o = OPTIONS();
    o.length = 0;
    EXPECT_EQ(Generate(none, o), "");
    o.length = -5;
    EXPECT_EQ(Generate(none, o), "");
    // Exclusion alone passes the first check but leaves the pool empty.
    o = Only();
    o.exclude = true;
    EXPECT_EQ(Generate(none, o), "");
    EXPECT_EQ(none.Used(), 0u);
}

TEST(PasswordGenerate, PoolIsBuiltInClassOrderAndDrawnByIndex) {
    ASSERT_EQ(kDefaultPool.size(), 85u);
    CScriptedRandom random({0, 26, 52, 62, 84, 85, 32724});
    OPTIONS o;
    o.length = 7;
    // 85 wraps to the first character; 32724 is the last draw below the bias limit.
    EXPECT_EQ(Generate(random, o), "Qq0~`Q`");
}

TEST(PasswordGenerate, DrawsThatWouldBiasTheIndexAreDrawnAgain) {
    // 32768 = 385 * 85 + 43: the top 43 values would favour the first 43 characters.
    CScriptedRandom random({32725, 32767, 1});
    OPTIONS o;
    o.length = 1;
    EXPECT_EQ(Generate(random, o), "W");
    EXPECT_EQ(random.Used(), 3u);
}

TEST(PasswordGenerate, DefaultsGiveSixteenCharactersFromTheWholePool) {
    CSeededRandom random(1);
    std::string seen;
    for (int n = 0; n < 500; ++n) {
        const std::string password = Generate(random, OPTIONS());
        ASSERT_EQ(password.size(), 16u);
        for (char c : password) {
            ASSERT_NE(kDefaultPool.find(c), std::string::npos) << password;
            if (seen.find(c) == std::string::npos)
                seen += c;
        }
    }
    EXPECT_EQ(seen.size(), kDefaultPool.size());
}

TEST(PasswordGenerate, OtherSymbolsLoseBlanksAndCommas) {
    CSeededRandom random(2);
    OPTIONS o = Only();
    o.otherEnabled = true;
    o.other = " a,b ";
    std::string all;
    for (int n = 0; n < 50; ++n)
        all += Generate(random, o);
    EXPECT_EQ(all.find_first_not_of("ab"), std::string::npos) << all;
    EXPECT_NE(all.find('a'), std::string::npos);
    EXPECT_NE(all.find('b'), std::string::npos);

    o.other = " ,, , ";
    EXPECT_EQ(Generate(random, o), "");
}

TEST(PasswordGenerate, OtherSymbolsFollowTheClassesAndKeepDuplicates) {
    // Pool: digits then "x", "x", "y"; index 10 and 11 are both x.
    CScriptedRandom random({10, 11, 12, 9});
    OPTIONS o = Only();
    o.numerals = true;
    o.otherEnabled = true;
    o.other = "x,x y";
    o.length = 4;
    EXPECT_EQ(Generate(random, o), "xxy9");
}

TEST(PasswordGenerate, MultiByteOtherSymbolsAreDrawnWhole) {
    CScriptedRandom scripted({1, 0, 2});
    OPTIONS o = Only();
    o.otherEnabled = true;
    o.other = "\xC3\xA9\xE2\x82\xAC\xFF"; // e acute, euro sign, a stray byte
    o.length = 3;
    EXPECT_EQ(Generate(scripted, o), "\xE2\x82\xAC\xC3\xA9\xFF");
}

TEST(PasswordGenerate, ExclusionRemovesEveryDubiousCharacter) {
    CSeededRandom random(4);
    OPTIONS o;
    o.exclude = true;
    o.length = 64;
    std::string all;
    for (int n = 0; n < 300; ++n)
        all += Generate(random, o);
    EXPECT_EQ(all.find_first_of(CPassword::kDubiousSet), std::string::npos);
    EXPECT_NE(all.find('i'), std::string::npos);
    EXPECT_NE(all.find('L'), std::string::npos);
}

TEST(PasswordGenerate, OnlyDubiousCharactersGiveWrongOptions) {
    CSeededRandom random(5);
    OPTIONS o = Only();
    o.exclude = true;
    o.otherEnabled = true;
    o.other = "!1Il0Oo^,.[]$";
    EXPECT_EQ(Generate(random, o), CPassword::kWrongOptions);
    o.special = true;
    o.other.clear();
    // The special set alone still holds acceptable symbols.
    const std::string password = Generate(random, o);
    ASSERT_EQ(password.size(), 16u);
    EXPECT_EQ(password.find_first_of(CPassword::kDubiousSet), std::string::npos);
}

TEST(PasswordGenerate, FewGoodCharactersInALargePoolStillSucceed) {
    CSeededRandom random(6);
    OPTIONS o = Only();
    o.exclude = true;
    o.otherEnabled = true;
    o.other = std::string(3000, '1') + "k";
    o.length = 3;
    EXPECT_EQ(Generate(random, o), "kkk");
}

TEST(PasswordGenerate, LevelOneRejectsAThirdNonVowel) {
    // Q and W are consonants; R would be the third in a row, E is a vowel.
    CScriptedRandom random({0, 1, 3, 2, 3});
    OPTIONS o = Only();
    o.upper = true;
    o.pronounce = true;
    o.level = 1;
    o.length = 4;
    EXPECT_EQ(Generate(random, o), "QWER");
}

TEST(PasswordGenerate, LevelOneNeverGivesThreeNonVowelsInARow) {
    CSeededRandom random(7);
    OPTIONS o;
    o.pronounce = true;
    o.level = 1;
    o.length = 40;
    bool startsWithTwo = false;
    for (int n = 0; n < 400; ++n) {
        const std::string p = Generate(random, o);
        ASSERT_EQ(p.size(), 40u);
        for (std::size_t i = 2; i < p.size(); ++i)
            ASSERT_TRUE(Vowel(p[i - 2]) || Vowel(p[i - 1]) || Vowel(p[i])) << p;
        startsWithTwo = startsWithTwo || (!Vowel(p[0]) && !Vowel(p[1]));
    }
    EXPECT_TRUE(startsWithTwo);
}

TEST(PasswordGenerate, LevelTwoAlternatesVowelsAndNonVowels) {
    CScriptedRandom scripted({0, 1, 2, 4});
    OPTIONS o = Only();
    o.upper = true;
    o.pronounce = true;
    o.level = 2;
    o.length = 3;
    // W may not follow Q; E may, and T may follow E.
    EXPECT_EQ(Generate(scripted, o), "QET");

    CSeededRandom random(8);
    for (bool lowerToo : {false, true}) {
        o.lower = o.numerals = o.special = lowerToo;
        o.length = 32;
        bool vowelFirst = false;
        bool consonantFirst = false;
        for (int n = 0; n < 300; ++n) {
            const std::string p = Generate(random, o);
            ASSERT_EQ(p.size(), 32u);
            for (std::size_t i = 1; i < p.size(); ++i)
                ASSERT_NE(Vowel(p[i - 1]), Vowel(p[i])) << p;
            (Vowel(p[0]) ? vowelFirst : consonantFirst) = true;
        }
        EXPECT_TRUE(vowelFirst);
        EXPECT_TRUE(consonantFirst);
    }
}

TEST(PasswordGenerate, RuleNeedsLettersAndAKnownLevel) {
    CSeededRandom random(9);
    OPTIONS o = Only();
    o.numerals = true;
    o.pronounce = true;
    o.level = 2;
    EXPECT_EQ(Generate(random, o).find_first_not_of(CPassword::kDigitSet), std::string::npos);

    // Levels 0 and 3 filter nothing: consonant runs appear.
    for (int level : {0, 3}) {
        o = Only();
        o.upper = true;
        o.pronounce = true;
        o.level = level;
        o.length = 64;
        bool run = false;
        for (int n = 0; n < 20 && !run; ++n) {
            const std::string p = Generate(random, o);
            for (std::size_t i = 2; i < p.size(); ++i)
                run = run || (!Vowel(p[i - 2]) && !Vowel(p[i - 1]) && !Vowel(p[i]));
        }
        EXPECT_TRUE(run) << "level " << level;
    }
}

TEST(PasswordGenerate, SystemSourceGivesDifferentPasswords) {
    CPassword generator;
    const std::string a =
        generator.Generate(32, true, true, true, false, true, false, "", false, 0);
    const std::string b =
        generator.Generate(32, true, true, true, false, true, false, "", false, 0);
    EXPECT_EQ(a.size(), 32u);
    EXPECT_NE(a, b);
}

TEST(PasswordFirmness, DocumentedExamples) {
    EXPECT_EQ(CPassword::EstimateFirmness("abc"), 15);
    EXPECT_EQ(CPassword::EstimateFirmness("Abcdefgh12345678"), 96);
    EXPECT_EQ(CPassword::EstimateFirmness(nullptr), 0);
    EXPECT_EQ(CPassword::EstimateFirmness(""), 0);
}

TEST(PasswordFirmness, EachClassAddsItsShare) {
    EXPECT_EQ(CPassword::EstimateFirmness(" "), 4);         // punctuation 1: 16
    EXPECT_EQ(CPassword::EstimateFirmness("/"), 4);         // 47 is still punctuation 1
    EXPECT_EQ(CPassword::EstimateFirmness(":"), 5);         // punctuation 2: 17
    EXPECT_EQ(CPassword::EstimateFirmness("~"), 5);         // 126
    EXPECT_EQ(CPassword::EstimateFirmness("\x7F"), 7);      // delete: 112
    EXPECT_EQ(CPassword::EstimateFirmness("\x01"), 6);      // control: 60
    EXPECT_EQ(CPassword::EstimateFirmness("\xC3\xA9"), 12); // high bytes count as control
    EXPECT_EQ(CPassword::EstimateFirmness("0123"), 14);     // digits: 10
    // All seven: 267 characters.
    EXPECT_EQ(CPassword::EstimateFirmness("\x01"
                                          "Aa0 :\x7F"),
              57);
    // The wrong-options text is rated like any other: upper and both punctuation classes.
    EXPECT_EQ(CPassword::EstimateFirmness(CPassword::kWrongOptions), 118);
}

TEST(PasswordFirmness, LongTextsGrowWithoutOverflow) {
    const std::string text(200, 'a');
    EXPECT_EQ(CPassword::EstimateFirmness(text.c_str()), 941);
}

TEST(RandomSource, UniformIndexCoversRangesWiderThanOneDraw) {
    // Two draws make one 30-bit value: 1 * 32768 + 5.
    CScriptedRandom random({1, 5});
    EXPECT_EQ(UniformIndex(random, 40000), 32773u);

    CSystemRandomSource& system = CSystemRandomSource::Instance();
    int low = 0;
    for (int n = 0; n < 2000; ++n) {
        const int v = system.Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        low += v < 16384;
    }
    // A source stuck in one half would fail here.
    EXPECT_GT(low, 0);
    EXPECT_LT(low, 2000);
}
