#include "cli/JsonWriter.h"

#include "tools/Utf8Text.h"

#include <cstdio>
#include <string>

void CJsonWriter::Indent() {
    m_out << '\n';
    for (std::size_t i = 0; i < m_levels.size(); ++i)
        m_out << ' ';
}

void CJsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    LEVEL& level = m_levels.back();
    if (level.count++ > 0)
        m_out << ',';
    Indent();
}

void CJsonWriter::Key(std::string_view key) {
    BeforeValue();
    Quoted(DecodeText(key));
    m_out << ": ";
    m_afterKey = true;
}

void CJsonWriter::BeginObject() {
    BeforeValue();
    m_out << '{';
    m_levels.push_back({false, 0});
}

void CJsonWriter::BeginArray() {
    BeforeValue();
    m_out << '[';
    m_levels.push_back({true, 0});
}

void CJsonWriter::Close(char bracket) {
    const bool empty = m_levels.back().count == 0;
    m_levels.pop_back();
    if (!empty)
        Indent();
    m_out << bracket;
}

void CJsonWriter::EndObject() {
    Close('}');
}

void CJsonWriter::EndArray() {
    Close(']');
}

void CJsonWriter::Quoted(const std::u32string& text) {
    m_out << '"';
    char escape[16];
    for (char32_t c : text) {
        switch (c) {
        case '"':
            m_out << "\\\"";
            continue;
        case '\\':
            m_out << "\\\\";
            continue;
        case '\n':
            m_out << "\\n";
            continue;
        case '\r':
            m_out << "\\r";
            continue;
        case '\t':
            m_out << "\\t";
            continue;
        case '\b':
            m_out << "\\b";
            continue;
        case '\f':
            m_out << "\\f";
            continue;
        default:
            break;
        }
        if (c >= 0x20 && c < 0x80) {
            m_out << static_cast<char>(c);
        } else if (c < 0x10000) {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            m_out << escape;
        } else {
            const unsigned v = static_cast<unsigned>(c) - 0x10000;
            std::snprintf(escape, sizeof escape, "\\u%04x\\u%04x", 0xD800 + (v >> 10),
                          0xDC00 + (v & 0x3FF));
            m_out << escape;
        }
    }
    m_out << '"';
}

void CJsonWriter::String(std::string_view text) {
    BeforeValue();
    Quoted(DecodeText(text));
}

void CJsonWriter::Latin1(std::string_view bytes) {
    BeforeValue();
    std::u32string text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text.push_back(static_cast<unsigned char>(b));
    Quoted(text);
}

void CJsonWriter::Int(std::int64_t value) {
    BeforeValue();
    m_out << value;
}

void CJsonWriter::UInt(std::uint64_t value) {
    BeforeValue();
    m_out << value;
}

void CJsonWriter::Bool(bool value) {
    BeforeValue();
    m_out << (value ? "true" : "false");
}

void CJsonWriter::Null() {
    BeforeValue();
    m_out << "null";
}

void CJsonWriter::Finish() {
    m_out << '\n';
}
