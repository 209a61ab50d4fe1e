#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

// Writes JSON in document order, one value per line with one blank of indent per level, and
// every character above ASCII as a \u escape. That is the layout of the vault manifests, so
// a dump can be compared with one line by line.
class CJsonWriter {
public:
    explicit CJsonWriter(std::ostream& out) : m_out(out) {}
    CJsonWriter(const CJsonWriter&) = delete;
    CJsonWriter& operator=(const CJsonWriter&) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The key of the next value inside an object.
    void Key(std::string_view key);

    // Text in UTF-8; bytes that are not valid UTF-8 are read as Windows-1252.
    void String(std::string_view text);
    // Every byte as the character of the same number (the "latin-1 view" of the bytes).
    void Latin1(std::string_view bytes);
    void Int(std::int64_t value);
    void UInt(std::uint64_t value);
    void Bool(bool value);
    void Null();

    // Key and value in one call.
    void Field(std::string_view key, std::string_view text) {
        Key(key);
        String(text);
    }
    void Field(std::string_view key, const char* text) {
        Key(key);
        String(text);
    }
    void Field(std::string_view key, std::int64_t value) {
        Key(key);
        Int(value);
    }
    void Field(std::string_view key, int value) {
        Key(key);
        Int(value);
    }
    void Field(std::string_view key, bool value) {
        Key(key);
        Bool(value);
    }

    // Ends the document with a line feed.
    void Finish();

private:
    struct LEVEL {
        bool array;
        int count;
    };

    void BeforeValue();
    void Close(char bracket);
    void Indent();
    void Quoted(const std::u32string& text);

    std::ostream& m_out;
    std::vector<LEVEL> m_levels;
    bool m_afterKey = false;
};
