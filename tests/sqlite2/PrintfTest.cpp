#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "sqlite2/sqlite.h"

namespace {

std::string Fmt(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    char* s = sqlite_vmprintf(fmt, ap);
    va_end(ap);
    std::string r = s ? s : "<null>";
    sqlite_freemem(s);
    return r;
}

TEST(Printf, IntegersWithFlagsAndWidth) {
    EXPECT_EQ(Fmt("%d", -5), "-5");
    EXPECT_EQ(Fmt("%d", 0), "0");
    EXPECT_EQ(Fmt("%d", -2147483647 - 1), "-2147483648");
    EXPECT_EQ(Fmt("[%5d]", 42), "[   42]");
    EXPECT_EQ(Fmt("[%-5d]", 42), "[42   ]");
    EXPECT_EQ(Fmt("[%05d]", -42), "[-0042]");
    EXPECT_EQ(Fmt("%+d % d", 3, 3), "+3  3");
    EXPECT_EQ(Fmt("%.3d", 7), "007");
    EXPECT_EQ(Fmt("%u %x %X %o", 4294967295u, 255u, 255u, 8u), "4294967295 ff FF 10");
    EXPECT_EQ(Fmt("%#x %#o", 255u, 8u), "0xff 010");
    EXPECT_EQ(Fmt("%ld %lld", 1234567890123L, -1234567890123LL), "1234567890123 -1234567890123");
    EXPECT_EQ(Fmt("%*d|%-*d", 4, 1, 3, 2), "   1|2  ");
}

TEST(Printf, StringsAndQuoting) {
    EXPECT_EQ(Fmt("%s", "it's"), "it's");
    EXPECT_EQ(Fmt("[%s]", static_cast<const char*>(nullptr)), "[]");
    EXPECT_EQ(Fmt("%q", "it's"), "it''s");
    EXPECT_EQ(Fmt("%q", static_cast<const char*>(nullptr)), "(NULL)");
    EXPECT_EQ(Fmt("%Q", "it's"), "'it''s'");
    EXPECT_EQ(Fmt("%Q", ""), "''");
    EXPECT_EQ(Fmt("%Q", static_cast<const char*>(nullptr)), "NULL");
    EXPECT_EQ(Fmt("%.3q", "ab'cd"), "ab'");
    EXPECT_EQ(Fmt("%.4Q", "ab'cd"), "'ab'");
    EXPECT_EQ(Fmt("%.2s|%5s|%-5s|", "abcdef", "ab", "ab"), "ab|   ab|ab   |");
    EXPECT_EQ(Fmt("%c%%", 'x'), "x%");
}

TEST(Printf, EmptyResultIsAnEmptyString) {
    char* s = sqlite_mprintf("%q", "");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s[0], '\0');
    sqlite_freemem(s);
    s = sqlite_mprintf("");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s[0], '\0');
    sqlite_freemem(s);
}

TEST(Printf, HighBytesAndLargeValuesPassThrough) {
    std::string big(600000, '\x01');
    for (size_t i = 0; i < big.size(); i += 7)
        big[i] = static_cast<char>(0x80 + i % 120);
    big[10] = '\'';
    std::string expect = "'" + big.substr(0, 10) + "''" + big.substr(11) + "'";
    EXPECT_EQ(Fmt("%Q", big.c_str()), expect);
    EXPECT_EQ(Fmt("update t set data = %Q where id = %d", "a'b", 7),
              "update t set data = 'a''b' where id = 7");
}

TEST(Printf, FloatingConversions) {
    EXPECT_EQ(Fmt("%.2f", 3.14159), "3.14");
    EXPECT_EQ(Fmt("%g", 0.5), "0.5");
    EXPECT_EQ(Fmt("%e", 1000.0), "1.000000e+03");
    EXPECT_EQ(Fmt("%8.3f|", -1.5), "  -1.500|");
    EXPECT_EQ(Fmt("%.400f", 1.0).size(), 402u);
}

} // namespace
