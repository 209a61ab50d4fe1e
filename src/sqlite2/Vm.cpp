#include "sqlite2/Vm.h"

#include <algorithm>

#include "sqlite2/Connection.h"
#include "sqlite2/Errors.h"
#include "sqlite2/Keys.h"
#include "sqlite2/Maintenance.h"
#include "sqlite2/Writer.h"

namespace sqlite2 {

Vm::Vm(Connection* c) : m_conn(c) {
    m_conn->Register(this);
}

Vm::~Vm() {
    ReleaseRun();
    if (m_conn)
        m_conn->Unregister(this);
}

void Vm::ReleaseRun() {
    m_scanner.reset();
    m_filter.reset();
    m_rows.clear();
    m_materialized = false;
    m_pos = 0;
}

void Vm::Kill() {
    ReleaseRun();
    m_state = State::Dead;
    m_conn = nullptr;
    m_stmt.reset();
    m_schema.reset();
}

Rc Vm::Compile(std::unique_ptr<Statement> st, std::string& err) {
    m_stmt = std::move(st);
    Rc rc = m_conn->EnsureSchema(err);
    if (rc != kOk)
        return rc;
    m_schema = m_conn->CurrentSchema();
    rc = Resolve(err);
    if (rc == kError &&
        (err.rfind("no such table", 0) == 0 || err.rfind("no such column", 0) == 0)) {
        // The cached schema may be older than the file: look again before refusing.
        std::string lerr;
        if (m_conn->LoadSchema(lerr) == kOk) {
            m_schema = m_conn->CurrentSchema();
            std::string again;
            if ((rc = Resolve(again)) != kOk)
                err = again;
        }
    }
    if (rc != kOk)
        return rc;
    if (m_stmt->onConflict != Conflict::Default && m_stmt->kind != Statement::Kind::Begin)
        m_conflict = m_stmt->onConflict;
    else
        m_conflict = m_conn->InTrans() && m_conn->RollbackOnConflict() ? Conflict::Rollback
                                                                       : Conflict::Abort;
    SetNames();
    return kOk;
}

Rc Vm::Resolve(std::string& err) {
    Statement& st = *m_stmt;
    Connection& c = *m_conn;
    const Schema& s = *m_schema;
    using K = Statement::Kind;
    auto target = [&]() -> Rc {
        m_table = s.FindTable(st.table);
        if (!m_table) {
            err = "no such table: " + st.table;
            return kError;
        }
        if (m_table->isMaster) {
            err = "table sqlite_master may not be modified";
            return kError;
        }
        return kOk;
    };
    Rc rc = kOk;
    switch (st.kind) {
    case K::Select:
        rc = ResolveSelect(c, s, *st.select, err);
        m_table = st.select->tableRef;
        return rc;
    case K::Insert: {
        if ((rc = target()) != kOk)
            return rc;
        for (const std::string& n : st.columns) {
            if (m_table->FindColumn(n) < 0) {
                err = "table " + m_table->name + " has no column named " + n;
                return kError;
            }
        }
        size_t want = st.columns.empty() ? m_table->columns.size() : st.columns.size();
        if (st.values.size() != want) {
            if (st.columns.empty())
                err = "table " + m_table->name + " has " + std::to_string(want) + " columns but " +
                      std::to_string(st.values.size()) + " values were supplied";
            else
                err = std::to_string(st.values.size()) + " values for " + std::to_string(want) +
                      " columns";
            return kError;
        }
        return kOk;
    }
    case K::Update:
        if ((rc = target()) != kOk)
            return rc;
        m_setCols.clear();
        for (auto& [name, e] : st.sets) {
            int col = m_table->FindColumn(name);
            if (col < 0) {
                err = "no such column: " + name;
                return kError;
            }
            m_setCols.push_back(col);
            if ((rc = ResolveExpr(c, s, *m_table, e, err)) != kOk)
                return rc;
        }
        return ResolveWhere(c, s, *m_table, st.where, err);
    case K::Delete:
        if ((rc = target()) != kOk)
            return rc;
        return ResolveWhere(c, s, *m_table, st.where, err);
    case K::Begin:
        if (c.InTrans()) {
            err = "cannot start a transaction within a transaction";
            return kError;
        }
        return kOk;
    case K::Commit:
    case K::Rollback:
        if (!c.InTrans()) {
            err = st.kind == K::Commit ? "cannot commit - no transaction is active"
                                       : "cannot rollback - no transaction is active";
            return kError;
        }
        return kOk;
    case K::Vacuum:
        if (c.InTrans()) {
            err = "cannot VACUUM from within a transaction";
            return kError;
        }
        return kOk;
    case K::CreateTable:
        if (s.FindTable(st.table) || s.FindIndex(st.table)) {
            err = "table " + st.table + " already exists";
            return kError;
        }
        return kOk;
    case K::CreateIndex:
        if (!s.FindTable(st.table)) {
            err = "no such table: " + st.table;
            return kError;
        }
        return kOk;
    case K::DropTable:
    case K::DropIndex:
    case K::Pragma:
        return kOk;
    }
    return kOk;
}

void Vm::SetNames() {
    m_nameText.clear();
    m_nameNull.clear();
    auto add = [&](const std::string& s, bool null) {
        m_nameText.push_back(s);
        m_nameNull.push_back(null);
    };
    const Statement& st = *m_stmt;
    std::vector<std::pair<std::string, std::string>> cols; // name, type ("" = NULL)
    if (st.kind == Statement::Kind::Select) {
        const SelectStmt& sel = *st.select;
        const Table& t = *sel.tableRef;
        if (sel.star) {
            for (const Column& col : t.columns)
                cols.emplace_back(col.name, col.type);
        } else {
            for (const Expr& e : sel.columns) {
                std::string type;
                if (e.kind == Expr::Kind::Column)
                    type = e.column == kRowidRef ? "INTEGER"
                                                 : t.columns[static_cast<size_t>(e.column)].type;
                else if (e.kind == Expr::Kind::CountStar)
                    type = "NUMERIC";
                else
                    type = e.numeric ? "NUMERIC" : "TEXT";
                cols.emplace_back(e.span, type);
            }
        }
    } else if (st.kind == Statement::Kind::Pragma && st.pragma == "integrity_check") {
        cols.emplace_back("integrity_check", "");
    }
    for (auto& c : cols)
        add(c.first, false);
    for (auto& c : cols)
        add(c.second, c.second.empty());
    m_names.clear();
    for (size_t i = 0; i < m_nameText.size(); ++i)
        m_names.push_back(m_nameNull[i] ? nullptr : m_nameText[i].c_str());
}

int Vm::Fail(Rc rc, const std::string& err) {
    ReleaseRun();
    m_state = State::Failed;
    m_rc = rc;
    m_err = err.empty() ? ErrorString(rc) : err;
    return kError;
}

void Vm::Publish(std::vector<Value>&& row) {
    m_current = std::move(row);
    m_values.resize(m_current.size());
    for (size_t i = 0; i < m_current.size(); ++i)
        m_values[i] = m_current[i] ? m_current[i]->c_str() : nullptr;
}

Rc Vm::Project(RowReader& r, std::vector<Value>& out) {
    const SelectStmt& sel = *m_stmt->select;
    if (sel.star)
        return r.GetAll(out);
    out.resize(sel.columns.size());
    for (size_t i = 0; i < sel.columns.size(); ++i) {
        const Expr& e = sel.columns[i];
        if (e.kind == Expr::Kind::Column) {
            Rc rc = r.Get(e.column, out[i]);
            if (rc != kOk)
                return rc;
        } else if (e.kind == Expr::Kind::Literal) {
            out[i] = e.text;
        } else {
            out[i].reset();
        }
    }
    return kOk;
}

namespace {

bool NeedsColumns(const SelectStmt& sel, const Table& t) {
    if (sel.star)
        return true;
    auto real = [&](const Expr& e) {
        return e.kind == Expr::Kind::Column && e.column != kRowidRef && e.column != t.rowidColumn;
    };
    for (const Expr& e : sel.columns)
        if (real(e))
            return true;
    return sel.hasOrder && real(sel.orderBy);
}

} // namespace

Rc Vm::StartSelect(std::string& err) {
    Connection& c = *m_conn;
    if (m_stmt->kind == Statement::Kind::Pragma) {
        m_materialized = true;
        if (m_stmt->pragma != "integrity_check")
            return kOk;
        std::vector<std::string> rows;
        Rc rc = IntegrityCheck(c, *m_schema, rows, err);
        if (rc != kOk)
            return rc;
        for (std::string& r : rows)
            m_rows.push_back({Value(std::move(r))});
        return kOk;
    }
    const SelectStmt& sel = *m_stmt->select;
    const Table& t = *sel.tableRef;
    // Hold the read lock while the cookie is checked and subqueries run.
    std::unique_ptr<BtCursor> lock;
    Rc rc = c.Bt().Cursor(t.root, false, lock);
    if (rc != kOk) {
        err = ErrorString(rc);
        return rc;
    }
    if ((rc = c.VerifyCookie(*m_schema, err)) != kOk)
        return rc;
    m_filter = std::make_unique<Filter>();
    if ((rc = m_filter->Prepare(c, sel.where, err)) != kOk)
        return rc;
    m_plan = m_filter->Choose(t);
    bool needRecord = m_filter->NeedsRecord(m_plan.usedTerm) || NeedsColumns(sel, t);
    m_scanner = std::make_unique<Scanner>();
    if ((rc = m_scanner->Open(c, t, m_plan, needRecord, err, std::move(lock))) != kOk)
        return rc;
    lock.reset();
    bool aggregate = std::any_of(sel.columns.begin(), sel.columns.end(),
                                 [](const Expr& e) { return e.kind == Expr::Kind::CountStar; });
    if (!aggregate && !sel.hasOrder)
        return kOk;
    m_materialized = true;
    std::vector<std::pair<Value, std::vector<Value>>> rows;
    long long count = 0;
    std::vector<Value> last(sel.columns.size());
    for (;;) {
        bool have = false;
        if ((rc = m_scanner->Next(have, err)) != kOk)
            return rc;
        if (!have)
            break;
        bool match = false;
        if ((rc = m_filter->Matches(m_scanner->Row(), m_plan.usedTerm, match)) != kOk) {
            err = ErrorString(rc);
            return rc;
        }
        if (!match)
            continue;
        ++count;
        std::vector<Value> row;
        if ((rc = Project(m_scanner->Row(), row)) != kOk) {
            err = ErrorString(rc);
            return rc;
        }
        if (aggregate) {
            last = std::move(row);
            continue;
        }
        Value key;
        if (sel.orderBy.kind == Expr::Kind::Column) {
            if ((rc = m_scanner->Row().Get(sel.orderBy.column, key)) != kOk) {
                err = ErrorString(rc);
                return rc;
            }
        } else if (sel.orderBy.kind == Expr::Kind::Literal) {
            key = sel.orderBy.text;
        }
        rows.emplace_back(std::move(key), std::move(row));
    }
    m_scanner.reset();
    if (aggregate) {
        for (size_t i = 0; i < sel.columns.size(); ++i)
            if (sel.columns[i].kind == Expr::Kind::CountStar)
                last[i] = std::to_string(count);
        m_rows.push_back(std::move(last));
        return kOk;
    }
    // Ties come out in the reverse of the scan order, as the real engine's sorter gives them.
    std::reverse(rows.begin(), rows.end());
    bool numeric = sel.orderBy.numericClass;
    bool desc = sel.desc;
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        int c = CompareForSort(a.first, b.first, numeric);
        return desc ? c > 0 : c < 0;
    });
    for (auto& r : rows)
        m_rows.push_back(std::move(r.second));
    return kOk;
}

