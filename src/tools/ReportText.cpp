#include "tools/ReportText.h"

#include "tools/Utf8Text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsNameChar(char c, bool first) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
        return true;
    return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
}

} // namespace

std::string ToMarkupUtf8(std::string_view bytes) {
    bool plain = true;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b < 0x20 && b != '\t' && b != '\n' && b != '\r')) {
            plain = false;
            break;
        }
    }
    if (plain)
        return std::string(bytes);
    std::u32string text = DecodeText(bytes);
    for (char32_t& c : text) {
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF)
            c = kReplacement;
    }
    return EncodeUtf8(text);
}

std::string EscapeMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string MarkupText(std::string_view bytes) {
    return EscapeMarkup(ToMarkupUtf8(bytes));
}

std::string XmlElementName(std::string_view title) {
    std::string name;
    for (char c : title)
        name += IsNameChar(c, name.empty()) ? c : '_';
    if (name.empty())
        name.push_back('_');
    return name;
}

std::string FillTemplate(std::string_view text,
                         const std::vector<std::pair<std::string_view, std::string>>& values) {
    std::string out;
    out.reserve(text.size() + 256);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t mark = text.find('%', pos);
        if (mark == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, mark - pos));
        bool replaced = false;
        for (const auto& [placeholder, value] : values) {
            if (text.substr(mark, placeholder.size()) == placeholder) {
                out += value;
                pos = mark + placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += '%';
            pos = mark + 1;
        }
    }
    return out;
}
