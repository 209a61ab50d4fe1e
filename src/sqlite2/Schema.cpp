#include "sqlite2/Schema.h"

#include <algorithm>

#include "sqlite2/Tokenizer.h"

namespace sqlite2 {

namespace {

std::string StripSpace(const std::string& s) {
    std::string r;
    for (char c : s)
        if (!(c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'))
            r += c;
    return r;
}

} // namespace

bool IsNumericType(const std::string& t) {
    std::string u = Lower(t);
    for (const char* k : {"char", "text", "clob", "blob"})
        if (u.find(k) != std::string::npos)
            return false;
    return true;
}

int Table::FindColumn(const std::string& n) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (EqualsNoCase(columns[i].name, n))
            return static_cast<int>(i);
    return -1;
}

Schema::Schema() : m_master(std::make_unique<Table>()) {
    m_master->name = "sqlite_master";
    m_master->root = 2;
    m_master->isMaster = true;
    const char* names[] = {"type", "name", "tbl_name", "rootpage", "sql"};
    for (const char* n : names) {
        Column c;
        c.name = n;
        c.type = std::string(n) == "rootpage" ? "integer" : "text";
        c.numeric = c.type == "integer";
        m_master->columns.push_back(c);
    }
}

Table* Schema::FindTable(const std::string& name) const {
    std::string k = Lower(name);
    if (k == "sqlite_master")
        return m_master.get();
    auto it = m_tableByName.find(k);
    return it == m_tableByName.end() ? nullptr : it->second;
}

Index* Schema::FindIndex(const std::string& name) const {
    auto it = m_indexByName.find(Lower(name));
    return it == m_indexByName.end() ? nullptr : it->second;
}

Table* Schema::AddTable(const Statement& st, int root, std::string& err) {
    if (FindTable(st.table) || FindIndex(st.table)) {
        err = "table " + st.table + " already exists";
        return nullptr;
    }
    auto t = std::make_unique<Table>();
    t->name = st.table;
    t->root = root;
    std::vector<std::pair<bool, std::vector<int>>> keys; // (primary key, columns) in order
    for (const ColumnDef& d : st.columnDefs) {
        if (t->FindColumn(d.name) >= 0) {
            err = "duplicate column name: " + d.name;
            return nullptr;
        }
        Column c;
        c.name = d.name;
        c.type = StripSpace(d.type);
        c.numeric = IsNumericType(c.type);
        c.notNull = d.notNull;
        c.hasDefault = d.hasDefault;
        c.defaultValue = d.defaultValue;
        t->columns.push_back(c);
        int ci = static_cast<int>(t->columns.size()) - 1;
        if (d.primaryKey)
            keys.push_back({true, {ci}});
        if (d.unique)
            keys.push_back({false, {ci}});
    }
    for (const TableConstraint& c : st.constraints) {
        std::vector<int> cols;
        for (const std::string& n : c.columns) {
            int ci = t->FindColumn(n);
            if (ci < 0) {
                err = "table " + st.table + " has no column named " + n;
                return nullptr;
            }
            cols.push_back(ci);
        }
        keys.push_back({c.primaryKey, cols});
    }
    int nAuto = 0;
    bool havePk = false;
    std::vector<std::unique_ptr<Index>> autos;
    for (auto& [pk, cols] : keys) {
        if (pk) {
            if (havePk) {
                err = "table \"" + st.table + "\" has more than one primary key";
                return nullptr;
            }
            havePk = true;
            if (cols.size() == 1 &&
                EqualsNoCase(t->columns[static_cast<size_t>(cols[0])].type, "INTEGER")) {
                t->rowidColumn = cols[0];
                continue;
            }
        }
        auto ix = std::make_unique<Index>();
        ix->name = "(" + st.table + " autoindex " + std::to_string(++nAuto) + ")";
        ix->table = t.get();
        ix->columns = cols;
        ix->unique = true;
        ix->autoIndex = true;
        autos.push_back(std::move(ix));
    }
    Table* raw = t.get();
    m_tableByName[Lower(t->name)] = raw;
    m_tables.push_back(std::move(t));
    for (auto& ix : autos) {
        raw->indexes.push_back(ix.get());
        m_indexByName[Lower(ix->name)] = ix.get();
        m_indexes.push_back(std::move(ix));
    }
    return raw;
}

Index* Schema::AddIndex(const Statement& st, int root, std::string& err) {
    Table* t = FindTable(st.table);
    if (!t || t->isMaster) {
        err = "no such table: " + st.table;
        return nullptr;
    }
    if (FindIndex(st.indexName) || FindTable(st.indexName)) {
        err = "index " + st.indexName + " already exists";
        return nullptr;
    }
    auto ix = std::make_unique<Index>();
    ix->name = st.indexName;
    ix->table = t;
    ix->unique = st.unique;
    ix->root = root;
    for (const std::string& n : st.columns) {
        int ci = t->FindColumn(n);
        if (ci < 0) {
            err = "table " + t->name + " has no column named " + n;
            return nullptr;
        }
        ix->columns.push_back(ci);
    }
    Index* raw = ix.get();
    t->indexes.push_back(raw);
    m_indexByName[Lower(raw->name)] = raw;
    m_indexes.push_back(std::move(ix));
    return raw;
}

void Schema::RemoveIndex(Index* ix) {
    auto& v = ix->table->indexes;
    v.erase(std::remove(v.begin(), v.end(), ix), v.end());
    m_indexByName.erase(Lower(ix->name));
    m_indexes.erase(std::remove_if(m_indexes.begin(), m_indexes.end(),
                                   [&](const std::unique_ptr<Index>& p) { return p.get() == ix; }),
                    m_indexes.end());
}

void Schema::RemoveTable(Table* t) {
    while (!t->indexes.empty())
        RemoveIndex(t->indexes.back());
    m_tableByName.erase(Lower(t->name));
    m_tables.erase(std::remove_if(m_tables.begin(), m_tables.end(),
                                  [&](const std::unique_ptr<Table>& p) { return p.get() == t; }),
                   m_tables.end());
}

} // namespace sqlite2