Rc Vm::NextRow(bool& have, std::string& err) {
    have = false;
    if (m_materialized) {
        if (m_pos < m_rows.size()) {
            Publish(std::move(m_rows[m_pos++]));
            have = true;
        }
        return kOk;
    }
    std::vector<Value> row;
    for (;;) {
        Rc rc = m_scanner->Next(have, err);
        if (rc != kOk || !have)
            return rc;
        bool match = false;
        if ((rc = m_filter->Matches(m_scanner->Row(), m_plan.usedTerm, match)) != kOk) {
            err = ErrorString(rc);
            return rc;
        }
        if (!match)
            continue;
        if ((rc = Project(m_scanner->Row(), row)) != kOk) {
            err = ErrorString(rc);
            return rc;
        }
        Publish(std::move(row));
        return kOk;
    }
}

Rc Vm::Execute(std::string& err) {
    Connection& c = *m_conn;
    Statement& st = *m_stmt;
    using K = Statement::Kind;
    switch (st.kind) {
    case K::Insert:
        return c.RunWrite(
            *m_schema, m_conflict, false,
            [&](bool& wrote, std::string& e) { return ExecInsert(c, *m_table, st, wrote, e); },
            err);
    case K::Update:
        return c.RunWrite(
            *m_schema, m_conflict, true,
            [&](bool& wrote, std::string& e) {
                return ExecUpdate(c, *m_table, st, m_setCols, wrote, e);
            },
            err);
    case K::Delete:
        return c.RunWrite(
            *m_schema, m_conflict, true,
            [&](bool& wrote, std::string& e) { return ExecDelete(c, *m_table, st, wrote, e); },
            err);
    case K::CreateTable:
    case K::CreateIndex:
    case K::DropTable:
    case K::DropIndex:
        return c.RunWrite(
            *m_schema, m_conflict, true,
            [&](bool& wrote, std::string& e) {
                Schema& s = *m_schema;
                if (st.kind == K::CreateTable)
                    return ExecCreateTable(c, s, st, wrote, e);
                if (st.kind == K::CreateIndex)
                    return ExecCreateIndex(c, s, st, wrote, e);
                return ExecDrop(c, s, st, wrote, e);
            },
            err);
    case K::Begin:
        return c.Begin(st.onConflict == Conflict::Rollback, err);
    case K::Commit:
        return c.Commit(err);
    case K::Rollback:
        return c.Rollback(err);
    case K::Vacuum:
        return Vacuum(c, *m_schema, err);
    default:
        return kOk;
    }
}

