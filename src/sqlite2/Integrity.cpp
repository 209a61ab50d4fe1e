#include <memory>

#include "sqlite2/Connection.h"
#include "sqlite2/Errors.h"
#include "sqlite2/Maintenance.h"
#include "sqlite2/Rows.h"
#include "sqlite2/Writer.h"

namespace sqlite2 {
namespace {

// Checks one table's indexes: every row has its entry, every index as many entries as rows.
Rc CheckIndexes(Connection& c, const Table& t, std::vector<std::string>& rows) {
    std::unique_ptr<BtCursor> tab;
    Rc rc = c.Bt().Cursor(t.root, false, tab);
    if (rc != kOk)
        return rc;
    std::vector<std::unique_ptr<BtCursor>> idx(t.indexes.size());
    for (size_t i = 0; i < idx.size(); ++i)
        if ((rc = c.Bt().Cursor(t.indexes[i]->root, false, idx[i])) != kOk)
            return rc;
    bool done = true;
    if ((rc = tab->First(done)) != kOk)
        return rc;
    RowReader reader;
    std::vector<Value> row;
    unsigned char k[4];
    long long count = 0;
    std::vector<int> indexed;
    for (const Index* ix : t.indexes)
        indexed.insert(indexed.end(), ix->columns.begin(), ix->columns.end());
    while (!done) {
        int nk = 0;
        if ((rc = tab->KeySize(nk)) != kOk)
            return rc;
        if (nk != 4)
            return kCorrupt;
        if ((rc = tab->Key(0, 4, k)) != kOk)
            return rc;
        int32_t rowid = GetRowidKey(k);
        reader.Reset(tab.get(), &t, rowid);
        if ((rc = reader.GetSome(indexed, row)) != kOk)
            return rc;
        if (t.rowidColumn >= 0)
            row[static_cast<size_t>(t.rowidColumn)].reset();
        ++count;
        for (size_t i = 0; i < idx.size(); ++i) {
            std::string key = IndexKey(*t.indexes[i], row, rowid);
            int res = 0;
            if ((rc = idx[i]->Moveto(key.data(), static_cast<int>(key.size()), res)) != kOk)
                return rc;
            if (res != 0 || !idx[i]->Valid())
                rows.push_back("rowid " + std::to_string(rowid) + " missing from index " +
                               t.indexes[i]->name);
        }
        if ((rc = tab->Next(done)) != kOk)
            return rc;
    }
    for (size_t i = 0; i < idx.size(); ++i) {
        long long n = 0;
        bool end = true;
        if ((rc = idx[i]->First(end)) != kOk)
            return rc;
        while (!end) {
            ++n;
            if ((rc = idx[i]->Next(end)) != kOk)
                return rc;
        }
        if (n != count)
            rows.push_back("wrong # of entries in index " + t.indexes[i]->name);
    }
    return kOk;
}

} // namespace

Rc IntegrityCheck(Connection& c, const Schema& s, std::vector<std::string>& rows,
                  std::string& err) {
    rows.clear();
    // A cursor on sqlite_master holds the read lock for the whole check.
    std::unique_ptr<BtCursor> lock;
    Rc rc = c.Bt().Cursor(2, false, lock);
    if (rc != kOk)
        return Fail(rc, err);
    if ((rc = c.VerifyCookie(s, err)) != kOk)
        return rc;
    std::vector<int> roots{2};
    for (const auto& t : s.Tables())
        roots.push_back(t->root);
    for (const auto& ix : s.Indexes())
        roots.push_back(ix->root);
    std::vector<std::string> errors;
    c.Bt().IntegrityCheck(roots, errors);
    if (!errors.empty()) {
        std::string r = "*** in database main ***\n";
        for (size_t i = 0; i < errors.size(); ++i)
            r += (i ? "\n" : "") + errors[i];
        rows.push_back(r);
    }
    for (const auto& t : s.Tables()) {
        if (t->indexes.empty())
            continue;
        std::vector<std::string> found;
        rc = CheckIndexes(c, *t, found);
        // Unreadable pages were already reported by the page check; without such a report
        // the failure itself is the answer.
        if (rc != kOk && errors.empty())
            return Fail(rc, err);
        if (rc == kOk)
            rows.insert(rows.end(), found.begin(), found.end());
    }
    if (rows.empty())
        rows.push_back("ok");
    return kOk;
}

} // namespace sqlite2
