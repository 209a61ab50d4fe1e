#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sqlite2/Keys.h"
#include "sqlite2/Record.h"

using namespace sqlite2;

namespace {

std::string Hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string r;
    for (unsigned char c : s) {
        if (!r.empty())
            r += ' ';
        r += d[c >> 4];
        r += d[c & 15];
    }
    return r;
}

std::string Sortable(const char* text) {
    std::string out;
    AppendSortableNumber(ToDouble(text), out);
    return out;
}

TEST(RowidKey, SignFlippedBigEndian) {
    EXPECT_EQ(Hex(RowidKey(1)), "80 00 00 01");
    EXPECT_EQ(Hex(RowidKey(870)), "80 00 03 66");
    EXPECT_EQ(Hex(RowidKey(0)), "80 00 00 00");
    EXPECT_EQ(Hex(RowidKey(-5)), "7f ff ff fb");
    EXPECT_EQ(Hex(RowidKey(2147483647)), "ff ff ff ff");
    for (int32_t v : {1, -1, 0, 870, -2147483647 - 1, 2147483647}) {
        std::string k = RowidKey(v);
        EXPECT_EQ(GetRowidKey(reinterpret_cast<const unsigned char*>(k.data())), v);
    }
    EXPECT_LT(RowidKey(-5), RowidKey(0));
    EXPECT_LT(RowidKey(9), RowidKey(10));
}

TEST(Record, WorkedExamples) {
    std::vector<Value> header{std::nullopt, "alice", "1", "my pet's name", "HDR-PAYLOAD"};
    EXPECT_EQ(Hex(EncodeRecord(header).substr(0, 6)), "06 06 0c 0e 1c 28");
    EXPECT_EQ(EncodeRecord(header).size(), 40u);
    EXPECT_EQ(Hex(EncodeRecord({std::nullopt, "0", "1", "ROOT"})),
              "05 05 07 09 0e 30 00 31 00 52 4f 4f 54 00");
    EXPECT_EQ(Hex(EncodeRecord({std::nullopt, "0", "1", std::nullopt})),
              "05 05 07 09 09 30 00 31 00");
    EXPECT_EQ(Hex(EncodeRecord({"", std::nullopt})), "03 04 04 00");
}

TEST(Record, OffsetWidthFollowsSize) {
    for (size_t len : {200u, 245u, 246u, 250u, 65000u, 65520u, 65530u, 70000u, 1048556u}) {
        std::vector<Value> row{std::nullopt, "1", "2", std::string(len, 'x')};
        std::string rec = EncodeRecord(row);
        EXPECT_EQ(rec.size(), RecordSize(row));
        size_t w = static_cast<size_t>(OffsetWidth(rec.size()));
        EXPECT_EQ(rec.size(), 4 + len + 1 + 5 * w) << len;
        std::vector<Value> back;
        ASSERT_TRUE(DecodeRecord(rec, 4, back)) << len;
        EXPECT_EQ(back, row);
    }
    // The largest DATA of a TRESORIX_DATA row with one-digit ID_PARENT and PART.
    std::vector<Value> limit{std::nullopt, "1", "1", std::string(1048556, 'x')};
    EXPECT_EQ(RecordSize(limit), kMaxRecordSize);
    limit[3]->push_back('x');
    EXPECT_GT(RecordSize(limit), kMaxRecordSize);
}

TEST(Record, BadOffsetsAreRejected) {
    std::vector<Value> v;
    EXPECT_FALSE(DecodeRecord(std::string("\x05\x04\x07\x09\x09"
                                          "0\0"
                                          "1\0",
                                          9),
                              4, v));
    EXPECT_FALSE(DecodeRecord(std::string("\x05\x05\x07\x09\x20"
                                          "0\0"
                                          "1\0",
                                          9),
                              4, v));
    EXPECT_FALSE(DecodeRecord(std::string("\x05\x05", 2), 4, v));
    ASSERT_TRUE(DecodeRecord(std::string(), 4, v));
    EXPECT_EQ(v, std::vector<Value>(4));
}

