#include "tools/KivCsvFile.h"

#include "common/Fixtures.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::vector<std::string> Fields(const std::string& line, char separator = ';',
                                bool stripQuotes = false) {
    CKivCsvRow row(separator, stripQuotes, line);
    row.Parse();
    std::vector<std::string> fields;
    for (int i = 0; i < row.GetFieldCount(); ++i)
        fields.push_back(row.GetField(i));
    return fields;
}

using FIELDS = std::vector<std::string>;

// Every row the source still gives, as field lists.
std::vector<FIELDS> ReadAll(CKivCsvFile& file) {
    std::vector<FIELDS> rows;
    while (auto row = file.ReadRow()) {
        FIELDS fields;
        for (int i = 0; i < row->GetFieldCount(); ++i)
            fields.push_back(row->GetField(i));
        rows.push_back(fields);
    }
    return rows;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace

TEST(KivCsvRow, SplitsAtEverySeparator) {
    EXPECT_EQ(Fields("a;b;;c"), (FIELDS{"a", "b", "", "c"}));
    EXPECT_EQ(Fields("a;b;"), (FIELDS{"a", "b", ""}));
    EXPECT_EQ(Fields(";"), (FIELDS{"", ""}));
    EXPECT_EQ(Fields("  a ; b  "), (FIELDS{"  a ", " b  "}));
    EXPECT_EQ(Fields("a,b;c", ','), (FIELDS{"a", "b;c"}));
    EXPECT_EQ(Fields("a\tb", '\t'), (FIELDS{"a", "b"}));
}

TEST(KivCsvRow, BackslashEscapes) {
    EXPECT_EQ(Fields("a\\;b;c"), (FIELDS{"a;b", "c"}));
    EXPECT_EQ(Fields("one\\ntwo;a\\tb"), (FIELDS{"one\ntwo", "a\tb"}));
    EXPECT_EQ(Fields("say \\\"hi\\\""), (FIELDS{"say \"hi\""}));
    // Other backslashes stay as they are.
    EXPECT_EQ(Fields("c:\\dir\\x;\\"), (FIELDS{"c:\\dir\\x", "\\"}));
    EXPECT_EQ(Fields("\\\\n"), (FIELDS{"\\\n"}));
}

TEST(KivCsvRow, QuotesProtectNothing) {
    EXPECT_EQ(Fields("\"x;y\";z"), (FIELDS{"\"x", "y\"", "z"}));
    EXPECT_EQ(Fields("\"x;y\";z", ';', true), (FIELDS{"x", "y", "z"}));
    EXPECT_EQ(Fields("\"\"abc\"\"", ';', true), (FIELDS{"abc"}));
    EXPECT_EQ(Fields("a\"b;\"\"\"", ';', true), (FIELDS{"a\"b", ""}));
    // Escaped quotes at the edge survive the stripping.
    EXPECT_EQ(Fields("\\\"abc\\\"", ';', true), (FIELDS{"\"abc\""}));
    EXPECT_EQ(Fields("\"\\\"abc\\\"\"", ';', true), (FIELDS{"\"abc\""}));
}

TEST(KivCsvRow, TextThatLooksLikeAnInternalMarkStays) {
    EXPECT_EQ(Fields("a&&quote&&b;&&separator&&"), (FIELDS{"a&&quote&&b", "&&separator&&"}));
    // Any character can separate, even one that occurs in such marks.
    EXPECT_EQ(Fields("a\\&b&c", '&'), (FIELDS{"a&b", "c"}));
    EXPECT_EQ(Fields("x\\ey;zez", 'e'), (FIELDS{"xey;z", "z"}));
}

TEST(KivCsvRow, FieldOutsideTheRowIsEmpty) {
    CKivCsvRow row(';', false, "a;b");
    row.Parse();
    EXPECT_EQ(row.GetFieldCount(), 2);
    EXPECT_EQ(row.GetField(-1), "");
    EXPECT_EQ(row.GetField(2), "");
    EXPECT_EQ(row.GetLine(), "a;b");
    // Parsing again gives the same fields, not more.
    row.Parse();
    EXPECT_EQ(row.GetFieldCount(), 2);
}

TEST(KivCsvRow, JoiningThePlainFieldsGivesTheLineBack) {
    std::mt19937 engine(21);
    for (int n = 0; n < 3000; ++n) {
        std::string line(engine() % 60, '\0');
        for (char& c : line)
            c = static_cast<char>(engine());
        const std::vector<std::string> any = Fields(line, ';', n % 2 == 0);
        ASSERT_GE(any.size(), 1u);

        std::erase_if(line, [](char c) { return c == '\\' || c == '"'; });
        const std::vector<std::string> fields = Fields(line);
        std::string joined;
        for (std::size_t i = 0; i < fields.size(); ++i)
            joined += (i ? ";" : "") + fields[i];
        ASSERT_EQ(joined, line);
    }
}

TEST(KivCsvRow, VeryLongLines) {
    std::string line;
    for (int i = 0; i < 200000; ++i)
        line += "field\\;" + std::to_string(i) + ";";
    const std::vector<std::string> fields = Fields(line);
    ASSERT_EQ(fields.size(), 200001u);
    EXPECT_EQ(fields[0], "field;0");
    EXPECT_EQ(fields[199999], "field;199999");
    EXPECT_EQ(fields.back(), "");

    const std::string one(8 << 20, 'q');
    EXPECT_EQ(Fields(one), (FIELDS{one}));
}

TEST(KivCsvFile, StartsIdleWithSemicolonAndNoStripping) {
    CKivCsvFile file;
    EXPECT_EQ(file.GetSeparator(), ';');
    EXPECT_FALSE(file.GetStripQuotes());
    EXPECT_FALSE(file.IsClipboardMode());
    EXPECT_EQ(file.ReadRow(), nullptr);
}

TEST(KivCsvFile, FileLinesEndAtTheFirstEmptyLine) {
    txtest::ScratchDir dir;
    WriteFile(dir / "in.csv", "a;b\r\nc;d\n\ne;f\n");
    CKivCsvFile file;
    ASSERT_TRUE(file.Open((dir / "in.csv").string()));
    EXPECT_FALSE(file.IsClipboardMode());
    EXPECT_EQ(ReadAll(file), (std::vector<FIELDS>{{"a", "b"}, {"c", "d"}}));
    EXPECT_EQ(file.ReadRow(), nullptr);

    // The reader goes over its source several times.
    for (int pass = 0; pass < 3; ++pass) {
        file.Rewind();
        EXPECT_EQ(ReadAll(file).size(), 2u);
    }
    file.Close();
    EXPECT_EQ(file.ReadRow(), nullptr);
}

TEST(KivCsvFile, FileWithoutFinalLineEndAndWithSettings) {
    txtest::ScratchDir dir;
    WriteFile(dir / "in.csv", "\"a\",\"b\"\n\"c\",\"d\"");
    CKivCsvFile file;
    file.SetSeparator(',');
    file.SetStripQuotes(true);
    ASSERT_TRUE(file.Open((dir / "in.csv").string()));
    EXPECT_EQ(ReadAll(file), (std::vector<FIELDS>{{"a", "b"}, {"c", "d"}}));
}

TEST(KivCsvFile, LinesLongerThanTheReadBuffer) {
    txtest::ScratchDir dir;
    const std::string first(300000, 'x');
    const std::string second = std::string(70000, 'y') + "\r";
    WriteFile(dir / "long.csv", first + "\n" + second + "\n" + "z\r\n");
    CKivCsvFile file;
    ASSERT_TRUE(file.Open((dir / "long.csv").string()));
    EXPECT_EQ(ReadAll(file), (std::vector<FIELDS>{{first}, {second.substr(0, 70000)}, {"z"}}));
}

TEST(KivCsvFile, BinaryBytesArePassedThrough) {
    txtest::ScratchDir dir;
    std::string bytes;
    for (int i = 1; i < 256; ++i)
        if (i != '\n' && i != ';' && i != '\\')
            bytes += static_cast<char>(i);
    const std::string withNul = std::string("a\0b", 3);
    WriteFile(dir / "bin.csv", bytes + ";" + withNul + "\n");
    CKivCsvFile file;
    ASSERT_TRUE(file.Open((dir / "bin.csv").string()));
    EXPECT_EQ(ReadAll(file), (std::vector<FIELDS>{{bytes, withNul}}));
}

TEST(KivCsvFile, FileErrorsShowAStopBox) {
    txtest::ScratchDir dir;
    CScopedMessageRecorder recorder;
    CKivCsvFile file;
    const std::string missing = (dir / "missing.csv").string();
    EXPECT_FALSE(file.Open(missing));
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].text, missing + " was not found.");
    EXPECT_EQ(recorder.Messages()[0].flags & 0xF0, unsigned(MB_ICONSTOP));

    EXPECT_FALSE(file.Open(dir.Path().string()));
    EXPECT_FALSE(file.Open((dir / "missing.csv" / "x").string()));
    ASSERT_EQ(recorder.Messages().size(), 3u);
    for (const auto& message : recorder.Messages()) {
        EXPECT_EQ(message.flags & 0xF0, unsigned(MB_ICONSTOP));
        EXPECT_NE(message.text.find(dir.Path().string()), std::string::npos);
    }
    EXPECT_EQ(file.ReadRow(), nullptr);
}

