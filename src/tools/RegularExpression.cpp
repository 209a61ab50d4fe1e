#include "tools/RegularExpression.h"

#include "tools/Utf8Text.h"

#include <QChar>

namespace {

bool IsWhiteSpace(char32_t c) {
    return c == U' ' || (c >= U'\t' && c <= U'\r');
}

// Case is folded per character, so a position in the folded text is one in the original.
std::u32string UpperCase(const std::string& text) {
    std::u32string out = DecodeText(text);
    for (char32_t& c : out)
        c = QChar::toUpper(c);
    return out;
}

} // namespace

void CRegularExpression::SetPattern(const std::string& pattern) {
    std::u32string prepared = UpperCase(pattern);
    std::size_t begin = 0;
    std::size_t end = prepared.size();
    while (begin < end && IsWhiteSpace(prepared[begin]))
        ++begin;
    while (end > begin && IsWhiteSpace(prepared[end - 1]))
        --end;
    m_pattern = prepared.substr(begin, end - begin);
    m_tokens.clear();

    const std::u32string& p = m_pattern;
    const std::size_t n = p.size();
    std::u32string word;
    const auto flush = [&] {
        if (!word.empty())
            AddToken(KIND::Word, std::move(word));
        word.clear();
    };
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = p[i];
        if (c == U' ' || c == U'*' || c == U'?') {
            flush();
            AddToken(c == U' ' ? KIND::Blank : c == U'*' ? KIND::Star : KIND::Question);
        } else if (c == U'"' || c == U'\'') {
            // Only a double quote closes a phrase, whichever quote opened it.
            const std::size_t close = p.find(U'"', i + 1);
            if (close != std::u32string::npos) {
                flush();
                if (close > i + 1)
                    AddToken(KIND::Word, p.substr(i + 1, close - i - 1));
                i = close;
            } else if (c == U'\'') {
                // An apostrophe that opens nothing belongs to the word, as in O'Neil.
                word += c;
            }
        } else if (c == U'.' && (i + 1 == n || p[i + 1] == U' ' || p[i + 1] == U'*')) {
            // A full stop ending a word is punctuation of the sentence, not of the word.
        } else {
            word += c;
        }
    }
    flush();
}

void CRegularExpression::AddToken(KIND kind, std::u32string text) {
    TOKEN token{kind, std::move(text), {}};
    const std::u32string& t = token.text;
    token.border.assign(t.size(), 0);
    for (std::size_t i = 1, k = 0; i < t.size(); ++i) {
        while (k > 0 && t[i] != t[k])
            k = token.border[k - 1];
        if (t[i] == t[k])
            ++k;
        token.border[i] = k;
    }
    m_tokens.push_back(std::move(token));
}

std::size_t CRegularExpression::Find(const std::u32string& text, const TOKEN& token,
                                     std::size_t from) {
    const std::u32string& t = token.text;
    if (t.size() > text.size() || from > text.size() - t.size())
        return std::u32string::npos;
    for (std::size_t i = from, k = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != t[k])
            k = token.border[k - 1];
        if (text[i] == t[k])
            ++k;
        if (k == t.size())
            return i + 1 - t.size();
    }
    return std::u32string::npos;
}

bool CRegularExpression::MatchAlternative(const std::u32string& text, std::size_t first,
                                          std::size_t last) const {
    std::size_t position = 0;
    for (std::size_t k = first; k < last; ++k) {
        const TOKEN& token = m_tokens[k];
        switch (token.kind) {
        case KIND::Question:
            if (k + 1 == last) {
                if (position + 1 != text.size())
                    return false;
            } else {
                ++position;
            }
            break;
        case KIND::Star:
        case KIND::Blank:
            break;
        case KIND::Word: {
            if (token.text.empty())
                break;
            const std::size_t found = Find(text, token, position);
            if (found == std::u32string::npos)
                return false;
            position = found + token.text.size();
            break;
        }
        }
    }
    return true;
}

bool CRegularExpression::Match(const std::string& text) const {
    const std::u32string upper = UpperCase(text);
    bool anyAlternative = false;
    for (std::size_t first = 0; first <= m_tokens.size();) {
        std::size_t last = first;
        while (last < m_tokens.size() && m_tokens[last].kind != KIND::Blank)
            ++last;
        if (last > first) {
            anyAlternative = true;
            if (MatchAlternative(upper, first, last))
                return true;
        }
        first = last + 1;
    }
    return !anyAlternative;
}

std::string CRegularExpression::GetPattern() const {
    return EncodeUtf8(m_pattern);
}
