#include "sqlite2/Parser.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "sqlite2/Tokenizer.h"

namespace sqlite2 {
namespace {

constexpr std::string_view kReserved[] = {
    "all",         "and",        "as",         "between", "by",      "case",   "check",
    "collate",     "commit",     "constraint", "create",  "default", "delete", "distinct",
    "drop",        "else",       "except",     "from",    "group",   "having", "in",
    "index",       "insert",     "intersect",  "into",    "is",      "isnull", "join",
    "limit",       "not",        "notnull",    "null",    "on",      "or",     "order",
    "primary",     "references", "rollback",   "select",  "set",     "table",  "then",
    "transaction", "union",      "unique",     "update",  "using",   "values", "when",
    "where",
};

struct SyntaxError {};

class Parser {
public:
    Parser(std::string_view sql, size_t start) : m_sql(sql), m_toks(Tokenize(sql, start, true)) {}

    ParseResult Run() {
        ParseResult r;
        try {
            if (Peek().type == Tok::End) {
                r.tail = Peek().pos;
                return r;
            }
            auto st = std::make_unique<Statement>();
            ParseStatementBody(*st);
            if (Peek().type == Tok::Semi)
                Advance();
            else if (Peek().type != Tok::End)
                Fail();
            r.tail = Peek().pos;
            r.stmt = std::move(st);
        } catch (const SyntaxError&) {
            r.rc = 1;
            r.err = m_err;
        }
        return r;
    }

private:
    const Token& Peek(size_t ahead = 0) const {
        size_t i = m_i + ahead;
        return i < m_toks.size() ? m_toks[i] : m_toks.back();
    }
    std::string_view Text(const Token& t) const { return t.Text(m_sql); }
    const Token& Advance() {
        const Token& t = m_toks[m_i];
        if (m_i + 1 < m_toks.size())
            ++m_i;
        return t;
    }

    [[noreturn]] void Fail() {
        const Token& t = Peek();
        if (t.type == Tok::Illegal) {
            m_err = "unrecognized token: \"" + std::string(Text(t)) + "\"";
        } else if (t.type == Tok::End) {
            std::string_view last = m_i > 0 ? Text(m_toks[m_i - 1]) : std::string_view();
            m_err = "near \"" + std::string(last) + "\": syntax error";
        } else {
            m_err = "near \"" + std::string(Text(t)) + "\": syntax error";
        }
        throw SyntaxError();
    }

    bool IsKw(const Token& t, const char* kw) const {
        return t.type == Tok::Id && EqualsNoCase(Text(t), kw);
    }
    bool TryKw(const char* kw) {
        if (IsKw(Peek(), kw)) {
            Advance();
            return true;
        }
        return false;
    }
    void ExpectKw(const char* kw) {
        if (!TryKw(kw))
            Fail();
    }
    void Expect(Tok type) {
        if (Peek().type != type)
            Fail();
        Advance();
    }

    bool IsReserved(const Token& t) const {
        if (t.type != Tok::Id || t.len < 2 || t.len > 11)
            return false;
        std::string_view text = Text(t);
        for (std::string_view kw : kReserved)
            if (kw.size() == text.size() && EqualsNoCase(text, kw))
                return true;
        return false;
    }
    // Identifier: a non-reserved word, a [bracketed] name, or a quoted name.
    std::string Name() {
        const Token& t = Peek();
        if ((t.type == Tok::Id && !IsReserved(t)) || t.type == Tok::DqString ||
            t.type == Tok::String) {
            Advance();
            return Unquote(Text(t));
        }
        Fail();
    }
    bool AtName() const {
        const Token& t = Peek();
        return (t.type == Tok::Id && !IsReserved(t)) || t.type == Tok::DqString;
    }

    std::string Span(size_t fromTok, size_t toTok) const {
        size_t a = m_toks[fromTok].pos;
        size_t b = m_toks[toTok - 1].pos + m_toks[toTok - 1].len;
        std::string raw(m_sql.substr(a, b - a)), out;
        bool space = false;
        for (char c : raw) {
            bool ws = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
            if (ws) {
                if (!space)
                    out += ' ';
                space = true;
            } else {
                out += c;
                space = false;
            }
        }
        return out;
    }

