#include "sqlite2/Writer.h"

#include <memory>

#include "sqlite2/Connection.h"
#include "sqlite2/Errors.h"
#include "sqlite2/Keys.h"
#include "sqlite2/Rows.h"

namespace sqlite2 {

Rc Fail(Rc rc, std::string& err) {
    err = ErrorString(rc);
    return rc;
}

std::string IndexKey(const Index& ix, const std::vector<Value>& row, int32_t rowid,
                     bool withRowid) {
    std::string key;
    const Table& t = *ix.table;
    for (int col : ix.columns) {
        if (col == t.rowidColumn)
            AppendIndexField(RowidText(rowid), true, key);
        else
            AppendIndexField(row[static_cast<size_t>(col)],
                             t.columns[static_cast<size_t>(col)].numeric, key);
    }
    if (withRowid)
        key += RowidKey(rowid);
    return key;
}

namespace {

Rc Locked(std::string& err) {
    err = ErrorString(kLocked);
    return kLocked;
}

std::string NotUniqueMessage(const Index& ix) {
    const Table& t = *ix.table;
    if (ix.columns.size() == 1)
        return "column " + t.columns[static_cast<size_t>(ix.columns[0])].name + " is not unique";
    std::string m = "columns ";
    for (size_t i = 0; i < ix.columns.size(); ++i)
        m += (i ? ", " : "") + t.columns[static_cast<size_t>(ix.columns[i])].name;
    return m + " are not unique";
}

// Whether another row (not self) holds the same values in a unique index.
Rc UniqueConflict(BtCursor& cur, const Index& ix, const std::vector<Value>& row, int32_t rowid,
                  int32_t self, bool& conflict) {
    conflict = false;
    const Table& t = *ix.table;
    for (int col : ix.columns)
        if (col != t.rowidColumn && !row[static_cast<size_t>(col)])
            return kOk; // NULLs are distinct
    std::string prefix = IndexKey(ix, row, rowid, false);
    int res = 0;
    Rc rc = cur.Moveto(prefix.data(), static_cast<int>(prefix.size()), res);
    if (rc != kOk || !cur.Valid())
        return rc;
    bool done = false;
    if (res < 0 && ((rc = cur.Next(done)) != kOk || done))
        return rc;
    std::string key;
    for (;;) {
        int n = 0;
        if ((rc = cur.KeySize(n)) != kOk)
            return rc;
        key.resize(static_cast<size_t>(n));
        if (n > 0 && (rc = cur.Key(0, n, key.data())) != kOk)
            return rc;
        if (key.size() != prefix.size() + 4 || key.compare(0, prefix.size(), prefix) != 0)
            return kOk;
        if (GetRowidKey(reinterpret_cast<const unsigned char*>(key.data()) + prefix.size()) !=
            self) {
            conflict = true;
            return kOk;
        }
        if ((rc = cur.Next(done)) != kOk || done)
            return rc;
    }
}

Rc NewRowid(BtCursor& tab, int32_t& rowid) {
    bool empty = true;
    Rc rc = tab.Last(empty);
    if (rc != kOk)
        return rc;
    if (empty || !tab.Valid()) {
        rowid = 1;
        return kOk;
    }
    unsigned char k[4];
    if ((rc = tab.Key(0, 4, k)) != kOk)
        return rc;
    int32_t max = GetRowidKey(k);
    if (max < INT32_MAX) {
        rowid = max + 1;
        return kOk;
    }
    // The largest id is taken: look for an unused one at random.
    int32_t candidate = static_cast<int32_t>(RandomInt() & 0xFFFFFF) + 1;
    for (int tries = 0; tries < 1000; ++tries) {
        int res = 0;
        PutRowidKey(candidate, k);
        if ((rc = tab.Moveto(k, 4, res)) != kOk)
            return rc;
        if (res != 0 || !tab.Valid()) {
            rowid = candidate;
            return kOk;
        }
        candidate += static_cast<int32_t>(RandomInt() % 256) + 1;
        if (candidate <= 0)
            candidate = 1;
    }
    return kFull;
}

Rc CheckNotNull(const Table& t, const std::vector<Value>& row, std::string& err) {
    for (size_t i = 0; i < t.columns.size(); ++i) {
        if (static_cast<int>(i) != t.rowidColumn && t.columns[i].notNull && !row[i]) {
            err = t.name + "." + t.columns[i].name + " may not be NULL";
            return kConstraint;
        }
    }
    return kOk;
}

// Index cursors of a table, opened when first needed.
class IndexCursors {
public:
    IndexCursors(Connection& c, const Table& t) : m_conn(c), m_table(t), m_cur(t.indexes.size()) {}
    Rc Get(size_t i, BtCursor*& out) {
        if (!m_cur[i]) {
            Rc rc = m_conn.Bt().Cursor(m_table.indexes[i]->root, true, m_cur[i]);
            if (rc != kOk)
                return rc;
        }
        out = m_cur[i].get();
        return kOk;
    }

private:
    Connection& m_conn;
    const Table& m_table;
    std::vector<std::unique_ptr<BtCursor>> m_cur;
};

Rc DeleteKey(BtCursor& cur, const std::string& key) {
    int res = 0;
    Rc rc = cur.Moveto(key.data(), static_cast<int>(key.size()), res);
    if (rc != kOk)
        return rc;
    if (res == 0 && cur.Valid())
        return cur.Delete();
    return kOk;
}

Value EvalSetValue(const Expr& e, const std::vector<Value>& old, const Table& t, int32_t rowid) {
    switch (e.kind) {
    case Expr::Kind::Literal:
        return e.text;
    case Expr::Kind::Column:
        if (e.column == kRowidRef || e.column == t.rowidColumn)
            return RowidText(rowid);
        return old[static_cast<size_t>(e.column)];
    default:
        return std::nullopt;
    }
}

// Rowids of the rows the WHERE selects, collected before anything changes.
Rc CollectRowids(Connection& c, const Table& t, const std::vector<Term>& where,
                 std::vector<int32_t>& rowids, std::string& err) {
    Filter f;
    Rc rc = f.Prepare(c, where, err);
    if (rc != kOk)
        return rc;
    Plan plan = f.Choose(t);
    if (plan.kind == Plan::Kind::Empty)
        return kOk;
    if (plan.kind == Plan::Kind::Rowid && where.size() == 1) {
        // Whether the row exists is seen when it is read for the change.
        rowids.push_back(plan.rowid);
        return kOk;
    }
    Scanner sc;
    if ((rc = sc.Open(c, t, plan, f.NeedsRecord(plan.usedTerm), err)) != kOk)
        return rc;
    for (;;) {
        bool have = false;
        if ((rc = sc.Next(have, err)) != kOk)
            return rc;
        if (!have)
            return kOk;
        bool match = false;
        if ((rc = f.Matches(sc.Row(), plan.usedTerm, match)) != kOk)
            return Fail(rc, err);
        if (match)
            rowids.push_back(sc.Row().Rowid());
    }
}

// Reads the row (only the given columns when columns is set; the rowid column stays NULL).
Rc ReadRow(BtCursor& tab, const Table& t, int32_t rowid, bool& found, std::vector<Value>& row,
           const std::vector<int>* columns = nullptr) {
    unsigned char k[4];
    PutRowidKey(rowid, k);
    int res = 0;
    Rc rc = tab.Moveto(k, 4, res);
    found = rc == kOk && res == 0 && tab.Valid();
    if (!found)
        return rc;
    RowReader r;
    r.Reset(&tab, &t, rowid);
    if ((rc = columns ? r.GetSome(*columns, row) : r.GetAll(row)) != kOk)
        return rc;
    if (t.rowidColumn >= 0)
        row[static_cast<size_t>(t.rowidColumn)].reset();
    return kOk;
}

} // namespace

Rc InsertRow(Connection& c, const Table& t, std::vector<Value> row, int32_t& rowid, bool& wrote,
             std::string& err) {
    if (c.IsRead(t.root))
        return Locked(err);
    bool explicitId = t.rowidColumn >= 0 && row[static_cast<size_t>(t.rowidColumn)];
    if (explicitId && !ToRowid(*row[static_cast<size_t>(t.rowidColumn)], rowid))
        return Fail(kMismatch, err);
    Rc rc = CheckNotNull(t, row, err);
    if (rc != kOk)
        return rc;
    std::unique_ptr<BtCursor> tab;
    if ((rc = c.Bt().Cursor(t.root, true, tab)) != kOk)
        return Fail(rc, err);
    unsigned char k[4];
    if (explicitId) {
        int res = 0;
        PutRowidKey(rowid, k);
        if ((rc = tab->Moveto(k, 4, res)) != kOk)
            return Fail(rc, err);
        if (res == 0 && tab->Valid()) {
            err = "PRIMARY KEY must be unique";
            return kConstraint;
        }
    } else if ((rc = NewRowid(*tab, rowid)) != kOk) {
        return Fail(rc, err);
    }
    if (t.rowidColumn >= 0)
        row[static_cast<size_t>(t.rowidColumn)].reset();
    IndexCursors ic(c, t);
    BtCursor* cur = nullptr;
    for (size_t i = 0; i < t.indexes.size(); ++i) {
        if (!t.indexes[i]->unique)
            continue;
        bool conflict = false;
        if ((rc = ic.Get(i, cur)) != kOk)
            return Fail(rc, err);
        if ((rc = UniqueConflict(*cur, *t.indexes[i], row, rowid, rowid, conflict)) != kOk)
            return Fail(rc, err);
        if (conflict) {
            err = NotUniqueMessage(*t.indexes[i]);
            return kConstraint;
        }
    }
    // The size check comes before any index entry is written, so a refused row leaves
    // nothing behind.
    if (RecordSize(row) > kMaxRecordSize)
        return Fail(kTooBig, err);
    std::string record = EncodeRecord(row);
    wrote = true;
    for (size_t i = 0; i < t.indexes.size(); ++i) {
        std::string key = IndexKey(*t.indexes[i], row, rowid);
        if ((rc = ic.Get(i, cur)) != kOk ||
            (rc = cur->Insert(key.data(), static_cast<int>(key.size()), nullptr, 0)) != kOk)
            return Fail(rc, err);
    }
    PutRowidKey(rowid, k);
    if ((rc = tab->Insert(k, 4, record.data(), static_cast<int>(record.size()))) != kOk)
        return Fail(rc, err);
    return kOk;
}

Rc ExecInsert(Connection& c, const Table& t, const Statement& st, bool& wrote, std::string& err) {
    std::vector<Value> row(t.columns.size());
    for (size_t i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].hasDefault && t.columns[i].defaultValue.kind == Expr::Kind::Literal)
            row[i] = t.columns[i].defaultValue.text;
    for (size_t i = 0; i < st.values.size(); ++i) {
        int col = st.columns.empty() ? static_cast<int>(i) : t.FindColumn(st.columns[i]);
        const Expr& e = st.values[i];
        row[static_cast<size_t>(col)] =
            e.kind == Expr::Kind::Literal ? Value(e.text) : Value(std::nullopt);
    }
    int32_t rowid = 0;
    Rc rc = InsertRow(c, t, std::move(row), rowid, wrote, err);
    if (rc == kOk) {
        c.lastInsertRowid = rowid;
        c.changes = 1;
    }
    return rc;
}