TEST(Keys, NumberShape) {
    for (const char* yes : {"7", "-1", "007", "+5", "1.5", "1e10", "1E-3", "-0", "2e+1"})
        EXPECT_TRUE(IsNumber(yes)) << yes;
    for (const char* no : {"1.", ".5", " 5", "5 ", "abc", "", "0x10", "1e", "+", "1.5.1", "--1"})
        EXPECT_FALSE(IsNumber(no)) << no;
}

TEST(Keys, SortableEncodingMatchesTheEngine) {
    const char* table[][2] = {
        {"-2", "-F~U"},
        {"-1", "-F~V"},
        {"-0.5", "-F~VW"},
        {"0", "000W"},
        {"-0", "000W"},
        {"0.001", "0F~a69Dql6g"},
        {"0.5", "0G1WW"},
        {"1", "0G1X"},
        {"1.5", "0G1XW"},
        {"2", "0G1Y"},
        {"+5", "0G1b"},
        {"007", "0G1d"},
        {"9", "0G1f"},
        {"10", "0G1g"},
        {"11", "0G1h"},
        {"63", "0G2W~"},
        {"64", "0G2X"},
        {"100", "0G2Xa"},
        {"2147483647", "0G6X~~~~~"},
        {"1e10", "0G6fK2|G"},
        {"1e300", "0IdXVaF8W0TQ"},
        {"1e400", "0~~~~~~~~~~~~"},
    };
    for (auto& row : table)
        EXPECT_EQ(Sortable(row[0]), row[1]) << row[0];
}

TEST(Keys, EncodingOrderEqualsNumericOrder) {
    std::vector<double> vals{-1e300, -65536, -64, -63.5, -2, -1, -0.5, -1e-9, 0,   1e-9,
                             0.25,   0.5,    1,   2,     9,  10, 63,   64,    1e6, 1e300};
    for (size_t i = 1; i < vals.size(); ++i) {
        std::string a, b;
        AppendSortableNumber(vals[i - 1], a);
        AppendSortableNumber(vals[i], b);
        EXPECT_LT(a, b) << vals[i - 1] << " vs " << vals[i];
    }
}

TEST(Keys, IndexFields) {
    std::string key;
    AppendIndexField(std::nullopt, true, key);
    AppendIndexField(Value("1"), true, key);
    AppendIndexField(Value("123"), false, key);
    AppendIndexField(Value(" 5"), true, key);
    EXPECT_EQ(key, std::string("a\0b0G1X\0c123\0c 5\0", 17));
    // The automatic index entry of rowid 1 (page 3 of the empty schema).
    std::string auto1;
    AppendIndexField(Value("1"), true, auto1);
    auto1 += RowidKey(1);
    EXPECT_EQ(Hex(auto1), "62 30 47 31 58 00 80 00 00 01");
}

TEST(Keys, ComparisonsFollowTypeClasses) {
    EXPECT_EQ(CompareValues("05", true, "5", false), 0);
    EXPECT_EQ(CompareValues("5.0", false, "5", true), 0);
    EXPECT_NE(CompareValues("05", false, "5", false), 0);
    EXPECT_LT(CompareValues("9", true, "10", true), 0);
    EXPECT_LT(CompareValues("10", false, "9", false), 0);
    EXPECT_LT(CompareNumeric("1e9", "abc"), 0);
    EXPECT_GT(CompareNumeric(" 5", "5"), 0);
    EXPECT_LT(CompareForSort(std::nullopt, Value("-1"), true), 0);
    EXPECT_EQ(CompareForSort(Value("1e1"), Value("10"), true), 0);
    int32_t r = 0;
    EXPECT_TRUE(ToRowid("13.0", r));
    EXPECT_EQ(r, 13);
    EXPECT_TRUE(ToRowid("12", r));
    EXPECT_EQ(r, 12);
    EXPECT_FALSE(ToRowid("12.5", r));
    EXPECT_FALSE(ToRowid("2147483648", r));
    EXPECT_FALSE(ToRowid(" 12", r));
}

} // namespace