    void ParseStatementBody(Statement& st) {
        const Token& t = Peek();
        if (IsKw(t, "select")) {
            st.kind = Statement::Kind::Select;
            st.select = ParseSelect();
        } else if (IsKw(t, "insert")) {
            ParseInsert(st);
        } else if (IsKw(t, "update")) {
            ParseUpdate(st);
        } else if (IsKw(t, "delete")) {
            Advance();
            ExpectKw("from");
            st.kind = Statement::Kind::Delete;
            st.table = Name();
            if (TryKw("where"))
                ParseWhere(st.where);
        } else if (IsKw(t, "create")) {
            ParseCreate(st);
        } else if (IsKw(t, "drop")) {
            Advance();
            if (TryKw("table"))
                st.kind = Statement::Kind::DropTable;
            else if (TryKw("index"))
                st.kind = Statement::Kind::DropIndex;
            else
                Fail();
            st.table = Name();
        } else if (IsKw(t, "begin")) {
            Advance();
            st.kind = Statement::Kind::Begin;
            if (TryKw("transaction") && AtName() && !IsKw(Peek(), "on"))
                Advance();
            if (TryKw("on")) {
                ExpectKw("conflict");
                st.onConflict = ParseConflictAction();
            }
        } else if (IsKw(t, "commit") || IsKw(t, "end")) {
            Advance();
            st.kind = Statement::Kind::Commit;
            if (TryKw("transaction") && AtName())
                Advance();
        } else if (IsKw(t, "rollback")) {
            Advance();
            st.kind = Statement::Kind::Rollback;
            if (TryKw("transaction") && AtName())
                Advance();
        } else if (IsKw(t, "vacuum")) {
            Advance();
            st.kind = Statement::Kind::Vacuum;
            if (AtName())
                st.table = Name();
        } else if (IsKw(t, "pragma")) {
            Advance();
            st.kind = Statement::Kind::Pragma;
            st.pragma = Lower(Name());
            if (Peek().type == Tok::Eq) {
                Advance();
                ParseOperand(false);
            } else if (Peek().type == Tok::LParen) {
                Advance();
                ParseOperand(false);
                Expect(Tok::RParen);
            }
        } else {
            Fail();
        }
    }

    Conflict ParseConflictAction() {
        if (TryKw("rollback"))
            return Conflict::Rollback;
        if (TryKw("abort"))
            return Conflict::Abort;
        if (TryKw("fail"))
            return Conflict::Fail;
        if (TryKw("ignore"))
            return Conflict::Ignore;
        if (TryKw("replace"))
            return Conflict::Replace;
        Fail();
    }

    std::shared_ptr<SelectStmt> ParseSelect() {
        // Subqueries nest through recursion; a bound keeps hostile text from exhausting the stack.
        if (++m_depth > kMaxDepth)
            Fail();
        ExpectKw("select");
        auto sel = std::make_shared<SelectStmt>();
        if (!TryKw("all"))
            TryKw("distinct");
        if (Peek().type == Tok::Star) {
            Advance();
            sel->star = true;
        } else {
            do {
                sel->columns.push_back(ParseResultColumn());
            } while (Peek().type == Tok::Comma && (Advance(), true));
        }
        ExpectKw("from");
        sel->table = Name();
        if (TryKw("where"))
            ParseWhere(sel->where);
        if (TryKw("order")) {
            ExpectKw("by");
            sel->hasOrder = true;
            sel->orderBy = ParseOperand(false);
            if (TryKw("desc"))
                sel->desc = true;
            else
                TryKw("asc");
        }
        --m_depth;
        return sel;
    }

    Expr ParseResultColumn() {
        size_t from = m_i;
        if (IsKw(Peek(), "count") && Peek(1).type == Tok::LParen) {
            Advance();
            Advance();
            Expect(Tok::Star);
            Expect(Tok::RParen);
            Expr e;
            e.kind = Expr::Kind::CountStar;
            e.span = Span(from, m_i);
            return e;
        }
        Expr e = ParseOperand(false);
        if (e.kind == Expr::Kind::Subquery)
            Fail();
        e.span = Span(from, m_i);
        return e;
    }

    void ParseWhere(std::vector<Term>& where) {
        do {
            Term t;
            t.lhs = ParseOperand(true);
            switch (Peek().type) {
            case Tok::Eq:
                t.op = CmpOp::Eq;
                break;
            case Tok::Ne:
                t.op = CmpOp::Ne;
                break;
            case Tok::Lt:
                t.op = CmpOp::Lt;
                break;
            case Tok::Le:
                t.op = CmpOp::Le;
                break;
            case Tok::Gt:
                t.op = CmpOp::Gt;
                break;
            case Tok::Ge:
                t.op = CmpOp::Ge;
                break;
            default:
                Fail();
            }
            Advance();
            t.rhs = ParseOperand(true);
            where.push_back(std::move(t));
        } while (TryKw("and"));
    }

