#pragma once
// Splits SQL text into tokens; whitespace and comments are dropped.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sqlite2 {

enum class Tok {
    Id,       // identifier or keyword
    String,   // '...'
    DqString, // "..." (a column if one has the name, else a string)
    Integer,
    Float,
    LParen,
    RParen,
    Comma,
    Semi,
    Dot,
    Star,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Plus,
    Minus,
    Slash,
    Rem,
    Concat,
    BitAnd,
    BitOr,
    BitNot,
    LShift,
    RShift,
    Illegal,
    End,
};

struct Token {
    Tok type;
    size_t pos; // offset of the first byte in the SQL text
    size_t len;
    std::string_view Text(std::string_view sql) const { return sql.substr(pos, len); }
};

// Tokenizes from start. The last token is always End. Stops after the first Illegal token
// and, when stopAtSemi, after the first ';' (so one statement is read at a time).
std::vector<Token> Tokenize(std::string_view sql, size_t start = 0, bool stopAtSemi = false);

// The value of a quoted token: quotes removed and doubled quotes collapsed.
std::string Unquote(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Lower(std::string_view s);

} // namespace sqlite2