TEST(KivCsvFile, NamedPipeIsRefusedWithoutWaitingForAWriter) {
    txtest::ScratchDir dir;
    const std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CScopedMessageRecorder recorder;
    CKivCsvFile file;
    EXPECT_FALSE(file.Open(fifo));
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].text, fifo + " is not a file that can be read.");
}

TEST(KivCsvFile, ReadErrorEndsTheReading) {
    // A regular file of the kernel whose first read fails.
    CScopedMessageRecorder recorder;
    CKivCsvFile file;
    ASSERT_TRUE(file.Open("/proc/self/mem"));
    EXPECT_EQ(file.ReadRow(), nullptr);
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].flags & 0xF0, unsigned(MB_ICONSTOP));
    EXPECT_NE(recorder.Messages()[0].text.find("/proc/self/mem"), std::string::npos);
    EXPECT_EQ(file.ReadRow(), nullptr);
    EXPECT_EQ(recorder.Messages().size(), 1u);
}

TEST(KivCsvFile, ClipboardLinesKeepTheirCarriageReturn) {
    CScopedMemoryClipboard clipboard;
    clipboard.SetText("a;b\r\nc;d\r\n");
    CKivCsvFile file;
    ASSERT_TRUE(file.OpenClipboard());
    EXPECT_TRUE(file.IsClipboardMode());
    // The text was copied: the clipboard may change while the import runs.
    clipboard.SetText("changed");
    EXPECT_EQ(ReadAll(file), (std::vector<FIELDS>{{"a", "b\r"}, {"c", "d\r"}}));
    file.Rewind();
    EXPECT_EQ(ReadAll(file).size(), 2u);
    file.Close();
    EXPECT_FALSE(file.IsClipboardMode());
    EXPECT_EQ(file.ReadRow(), nullptr);
    EXPECT_EQ(clipboard.Text(), "changed");
}

