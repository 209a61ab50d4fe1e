#include "storage/SQLiteField.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteException.h"

#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

int Int(const char* text) {
    return CSQLiteField("c", text).AsInt();
}
std::int64_t Int64(const char* text) {
    return CSQLiteField("c", text).AsInt64();
}
double Double(const char* text) {
    return CSQLiteField("c", text).AsDouble();
}

std::string Binary(const char* text) {
    CSQLiteField field("data", text);
    BinaryPtr binary(field.AsBinary());
    EXPECT_TRUE(binary);
    if (!binary || binary->GetLength() == 0)
        return {};
    return std::string(reinterpret_cast<const char*>(binary->GetData()),
                       static_cast<std::size_t>(binary->GetLength()));
}

} // namespace

TEST(SQLiteField, IntegerConversionTakesLeadingDigits) {
    EXPECT_EQ(Int("abc"), 0);
    EXPECT_EQ(Int("12abc"), 12);
    EXPECT_EQ(Int("-1"), -1);
    EXPECT_EQ(Int("  42"), 42);
    EXPECT_EQ(Int("+7"), 7);
    EXPECT_EQ(Int(""), 0);
    EXPECT_EQ(Int("-"), 0);
    EXPECT_EQ(Int(nullptr), 0);
    EXPECT_EQ(Int("2147483647"), INT_MAX);
    EXPECT_EQ(Int("-2147483648"), INT_MIN);
}

TEST(SQLiteField, IntegerConversionSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(Int("2147483648"), INT_MAX);
    EXPECT_EQ(Int("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(Int("-99999999999999999999999"), INT_MIN);
}

TEST(SQLiteField, Int64IsTheWidenedThirtyTwoBitConversion) {
    EXPECT_EQ(Int64("-1"), -1);
    EXPECT_EQ(Int64("4294967296"), INT_MAX);
    EXPECT_EQ(Int64(nullptr), 0);
}

TEST(SQLiteField, DoubleConversion) {
    EXPECT_DOUBLE_EQ(Double("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(Double(" -2.5e3x"), -2500.0);
    EXPECT_DOUBLE_EQ(Double("+3"), 3.0);
    EXPECT_DOUBLE_EQ(Double("abc"), 0.0);
    EXPECT_DOUBLE_EQ(Double(nullptr), 0.0);
}

TEST(SQLiteField, BinaryDecodesTheEscapedText) {
    EXPECT_EQ(Binary("\x01\x60\x61\x62"), "abc");
    // Offset 1: 0x01 0x01 is byte 1, 0x01 0x02 byte 2, 0x01 0x03 byte 0x28.
    EXPECT_EQ(Binary("\x01\x01\x01\x01\x02\x01\x03"), std::string("\x01\x02\x28"));
}

TEST(SQLiteField, BinaryOfMalformedNullOrEmptyTextIsEmpty) {
    EXPECT_EQ(Binary("\x05\x01\x04"), "");
    EXPECT_EQ(Binary("\x05\x61\x01"), "");
    EXPECT_EQ(Binary("x"), "");
    EXPECT_EQ(Binary(nullptr), "");
}

TEST(SQLiteException, CopiesOwnTheirText) {
    std::string text = "database is locked";
    auto* original = new CSQLiteException(5, text);
    CSQLiteException copy(*original);
    delete original;
    text.assign(text.size(), '#');
    EXPECT_EQ(copy.GetCode(), 5);
    EXPECT_EQ(copy.GetText(), "database is locked");
    EXPECT_STREQ(copy.what(), "database is locked");
    CSQLiteException assigned(0, "x");
    assigned = copy;
    EXPECT_EQ(assigned.GetText(), "database is locked");
}

TEST(SQLiteException, ReportErrorShowsTheTextWithTheGivenStyle) {
    CScopedMessageRecorder recorder;
    const CSQLiteException e(19, "PRIMARY KEY must be unique");
    e.ReportError(MB_ICONSTOP);
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].text, "PRIMARY KEY must be unique");
    EXPECT_EQ(recorder.Messages()[0].flags, 16u);
    EXPECT_EQ(recorder.Messages()[0].caption, "Tresorix Pro");
}
