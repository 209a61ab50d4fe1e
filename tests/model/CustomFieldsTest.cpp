#include "model/KivCustomFields.h"
#include "platform/MemFile.h"

#include <gtest/gtest.h>

namespace {

std::string Stored(CKivCustomFields& fields) {
    CMemFile file;
    EXPECT_TRUE(fields.Serialize(file, true));
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

CKivCustomFields Read(const std::string& text) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(text.size() >> (8 * i));
    bytes += text;
    CMemFile file(bytes.data(), bytes.size());
    CKivCustomFields fields;
    EXPECT_TRUE(fields.Serialize(file, false));
    return fields;
}

} // namespace

TEST(CustomFields, EmptyListIsAZeroLength) {
    CKivCustomFields fields;
    EXPECT_EQ(Stored(fields), std::string(4, '\0'));
    EXPECT_EQ(Read("").GetCount(), 0);
}

TEST(CustomFields, StoredLineFormat) {
    CKivCustomFields fields;
    fields.AddNew("N", "V", 1);
    fields.AddNew("Phone", "+1 555", 0);
    EXPECT_EQ(fields.ToText(), "0001\tN\tV\n0000\tPhone\t+1 555\n");
    EXPECT_EQ(Stored(fields), std::string("\x1b\0\0\0", 4) + fields.ToText());
}

TEST(CustomFields, ReadingSplitsLinesAndFields) {
    CKivCustomFields fields = Read("0001\tSecret\tvalue\twith tab\n0000\t\n0000\tOnly name\n");
    ASSERT_EQ(fields.GetCount(), 3);
    EXPECT_EQ(fields.GetAt(0).masked, 1);
    EXPECT_EQ(fields.GetAt(0).name, "Secret");
    EXPECT_EQ(fields.GetAt(0).value, "value\twith tab");
    // Five characters: an entry with empty name and value.
    EXPECT_EQ(fields.GetAt(1).name, "");
    EXPECT_EQ(fields.GetAt(1).value, "");
    EXPECT_EQ(fields.GetAt(2).name, "Only name");
    EXPECT_EQ(fields.GetAt(2).value, "");
    EXPECT_EQ(fields.GetAt(2).id, 3);
}

TEST(CustomFields, ReadingStopsAtTheFirstEmptyLineAndTakesAnUnterminatedLast) {
    CKivCustomFields fields = Read("0000\ta\t1\n\n0000\tb\t2\n");
    ASSERT_EQ(fields.GetCount(), 1);
    CKivCustomFields tail = Read("0000\ta\t1\n0001\tb\t2");
    ASSERT_EQ(tail.GetCount(), 2);
    EXPECT_EQ(tail.GetAt(1).value, "2");
    EXPECT_EQ(tail.GetAt(1).masked, 1);
}

TEST(CustomFields, OddMaskTextsReadAsTheirLeadingNumber) {
    CKivCustomFields fields = Read("x\n99999999999999999999\n-0001\tn\tv\n");
    ASSERT_EQ(fields.GetCount(), 3);
    EXPECT_EQ(fields.GetAt(0).masked, 0);
    EXPECT_EQ(fields.GetAt(1).masked, 2147483647);
    EXPECT_EQ(fields.GetAt(2).masked, -1);
}

TEST(CustomFields, RoundTripKeepsOrderAndBytes) {
    CKivCustomFields fields;
    fields.AddNew("Caf\xe9", "cr\xe8me", 0);
    fields.AddNew("E-mail", "a@b.c", 1);
    fields.AddNew("", "", 0);
    std::string bytes = Stored(fields);
    CMemFile file(bytes.data(), bytes.size());
    CKivCustomFields loaded;
    ASSERT_TRUE(loaded.Serialize(file, false));
    ASSERT_EQ(loaded.GetCount(), 3);
    EXPECT_EQ(loaded.ToText(), fields.ToText());
}

TEST(CustomFields, TruncatedTextIsAStreamError) {
    std::string bytes = std::string("\x40\0\0\0", 4) + "0000\tshort\n";
    CMemFile file(bytes.data(), bytes.size());
    CKivCustomFields fields;
    fields.AddNew("kept", "", 0);
    EXPECT_FALSE(fields.Serialize(file, false));
    EXPECT_EQ(fields.GetCount(), 1);
}

TEST(CustomFields, IdentifiersEditingAndAssign) {
    CKivCustomFields fields;
    int a = fields.AddNew("a", "1", 0);
    int b = fields.AddNew("b", "2", 1);
    int c = fields.AddNew("c", "3", 0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(c, 3);
    fields.MoveUp(a);   // first: nothing
    fields.MoveDown(c); // last: nothing
    fields.MoveUp(c);
    EXPECT_EQ(fields.GetAt(1).name, "c");
    fields.MoveDown(a);
    EXPECT_EQ(fields.ToText(), "0000\tc\t3\n0000\ta\t1\n0001\tb\t2\n");
    ASSERT_NE(fields.Find(b), nullptr);
    EXPECT_EQ(fields.Find(b)->value, "2");
    EXPECT_TRUE(fields.Remove(b));
    EXPECT_FALSE(fields.Remove(b));
    EXPECT_EQ(fields.Find(b), nullptr);
    fields.Clear();
    EXPECT_EQ(fields.GetCount(), 0);
    EXPECT_EQ(fields.AddNew("d", "4", 0), 4) << "Clear keeps the counter";

    CKivCustomFields copy;
    copy.AddNew("x", "y", 0);
    fields.AddNew("e", "5", 1);
    copy.Assign(fields);
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.ToText(), fields.ToText());
    // New identifiers above the copied counter.
    EXPECT_EQ(copy.GetAt(0).id, fields.GetLastId() + 1);
    EXPECT_EQ(copy.GetLastId(), fields.GetLastId() + 2);
}
