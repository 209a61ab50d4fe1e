#include <memory>

#include "sqlite2/Connection.h"
#include "sqlite2/Errors.h"
#include "sqlite2/Keys.h"
#include "sqlite2/Rows.h"
#include "sqlite2/Tokenizer.h"
#include "sqlite2/Writer.h"

namespace sqlite2 {

Rc AddMasterRow(Connection& c, const std::vector<Value>& row, std::string& err) {
    std::unique_ptr<BtCursor> cur;
    Rc rc = c.Bt().Cursor(2, true, cur);
    if (rc != kOk)
        return Fail(rc, err);
    bool empty = true;
    if ((rc = cur->Last(empty)) != kOk)
        return Fail(rc, err);
    int32_t rowid = 1;
    unsigned char k[4];
    if (!empty && cur->Valid()) {
        if ((rc = cur->Key(0, 4, k)) != kOk)
            return Fail(rc, err);
        rowid = GetRowidKey(k) + 1;
    }
    std::string rec = EncodeRecord(row);
    PutRowidKey(rowid, k);
    if ((rc = cur->Insert(k, 4, rec.data(), static_cast<int>(rec.size()))) != kOk)
        return Fail(rc, err);
    return kOk;
}

Rc ExecCreateTable(Connection& c, Schema& s, const Statement& st, bool& wrote, std::string& err) {
    if (s.FindTable(st.table) || s.FindIndex(st.table)) {
        err = "table " + st.table + " already exists";
        return kError;
    }
    std::string derr;
    Table* t = s.AddTable(st, 0, derr);
    if (!t) {
        err = derr;
        return kError;
    }
    wrote = true;
    Rc rc = c.ChangeCookie(err);
    if (rc != kOk)
        return rc;
    // Implied indexes get their roots first, as the real engine allocates them.
    for (Index* ix : t->indexes)
        if ((rc = c.Bt().CreateIndex(ix->root)) != kOk)
            return Fail(rc, err);
    if ((rc = c.Bt().CreateTable(t->root)) != kOk)
        return Fail(rc, err);
    if ((rc = AddMasterRow(c, {"table", t->name, t->name, std::to_string(t->root), st.sql}, err)))
        return rc;
    for (Index* ix : t->indexes)
        if ((rc = AddMasterRow(c, {"index", ix->name, t->name, std::to_string(ix->root), {}}, err)))
            return rc;
    return kOk;
}

Rc ExecCreateIndex(Connection& c, Schema& s, const Statement& st, bool& wrote, std::string& err) {
    Table* t = s.FindTable(st.table);
    if (!t || t->isMaster) {
        err = t ? "table sqlite_master may not be indexed" : "no such table: " + st.table;
        return kError;
    }
    if (c.IsRead(t->root)) {
        err = ErrorString(kLocked);
        return kLocked;
    }
    std::string derr;
    Index* ix = s.AddIndex(st, 0, derr);
    if (!ix) {
        err = derr;
        return kError;
    }
    wrote = true;
    Rc rc = c.ChangeCookie(err);
    if (rc != kOk)
        return rc;
    if ((rc = c.Bt().CreateIndex(ix->root)) != kOk)
        return Fail(rc, err);
    // Entries for the rows already there.
    std::unique_ptr<BtCursor> tab, idx;
    if ((rc = c.Bt().Cursor(t->root, false, tab)) != kOk ||
        (rc = c.Bt().Cursor(ix->root, true, idx)) != kOk)
        return Fail(rc, err);
    bool done = true;
    if ((rc = tab->First(done)) != kOk)
        return Fail(rc, err);
    RowReader reader;
    std::vector<Value> row;
    unsigned char k[4];
    std::string prev;
    while (!done) {
        if ((rc = tab->Key(0, 4, k)) != kOk)
            return Fail(rc, err);
        int32_t rowid = GetRowidKey(k);
        reader.Reset(tab.get(), t, rowid);
        if ((rc = reader.GetSome(ix->columns, row)) != kOk)
            return Fail(rc, err);
        if (t->rowidColumn >= 0)
            row[static_cast<size_t>(t->rowidColumn)].reset();
        if (ix->unique) {
            std::string prefix = IndexKey(*ix, row, rowid, false);
            int res = 0;
            if ((rc = idx->Moveto(prefix.data(), static_cast<int>(prefix.size()), res)) != kOk)
                return Fail(rc, err);
            bool end = false;
            if (idx->Valid() && res < 0 && (rc = idx->Next(end)) != kOk)
                return Fail(rc, err);
            if (idx->Valid() && !end) {
                int n = 0;
                idx->KeySize(n);
                std::string key(static_cast<size_t>(n), '\0');
                idx->Key(0, n, key.data());
                if (key.size() == prefix.size() + 4 && key.compare(0, prefix.size(), prefix) == 0) {
                    err = "indexed columns are not unique";
                    return kConstraint;
                }
            }
        }
        std::string key = IndexKey(*ix, row, rowid);
        if ((rc = idx->Insert(key.data(), static_cast<int>(key.size()), nullptr, 0)) != kOk)
            return Fail(rc, err);
        if ((rc = tab->Next(done)) != kOk)
            return Fail(rc, err);
    }
    return AddMasterRow(c, {"index", ix->name, t->name, std::to_string(ix->root), st.sql}, err);
}

Rc ExecDrop(Connection& c, Schema& s, const Statement& st, bool& wrote, std::string& err) {
    bool table = st.kind == Statement::Kind::DropTable;
    Table* t = table ? s.FindTable(st.table) : nullptr;
    Index* ix = table ? nullptr : s.FindIndex(st.table);
    if (table ? !t : !ix) {
        err = std::string(table ? "no such table: " : "no such index: ") + st.table;
        return kError;
    }
    if ((t && t->isMaster)) {
        err = "table sqlite_master may not be dropped";
        return kError;
    }
    if (ix && ix->autoIndex) {
        err = "index associated with UNIQUE or PRIMARY KEY constraint cannot be dropped";
        return kError;
    }
    const Table& owner = t ? *t : *ix->table;
    if (c.IsRead(owner.root)) {
        err = ErrorString(kLocked);
        return kLocked;
    }
    wrote = true;
    Rc rc = c.ChangeCookie(err);
    if (rc != kOk)
        return rc;
    // Remove the sqlite_master rows first, then free the trees.
    std::unique_ptr<BtCursor> m;
    if ((rc = c.Bt().Cursor(2, true, m)) != kOk)
        return Fail(rc, err);
    std::vector<int32_t> doomed;
    bool done = true;
    if ((rc = m->First(done)) != kOk)
        return Fail(rc, err);
    RowReader reader;
    unsigned char k[4];
    while (!done) {
        if ((rc = m->Key(0, 4, k)) != kOk)
            return Fail(rc, err);
        reader.Reset(m.get(), s.Master(), GetRowidKey(k));
        Value name, tbl;
        if ((rc = reader.Get(1, name)) != kOk || (rc = reader.Get(2, tbl)) != kOk)
            return Fail(rc, err);
        if (t ? (tbl && EqualsNoCase(*tbl, t->name)) : (name && EqualsNoCase(*name, ix->name)))
            doomed.push_back(reader.Rowid());
        if ((rc = m->Next(done)) != kOk)
            return Fail(rc, err);
    }
    for (int32_t r : doomed) {
        int res = 0;
        PutRowidKey(r, k);
        if ((rc = m->Moveto(k, 4, res)) != kOk || (res == 0 && (rc = m->Delete()) != kOk))
            return Fail(rc, err);
    }
    m.reset();
    std::vector<int> roots;
    if (t) {
        for (const Index* i : t->indexes)
            roots.push_back(i->root);
        roots.push_back(t->root);
        s.RemoveTable(t);
    } else {
        roots.push_back(ix->root);
        s.RemoveIndex(ix);
    }
    for (int r : roots)
        if ((rc = c.Bt().DropTable(r)) != kOk)
            return Fail(rc, err);
    return kOk;
}

} // namespace sqlite2
