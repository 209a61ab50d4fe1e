#pragma once
// Reading rows: the lazy record reader, WHERE evaluation and the access plans
// (rowid lookup, index equality scan, full scan).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sqlite2/Ast.h"
#include "sqlite2/Record.h"
#include "sqlite2/Schema.h"
#include "sqlite2/btree.h"

namespace sqlite2 {

class Connection;

// Decodes the record under a table cursor on demand.
class RowReader {
public:
    void Reset(BtCursor* cur, const Table* t, int32_t rowid) {
        m_cur = cur;
        m_table = t;
        m_rowid = rowid;
        m_loaded = false;
    }
    int32_t Rowid() const { return m_rowid; }
    Rc Get(int column, Value& out);
    Rc GetAll(std::vector<Value>& out);
    // Only the listed columns; the others are left NULL.
    Rc GetSome(const std::vector<int>& columns, std::vector<Value>& out);

private:
    Rc Load();
    BtCursor* m_cur = nullptr;
    const Table* m_table = nullptr;
    int32_t m_rowid = 0;
    bool m_loaded = false;
    size_t m_size = 0;
    std::vector<uint32_t> m_off;
    std::vector<unsigned char> m_header;
};

// Operand value for the current row (subquery values are filled in beforehand).
struct Operand {
    const Expr* expr = nullptr;
    Value constant; // literal or subquery result
};

struct Plan {
    enum class Kind { Scan, Rowid, Index, Empty };
    Kind kind = Kind::Scan;
    int32_t rowid = 0;
    const Index* index = nullptr;
    std::string prefix; // index key fields of the looked-up value
    int usedTerm = -1;  // the WHERE term the plan satisfies by itself
};

// Evaluates the WHERE terms of one statement over its table.
class Filter {
public:
    // Evaluates subqueries once; errors come from reading their table.
    Rc Prepare(Connection& c, const std::vector<Term>& where, std::string& err);
    Plan Choose(const Table& t) const;
    // True when every term except the plan's own holds for the row.
    Rc Matches(RowReader& row, int skipTerm, bool& match);
    bool Empty() const { return m_terms.empty(); }
    // Whether the terms other than skipTerm read columns other than the rowid.
    bool NeedsRecord(int skipTerm) const;

private:
    struct T {
        const Term* term;
        Value lhs, rhs; // constants
        bool lhsConst, rhsConst;
        bool lhsNumeric, rhsNumeric;
    };
    std::vector<T> m_terms;
};

// Walks the rows a plan selects.
class Scanner {
public:
    // tab, when given, is an already open read cursor on the table the scan may use.
    Rc Open(Connection& c, const Table& t, const Plan& plan, bool needRecord, std::string& err,
            std::unique_ptr<BtCursor> tab = nullptr);
    // Moves to the next candidate row; have is false at the end.
    Rc Next(bool& have, std::string& err);
    RowReader& Row() { return m_row; }
    void Close();
    ~Scanner() { Close(); }

private:
    Connection* m_conn = nullptr;
    const Table* m_table = nullptr;
    Plan m_plan;
    bool m_needRecord = true;
    bool m_started = false;
    bool m_done = false;
    std::unique_ptr<BtCursor> m_tab;
    std::unique_ptr<BtCursor> m_idx;
    RowReader m_row;
    std::string m_key;
};

// Resolves the columns of the statement's expressions against table t.
Rc ResolveExpr(Connection& c, const Schema& s, const Table& t, Expr& e, std::string& err);
Rc ResolveSelect(Connection& c, const Schema& s, SelectStmt& sel, std::string& err);
Rc ResolveWhere(Connection& c, const Schema& s, const Table& t, std::vector<Term>& where,
                std::string& err);

// Runs a subquery: its first row's value, NULL when it has none.
Rc EvalScalar(Connection& c, const SelectStmt& sel, Value& out, std::string& err);

std::string RowidText(int32_t rowid);

} // namespace sqlite2
