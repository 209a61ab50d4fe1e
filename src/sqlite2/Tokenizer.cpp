#include "sqlite2/Tokenizer.h"

#include <cstring>

namespace sqlite2 {
namespace {

bool IsIdStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}
bool IsIdChar(unsigned char c) {
    return IsIdStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Length of the token at z (n bytes left); sets type. 0 length never happens (n > 0).
size_t TokenAt(const unsigned char* z, size_t n, Tok& type, bool& skip) {
    skip = false;
    unsigned char c = z[0];
    auto at = [&](size_t i) -> unsigned char { return i < n ? z[i] : 0; };
    if (IsSpace(c)) {
        size_t i = 1;
        while (i < n && IsSpace(z[i]))
            ++i;
        skip = true;
        return i;
    }
    switch (c) {
    case '-':
        if (at(1) == '-') {
            size_t i = 2;
            while (i < n && z[i] != '\n')
                ++i;
            skip = true;
            return i;
        }
        type = Tok::Minus;
        return 1;
    case '/':
        if (at(1) == '*') {
            size_t i = 2;
            while (i + 1 < n && !(z[i] == '*' && z[i + 1] == '/'))
                ++i;
            skip = true;
            return i + 1 < n ? i + 2 : n;
        }
        type = Tok::Slash;
        return 1;
    case '(':
        type = Tok::LParen;
        return 1;
    case ')':
        type = Tok::RParen;
        return 1;
    case ',':
        type = Tok::Comma;
        return 1;
    case ';':
        type = Tok::Semi;
        return 1;
    case '*':
        type = Tok::Star;
        return 1;
    case '+':
        type = Tok::Plus;
        return 1;
    case '%':
        type = Tok::Rem;
        return 1;
    case '~':
        type = Tok::BitNot;
        return 1;
    case '&':
        type = Tok::BitAnd;
        return 1;
    case '=':
        type = Tok::Eq;
        return at(1) == '=' ? 2 : 1;
    case '<':
        if (at(1) == '=') {
            type = Tok::Le;
            return 2;
        }
        if (at(1) == '>') {
            type = Tok::Ne;
            return 2;
        }
        if (at(1) == '<') {
            type = Tok::LShift;
            return 2;
        }
        type = Tok::Lt;
        return 1;
    case '>':
        if (at(1) == '=') {
            type = Tok::Ge;
            return 2;
        }
        if (at(1) == '>') {
            type = Tok::RShift;
            return 2;
        }
        type = Tok::Gt;
        return 1;
    case '!':
        if (at(1) == '=') {
            type = Tok::Ne;
            return 2;
        }
        type = Tok::Illegal;
        return 1;
    case '|':
        if (at(1) == '|') {
            type = Tok::Concat;
            return 2;
        }
        type = Tok::BitOr;
        return 1;
    case '\'':
    case '"': {
        size_t i = 1;
        while (i < n) {
            const void* q = memchr(z + i, c, n - i);
            if (!q) {
                i = n;
                break;
            }
            i = static_cast<size_t>(static_cast<const unsigned char*>(q) - z);
            if (at(i + 1) == c) {
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        type = c == '\'' ? Tok::String : Tok::DqString;
        return i;
    }
    case '[': {
        size_t i = 1;
        while (i < n && z[i] != ']')
            ++i;
        type = Tok::Id;
        return i < n ? i + 1 : n;
    }
    case '.':
        if (IsDigit(at(1)))
            break;
        type = Tok::Dot;
        return 1;
    default:
        break;
    }
    if (IsDigit(c) || c == '.') {
        size_t i = 0;
        while (i < n && IsDigit(z[i]))
            ++i;
        type = Tok::Integer;
        if (at(i) == '.') {
            ++i;
            while (i < n && IsDigit(z[i]))
                ++i;
            type = Tok::Float;
        }
        if ((at(i) == 'e' || at(i) == 'E') &&
            (IsDigit(at(i + 1)) ||
             ((at(i + 1) == '+' || at(i + 1) == '-') && IsDigit(at(i + 2))))) {
            i += 2;
            while (i < n && IsDigit(z[i]))
                ++i;
            type = Tok::Float;
        }
        return i;
    }
    if (IsIdStart(c)) {
        size_t i = 1;
        while (i < n && IsIdChar(z[i]))
            ++i;
        type = Tok::Id;
        return i;
    }
    type = Tok::Illegal;
    return 1;
}

} // namespace

std::vector<Token> Tokenize(std::string_view sql, size_t start, bool stopAtSemi) {
    std::vector<Token> out;
    const auto* z = reinterpret_cast<const unsigned char*>(sql.data());
    size_t i = start, n = sql.size();
    while (i < n) {
        Tok type = Tok::End;
        bool skip = false;
        size_t len = TokenAt(z + i, n - i, type, skip);
        if (!skip && stopAtSemi && type == Tok::Semi && out.empty())
            skip = true; // empty statements before the first real one
        if (!skip) {
            out.push_back({type, i, len});
            if (type == Tok::Illegal || (stopAtSemi && type == Tok::Semi)) {
                out.push_back({Tok::End, i + len, 0});
                return out;
            }
        }
        i += len;
    }
    out.push_back({Tok::End, n, 0});
    return out;
}

std::string Unquote(std::string_view t) {
    if (t.empty())
        return std::string();
    char q = t[0];
    if (q == '[')
        return std::string(
            t.substr(1, t.size() >= 2 && t.back() == ']' ? t.size() - 2 : t.size() - 1));
    if (q != '\'' && q != '"')
        return std::string(t);
    std::string r;
    size_t end = t.size();
    // An unterminated literal runs to the end of the text.
    bool closed = t.size() >= 2 && t.back() == q;
    if (closed) {
        size_t quotes = 0;
        for (size_t i = t.size() - 1; i > 0 && t[i] == q; --i)
            ++quotes;
        closed = quotes % 2 == 1;
    }
    if (closed)
        --end;
    r.reserve(end);
    size_t i = 1;
    while (i < end) {
        size_t j = t.find(q, i);
        if (j == std::string_view::npos || j >= end) {
            r.append(t.substr(i, end - i));
            break;
        }
        r.append(t.substr(i, j - i + 1));
        i = j + 1;
        if (i < end && t[i] == q)
            ++i;
    }
    return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return r;
}

} // namespace sqlite2