Rc ExecUpdate(Connection& c, const Table& t, const Statement& st, const std::vector<int>& setCols,
              bool& wrote, std::string& err) {
    if (c.IsRead(t.root))
        return Locked(err);
    std::vector<int32_t> rowids;
    Rc rc = CollectRowids(c, t, st.where, rowids, err);
    if (rc != kOk)
        return rc;
    c.changes = 0;
    if (rowids.empty())
        return kOk;
    std::unique_ptr<BtCursor> tab;
    if ((rc = c.Bt().Cursor(t.root, true, tab)) != kOk)
        return Fail(rc, err);
    IndexCursors ic(c, t);
    BtCursor* cur = nullptr;
    std::vector<Value> old, row;
    unsigned char k[4];
    int count = 0;
    for (int32_t rowid : rowids) {
        bool found = false;
        if ((rc = ReadRow(*tab, t, rowid, found, old)) != kOk)
            return Fail(rc, err);
        if (!found)
            continue;
        row = old;
        int32_t newRowid = rowid;
        std::vector<bool> changed(t.columns.size(), false);
        for (size_t i = 0; i < setCols.size(); ++i) {
            int col = setCols[i];
            Value v = EvalSetValue(st.sets[i].second, old, t, rowid);
            if (col == t.rowidColumn) {
                if (!v || !ToRowid(*v, newRowid))
                    return Fail(kMismatch, err);
            } else {
                row[static_cast<size_t>(col)] = std::move(v);
            }
            changed[static_cast<size_t>(col)] = true;
        }
        if ((rc = CheckNotNull(t, row, err)) != kOk)
            return rc;
        bool moved = newRowid != rowid;
        if (moved) {
            int res = 0;
            PutRowidKey(newRowid, k);
            if ((rc = tab->Moveto(k, 4, res)) != kOk)
                return Fail(rc, err);
            if (res == 0 && tab->Valid()) {
                err = "PRIMARY KEY must be unique";
                return kConstraint;
            }
        }
        std::vector<bool> touch(t.indexes.size(), moved);
        for (size_t i = 0; i < t.indexes.size(); ++i)
            for (int col : t.indexes[i]->columns)
                if (changed[static_cast<size_t>(col)])
                    touch[i] = true;
        for (size_t i = 0; i < t.indexes.size(); ++i) {
            if (!touch[i] || !t.indexes[i]->unique)
                continue;
            bool conflict = false;
            if ((rc = ic.Get(i, cur)) != kOk)
                return Fail(rc, err);
            rc = UniqueConflict(*cur, *t.indexes[i], row, newRowid, rowid, conflict);
            if (rc != kOk)
                return Fail(rc, err);
            if (conflict) {
                err = NotUniqueMessage(*t.indexes[i]);
                return kConstraint;
            }
        }
        if (RecordSize(row) > kMaxRecordSize)
            return Fail(kTooBig, err);
        std::string record = EncodeRecord(row);
        wrote = true;
        for (size_t i = 0; i < t.indexes.size(); ++i) {
            if (!touch[i])
                continue;
            if ((rc = ic.Get(i, cur)) != kOk ||
                (rc = DeleteKey(*cur, IndexKey(*t.indexes[i], old, rowid))) != kOk)
                return Fail(rc, err);
            std::string key = IndexKey(*t.indexes[i], row, newRowid);
            rc = cur->Insert(key.data(), static_cast<int>(key.size()), nullptr, 0);
            if (rc != kOk)
                return Fail(rc, err);
        }
        if (moved) {
            PutRowidKey(rowid, k);
            int res = 0;
            if ((rc = tab->Moveto(k, 4, res)) != kOk)
                return Fail(rc, err);
            if (res == 0 && tab->Valid() && (rc = tab->Delete()) != kOk)
                return Fail(rc, err);
        }
        PutRowidKey(newRowid, k);
        if ((rc = tab->Insert(k, 4, record.data(), static_cast<int>(record.size()))) != kOk)
            return Fail(rc, err);
        ++count;
    }
    c.changes = count;
    return kOk;
}

