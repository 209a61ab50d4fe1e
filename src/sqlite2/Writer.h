#pragma once
// Statement bodies that change the database. Each runs inside an open write transaction
// (Connection::RunWrite provides one) and sets wrote before its first change.

#include <cstdint>
#include <string>
#include <vector>

#include "sqlite2/Ast.h"
#include "sqlite2/Record.h"
#include "sqlite2/Schema.h"
#include "sqlite2/btree.h"

namespace sqlite2 {

class Connection;

// Index key of a row: one field per indexed column, then the rowid key. row holds the
// record's values (the rowid column NULL).
std::string IndexKey(const Index& ix, const std::vector<Value>& row, int32_t rowid,
                     bool withRowid = true);

// Inserts a row. row has one value per column; a non-NULL rowid column value is the
// explicit rowid. Every check runs before the first change.
Rc InsertRow(Connection& c, const Table& t, std::vector<Value> row, int32_t& rowid, bool& wrote,
             std::string& err);

Rc ExecInsert(Connection& c, const Table& t, const Statement& st, bool& wrote, std::string& err);
Rc ExecUpdate(Connection& c, const Table& t, const Statement& st, const std::vector<int>& setCols,
              bool& wrote, std::string& err);
Rc ExecDelete(Connection& c, const Table& t, const Statement& st, bool& wrote, std::string& err);

Rc ExecCreateTable(Connection& c, Schema& s, const Statement& st, bool& wrote, std::string& err);
Rc ExecCreateIndex(Connection& c, Schema& s, const Statement& st, bool& wrote, std::string& err);
Rc ExecDrop(Connection& c, Schema& s, const Statement& st, bool& wrote, std::string& err);

// Appends a row to sqlite_master with the next rowid.
Rc AddMasterRow(Connection& c, const std::vector<Value>& row, std::string& err);

Rc Fail(Rc rc, std::string& err);

} // namespace sqlite2
