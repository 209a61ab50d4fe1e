#pragma once
// A compiled statement (sqlite_vm): resolution against the schema, stepping, results.

#include <memory>
#include <string>
#include <vector>

#include "sqlite2/Ast.h"
#include "sqlite2/Record.h"
#include "sqlite2/Rows.h"
#include "sqlite2/Schema.h"

namespace sqlite2 {

class Connection;

class Vm {
public:
    explicit Vm(Connection* c);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    Rc Compile(std::unique_ptr<Statement> st, std::string& err);
    int Step(int* ncol, const char*** values, const char*** colnames);
    // The statement's outcome; the caller deletes the VM afterwards.
    Rc Finalize(std::string& err);
    // The connection is closing: release everything, later calls answer MISUSE.
    void Kill();

private:
    enum class State { Fresh, Running, Done, Failed, Dead };

    Rc Resolve(std::string& err);
    void SetNames();
    Rc StartSelect(std::string& err);
    Rc NextRow(bool& have, std::string& err);
    Rc Project(RowReader& r, std::vector<Value>& out);
    Rc Execute(std::string& err);
    int Fail(Rc rc, const std::string& err);
    void Publish(std::vector<Value>&& row);
    void ReleaseRun();

    Connection* m_conn;
    std::unique_ptr<Statement> m_stmt;
    std::shared_ptr<Schema> m_schema;
    Table* m_table = nullptr;
    std::vector<int> m_setCols;
    Conflict m_conflict = Conflict::Abort;
    State m_state = State::Fresh;
    bool m_lastBusy = false;
    Rc m_rc = 0;
    std::string m_err;

    // Result columns: names then declared types (NULL where none).
    std::vector<std::string> m_nameText;
    std::vector<bool> m_nameNull;
    std::vector<const char*> m_names;
    std::vector<Value> m_current;
    std::vector<const char*> m_values;

    // A running query.
    std::unique_ptr<Filter> m_filter;
    std::unique_ptr<Scanner> m_scanner;
    Plan m_plan;
    bool m_materialized = false;
    std::vector<std::vector<Value>> m_rows;
    size_t m_pos = 0;
};

} // namespace sqlite2