    // A literal, a column, NULL, a signed number or (when allowed) a scalar subquery.
    Expr ParseOperand(bool allowSubquery) {
        Expr e;
        const Token& t = Peek();
        e.tokenPos = t.pos;
        switch (t.type) {
        case Tok::Integer:
        case Tok::Float:
            e.kind = Expr::Kind::Literal;
            e.numeric = true;
            e.text = std::string(Text(Advance()));
            return e;
        case Tok::String:
            e.kind = Expr::Kind::Literal;
            e.text = Unquote(Text(Advance()));
            return e;
        case Tok::DqString:
            e.kind = Expr::Kind::Column;
            e.dquoted = true;
            e.text = Unquote(Text(Advance()));
            return e;
        case Tok::Minus:
        case Tok::Plus: {
            bool neg = t.type == Tok::Minus;
            Advance();
            const Token& n = Peek();
            if (n.type != Tok::Integer && n.type != Tok::Float)
                Fail();
            e.kind = Expr::Kind::Literal;
            e.numeric = true;
            e.text = Negate(std::string(Text(Advance())), neg, n.type == Tok::Integer);
            return e;
        }
        case Tok::LParen:
            if (allowSubquery && IsKw(Peek(1), "select")) {
                Advance();
                e.kind = Expr::Kind::Subquery;
                e.sub = ParseSelect();
                if (e.sub->star || e.sub->columns.size() != 1)
                    Fail();
                Expect(Tok::RParen);
                return e;
            }
            Fail();
        case Tok::Id:
            if (IsKw(t, "null")) {
                Advance();
                e.kind = Expr::Kind::Null;
                return e;
            }
            if (IsReserved(t))
                Fail();
            e.kind = Expr::Kind::Column;
            e.text = Unquote(Text(Advance()));
            if (Peek().type == Tok::Dot &&
                (Peek(1).type == Tok::Id || Peek(1).type == Tok::DqString)) {
                // table.column: the table must be the statement's own, checked on resolve
                Advance();
                e.text = Unquote(Text(Advance()));
            }
            return e;
        default:
            Fail();
        }
    }

    // Unary minus on a literal computes the value; unary plus keeps the text.
    static std::string Negate(const std::string& text, bool neg, bool integer) {
        if (!neg)
            return text;
        if (integer) {
            size_t i = 0;
            while (i + 1 < text.size() && text[i] == '0')
                ++i;
            std::string digits = text.substr(i);
            if (digits.size() <= 10) {
                long long v = strtoll(digits.c_str(), nullptr, 10);
                if (v <= 2147483648LL)
                    return v == 0 ? "0" : "-" + digits;
            }
        }
        double d = -strtod(text.c_str(), nullptr);
        char buf[64];
        snprintf(buf, sizeof buf, "%.15g", d);
        return buf;
    }

    void ParseInsert(Statement& st) {
        Advance();
        st.kind = Statement::Kind::Insert;
        if (TryKw("or"))
            st.onConflict = ParseConflictAction();
        ExpectKw("into");
        st.table = Name();
        if (Peek().type == Tok::LParen) {
            Advance();
            do {
                st.columns.push_back(Name());
            } while (Peek().type == Tok::Comma && (Advance(), true));
            Expect(Tok::RParen);
        }
        ExpectKw("values");
        Expect(Tok::LParen);
        do {
            Expr v = ParseOperand(false);
            if (v.kind == Expr::Kind::Column && !v.dquoted)
                Fail();
            if (v.kind == Expr::Kind::Column) {
                v.kind = Expr::Kind::Literal; // no columns in scope: "..." is a string
                v.numeric = false;
            }
            st.values.push_back(std::move(v));
        } while (Peek().type == Tok::Comma && (Advance(), true));
        Expect(Tok::RParen);
    }

    void ParseUpdate(Statement& st) {
        Advance();
        st.kind = Statement::Kind::Update;
        if (TryKw("or"))
            st.onConflict = ParseConflictAction();
        st.table = Name();
        ExpectKw("set");
        do {
            std::string col = Name();
            Expect(Tok::Eq);
            st.sets.emplace_back(col, ParseOperand(false));
        } while (Peek().type == Tok::Comma && (Advance(), true));
        if (TryKw("where"))
            ParseWhere(st.where);
    }