Rc ExecDelete(Connection& c, const Table& t, const Statement& st, bool& wrote, std::string& err) {
    if (c.IsRead(t.root))
        return Locked(err);
    std::vector<int32_t> rowids;
    Rc rc = CollectRowids(c, t, st.where, rowids, err);
    if (rc != kOk)
        return rc;
    c.changes = 0;
    if (rowids.empty())
        return kOk;
    std::unique_ptr<BtCursor> tab;
    if ((rc = c.Bt().Cursor(t.root, true, tab)) != kOk)
        return Fail(rc, err);
    IndexCursors ic(c, t);
    BtCursor* cur = nullptr;
    std::vector<Value> row;
    unsigned char k[4];
    int count = 0;
    std::vector<int> indexed;
    for (const Index* ix : t.indexes)
        indexed.insert(indexed.end(), ix->columns.begin(), ix->columns.end());
    for (int32_t rowid : rowids) {
        bool found = false;
        if ((rc = ReadRow(*tab, t, rowid, found, row, &indexed)) != kOk)
            return Fail(rc, err);
        if (!found)
            continue;
        wrote = true;
        for (size_t i = 0; i < t.indexes.size(); ++i)
            if ((rc = ic.Get(i, cur)) != kOk ||
                (rc = DeleteKey(*cur, IndexKey(*t.indexes[i], row, rowid))) != kOk)
                return Fail(rc, err);
        int res = 0;
        PutRowidKey(rowid, k);
        if ((rc = tab->Moveto(k, 4, res)) != kOk)
            return Fail(rc, err);
        if (res == 0 && tab->Valid() && (rc = tab->Delete()) != kOk)
            return Fail(rc, err);
        ++count;
    }
    c.changes = count;
    return kOk;
}

} // namespace sqlite2
