#pragma once
// The cached schema: tables and indexes read from sqlite_master.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "sqlite2/Ast.h"

namespace sqlite2 {

struct Index;

struct Column {
    std::string name;
    std::string type;    // declared type with whitespace removed; empty when none
    bool numeric = true; // type class
    bool notNull = false;
    bool hasDefault = false;
    Expr defaultValue;
};

struct Table {
    std::string name;
    std::vector<Column> columns;
    int rowidColumn = -1; // INTEGER PRIMARY KEY column, stored as NULL in the record
    int root = 0;
    bool isMaster = false;
    std::vector<Index*> indexes; // in schema order
    int FindColumn(const std::string& name) const;
};

struct Index {
    std::string name;
    Table* table = nullptr;
    std::vector<int> columns;
    bool unique = false;
    bool autoIndex = false; // implied by a constraint; its sqlite_master row has NULL sql
    int root = 0;
};

class Schema {
public:
    Schema();
    int cookie = 0;
    Table* FindTable(const std::string& name) const;
    Index* FindIndex(const std::string& name) const;
    Table* Master() const { return m_master.get(); }
    const std::vector<std::unique_ptr<Table>>& Tables() const { return m_tables; }
    const std::vector<std::unique_ptr<Index>>& Indexes() const { return m_indexes; }

    // Builds the table (and its implied indexes, roots 0) from a CREATE TABLE statement.
    // Returns the table; err set and null on a definition error.
    Table* AddTable(const Statement& st, int root, std::string& err);
    Index* AddIndex(const Statement& st, int root, std::string& err);
    void RemoveTable(Table* t);
    void RemoveIndex(Index* ix);

private:
    std::unique_ptr<Table> m_master;
    std::vector<std::unique_ptr<Table>> m_tables;
    std::vector<std::unique_ptr<Index>> m_indexes;
    std::unordered_map<std::string, Table*> m_tableByName;
    std::unordered_map<std::string, Index*> m_indexByName;
};

// "text" class unless the type holds CHAR, TEXT, CLOB or BLOB.
bool IsNumericType(const std::string& typeNoSpace);

} // namespace sqlite2