    void ParseCreate(Statement& st) {
        size_t from = m_i;
        Advance();
        if (TryKw("temp") || TryKw("temporary"))
            Fail(); // temporary tables are not supported
        if (TryKw("unique")) {
            st.unique = true;
            if (!IsKw(Peek(), "index"))
                Fail();
        }
        if (TryKw("table")) {
            st.kind = Statement::Kind::CreateTable;
            st.table = Name();
            Expect(Tok::LParen);
            do {
                if (IsKw(Peek(), "primary") || IsKw(Peek(), "unique") || IsKw(Peek(), "constraint"))
                    ParseTableConstraint(st);
                else
                    st.columnDefs.push_back(ParseColumnDef());
            } while (Peek().type == Tok::Comma && (Advance(), true));
            Expect(Tok::RParen);
        } else if (TryKw("index")) {
            st.kind = Statement::Kind::CreateIndex;
            st.indexName = Name();
            ExpectKw("on");
            st.table = Name();
            Expect(Tok::LParen);
            do {
                st.columns.push_back(Name());
                if (!TryKw("asc"))
                    TryKw("desc");
            } while (Peek().type == Tok::Comma && (Advance(), true));
            Expect(Tok::RParen);
            if (TryKw("on")) {
                ExpectKw("conflict");
                ParseConflictAction();
            }
        } else {
            Fail();
        }
        size_t a = m_toks[from].pos;
        size_t b = m_toks[m_i - 1].pos + m_toks[m_i - 1].len;
        st.sql = std::string(m_sql.substr(a, b - a));
    }

    void SkipConflictClause() {
        if (IsKw(Peek(), "on") && IsKw(Peek(1), "conflict")) {
            Advance();
            Advance();
            ParseConflictAction();
        }
    }

    std::vector<std::string> NameList() {
        std::vector<std::string> r;
        Expect(Tok::LParen);
        do {
            r.push_back(Name());
            if (!TryKw("asc"))
                TryKw("desc");
        } while (Peek().type == Tok::Comma && (Advance(), true));
        Expect(Tok::RParen);
        return r;
    }

    void ParseTableConstraint(Statement& st) {
        if (TryKw("constraint"))
            Name();
        TableConstraint c;
        if (TryKw("primary")) {
            ExpectKw("key");
            c.primaryKey = true;
        } else {
            ExpectKw("unique");
        }
        c.columns = NameList();
        SkipConflictClause();
        st.constraints.push_back(std::move(c));
    }

    ColumnDef ParseColumnDef() {
        ColumnDef c;
        c.name = Name();
        size_t typeFrom = m_i;
        while (Peek().type == Tok::Id && !IsReserved(Peek()))
            Advance();
        if (m_i > typeFrom && Peek().type == Tok::LParen) {
            Advance();
            for (int i = 0; i < 2; ++i) {
                if (Peek().type == Tok::Plus || Peek().type == Tok::Minus)
                    Advance();
                if (Peek().type != Tok::Integer && Peek().type != Tok::Float)
                    Fail();
                Advance();
                if (Peek().type != Tok::Comma)
                    break;
                Advance();
            }
            Expect(Tok::RParen);
        }
        if (m_i > typeFrom) {
            size_t a = m_toks[typeFrom].pos;
            size_t b = m_toks[m_i - 1].pos + m_toks[m_i - 1].len;
            c.type = std::string(m_sql.substr(a, b - a));
        }
        for (;;) {
            if (TryKw("constraint")) {
                Name();
                continue;
            }
            if (TryKw("not")) {
                ExpectKw("null");
                c.notNull = true;
                SkipConflictClause();
            } else if (TryKw("null")) {
            } else if (TryKw("primary")) {
                ExpectKw("key");
                if (!TryKw("asc"))
                    TryKw("desc");
                c.primaryKey = true;
                SkipConflictClause();
            } else if (TryKw("unique")) {
                c.unique = true;
                SkipConflictClause();
            } else if (TryKw("default")) {
                c.hasDefault = true;
                c.defaultValue = ParseOperand(false);
                if (c.defaultValue.kind == Expr::Kind::Column) {
                    c.defaultValue.kind = Expr::Kind::Literal;
                    c.defaultValue.numeric = false;
                }
            } else if (TryKw("collate")) {
                Name();
            } else {
                break;
            }
        }
        return c;
    }

    std::string_view m_sql;
    std::vector<Token> m_toks;
    size_t m_i = 0;
    int m_depth = 0;
    std::string m_err;
    static constexpr int kMaxDepth = 100;
};

} // namespace

ParseResult ParseStatement(std::string_view sql, size_t start) {
    return Parser(sql, start).Run();
}

} // namespace sqlite2