TEST(KivCsvFile, ClipboardEndsAtTheFirstEmptyLine) {
    CScopedMemoryClipboard clipboard;
    const std::vector<std::pair<std::string, std::vector<FIELDS>>> cases = {
        {"x;y\n\nnever;seen", {{"x", "y"}}},
        {"only", {{"only"}}},
        {"\nrest", {}},
    };
    for (const auto& [text, rows] : cases) {
        clipboard.SetText(text);
        CKivCsvFile file;
        ASSERT_TRUE(file.OpenClipboard());
        EXPECT_EQ(ReadAll(file), rows) << text;
        EXPECT_EQ(file.ReadRow(), nullptr);
    }
}

TEST(KivCsvFile, NoClipboardText) {
    CScopedMessageRecorder recorder;
    CScopedMemoryClipboard clipboard;
    CKivCsvFile file;
    EXPECT_FALSE(file.OpenClipboard());
    clipboard.SetText("");
    EXPECT_FALSE(file.OpenClipboard());
    clipboard.SetText("text");
    clipboard.SetFails(true);
    EXPECT_FALSE(file.OpenClipboard());
    EXPECT_FALSE(file.IsClipboardMode());
    EXPECT_EQ(file.ReadRow(), nullptr);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST(KivCsvFile, SwitchingSources) {
    txtest::ScratchDir dir;
    WriteFile(dir / "in.csv", "file\n");
    CScopedMemoryClipboard clipboard;
    clipboard.SetText("clip\n");
    CKivCsvFile file;
    ASSERT_TRUE(file.Open((dir / "in.csv").string()));
    ASSERT_TRUE(file.OpenClipboard());
    EXPECT_EQ(ReadAll(file), (std::vector<FIELDS>{{"clip"}}));
    ASSERT_TRUE(file.Open((dir / "in.csv").string()));
    EXPECT_FALSE(file.IsClipboardMode());
    EXPECT_EQ(ReadAll(file), (std::vector<FIELDS>{{"file"}}));
}
