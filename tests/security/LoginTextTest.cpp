#include "security/LoginText.h"

#include <gtest/gtest.h>

TEST(LoginText, Windows1252FormOfUtf8) {
    EXPECT_EQ(Utf8ToWindows1252("plain"), "plain");
    EXPECT_EQ(Utf8ToWindows1252(""), "");
    EXPECT_EQ(Utf8ToWindows1252("caf\xc3\xa9 cr\xc3\xa8me"), "caf\xe9 cr\xe8me");
    EXPECT_EQ(Utf8ToWindows1252("\xe2\x82\xac \xc5\x93 \xe2\x84\xa2 \xc5\xb8"),
              "\x80 \x9c \x99 \x9f");
    EXPECT_EQ(Utf8ToWindows1252("\xc2\xa0\xc3\xbf"), "\xa0\xff");
}

TEST(LoginText, TextWithoutAWindows1252Form) {
    EXPECT_FALSE(Utf8ToWindows1252("\xe6\x97\xa5"));     // not in the code page
    EXPECT_FALSE(Utf8ToWindows1252("\xc2\x81"));         // a C1 control it lacks
    EXPECT_FALSE(Utf8ToWindows1252("caf\xe9"));          // already 8-bit, not UTF-8
    EXPECT_FALSE(Utf8ToWindows1252("\xc3"));             // cut short
    EXPECT_FALSE(Utf8ToWindows1252("\xc0\xa9"));         // overlong
    EXPECT_FALSE(Utf8ToWindows1252("\xe0\x80\xa9"));     // overlong
    EXPECT_FALSE(Utf8ToWindows1252("\xed\xa0\x80"));     // surrogate
    EXPECT_FALSE(Utf8ToWindows1252("\xf4\x90\x80\x80")); // beyond Unicode
}

TEST(LoginText, FormsAndKeyTexts) {
    EXPECT_EQ(TextForms("abc"), std::vector<std::string>{"abc"});
    EXPECT_EQ(TextForms("\xc3\xa9"), (std::vector<std::string>{"\xc3\xa9", "\xe9"}));
    EXPECT_EQ(TextForms("\xe9"), std::vector<std::string>{"\xe9"});
    EXPECT_EQ(MakeKeyText("secret"), "5ebe2294ecd0e0f08eab7690d2a6ee69");
    auto keys = PasswordKeyTexts("\xc3\xa9");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0], MakeKeyText("\xc3\xa9"));
    EXPECT_EQ(keys[1], MakeKeyText("\xe9"));
    WipeTexts(keys);
    EXPECT_TRUE(keys.empty());
}