int Vm::Step(int* ncol, const char*** values, const char*** colnames) {
    if (m_state == State::Dead || m_state == State::Done || m_state == State::Failed || !m_conn)
        return kMisuse;
    m_lastBusy = false;
    int n = static_cast<int>(m_names.size() / 2);
    auto busy = [&]() {
        m_lastBusy = true;
        ReleaseRun();
        if (ncol)
            *ncol = 0;
        if (colnames)
            *colnames = nullptr;
        if (values)
            *values = nullptr;
        return kBusy;
    };
    std::string err;
    bool query = m_stmt->kind == Statement::Kind::Select || m_stmt->kind == Statement::Kind::Pragma;
    if (query) {
        if (m_state == State::Fresh) {
            Rc rc = StartSelect(err);
            if (rc == kBusy)
                return busy();
            if (rc != kOk)
                return Fail(rc, err);
            m_state = State::Running;
        }
        bool have = false;
        Rc rc = NextRow(have, err);
        if (rc != kOk)
            return Fail(rc, err);
        if (ncol)
            *ncol = n;
        if (colnames)
            *colnames = m_names.empty() ? nullptr : m_names.data();
        if (have) {
            if (values)
                *values = m_values.data();
            return kRow;
        }
        if (values)
            *values = nullptr;
        ReleaseRun();
        m_state = State::Done;
        return kDone;
    }
    Rc rc = Execute(err);
    if (rc == kBusy)
        return busy();
    if (rc != kOk)
        return Fail(rc, err);
    m_state = State::Done;
    if (ncol)
        *ncol = 0;
    if (values)
        *values = nullptr;
    if (colnames)
        *colnames = nullptr;
    return kDone;
}

Rc Vm::Finalize(std::string& err) {
    ReleaseRun();
    if (m_state == State::Dead) {
        err = ErrorString(kMisuse);
        return kMisuse;
    }
    if (m_state == State::Failed) {
        err = m_err;
        return m_rc;
    }
    if (m_lastBusy) {
        err = ErrorString(kBusy);
        return kBusy;
    }
    return kOk;
}

} // namespace sqlite2
