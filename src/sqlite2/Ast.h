#pragma once
// Parsed statements of the supported grammar.

#include <memory>
#include <string>
#include <vector>

namespace sqlite2 {

struct SelectStmt;
struct Table;

enum class CmpOp { Eq, Ne, Lt, Le, Gt, Ge };

struct Expr {
    enum class Kind { Null, Literal, Column, Subquery, CountStar };
    Kind kind = Kind::Null;
    std::string text;     // literal value, or the column name as written (unquoted)
    bool numeric = false; // class of a literal
    bool dquoted = false; // "..." token: a column when one has that name, else a string
    std::string span;     // source text, whitespace runs collapsed (result column names)
    size_t tokenPos = 0;  // for error messages
    std::shared_ptr<SelectStmt> sub;
    // Filled when the statement is resolved against the schema.
    int column = -1; // index in the table; kRowidRef for the rowid
    bool numericClass = false;
};

constexpr int kRowidRef = -2;

struct Term {
    Expr lhs;
    CmpOp op = CmpOp::Eq;
    Expr rhs;
};

struct SelectStmt {
    bool star = false;
    std::vector<Expr> columns;
    std::string table;
    std::vector<Term> where;
    bool hasOrder = false;
    Expr orderBy;
    bool desc = false;
    Table* tableRef = nullptr; // resolved
};

struct ColumnDef {
    std::string name;
    std::string type; // declared type as written
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
    bool hasDefault = false;
    Expr defaultValue;
};

struct TableConstraint {
    bool primaryKey = false; // else UNIQUE
    std::vector<std::string> columns;
};

enum class Conflict { Default, Rollback, Abort, Fail, Ignore, Replace };

struct Statement {
    enum class Kind {
        Select,
        Insert,
        Update,
        Delete,
        CreateTable,
        CreateIndex,
        DropTable,
        DropIndex,
        Begin,
        Commit,
        Rollback,
        Vacuum,
        Pragma,
    };
    Kind kind = Kind::Select;
    std::shared_ptr<SelectStmt> select;
    std::string table; // target of insert/update/delete/create/drop; index name for DROP INDEX
    std::vector<std::string> columns;               // insert column list, index columns
    std::vector<Expr> values;                       // insert values
    std::vector<std::pair<std::string, Expr>> sets; // update
    std::vector<Term> where;
    std::vector<ColumnDef> columnDefs;
    std::vector<TableConstraint> constraints;
    std::string indexName;
    bool unique = false;
    std::string sql; // CREATE text from the keyword through the last token
    Conflict onConflict = Conflict::Default;
    std::string pragma;
};

} // namespace sqlite2
