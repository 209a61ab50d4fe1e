#include <filesystem>
#include <memory>

#include "sqlite2/Connection.h"
#include "sqlite2/Errors.h"
#include "sqlite2/Maintenance.h"
#include "sqlite2/Parser.h"
#include "sqlite2/Rows.h"
#include "sqlite2/Writer.h"

namespace sqlite2 {
namespace {

std::string TempName(const std::string& path) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (;;) {
        std::string p = path + "-";
        for (int i = 0; i < 20; ++i)
            p += kChars[RandomInt() % 36];
        std::error_code ec;
        if (!std::filesystem::exists(p, ec) && !std::filesystem::exists(p + "-journal", ec))
            return p;
    }
}

void RemoveFiles(const std::string& p) {
    std::error_code ec;
    std::filesystem::remove(p, ec);
    std::filesystem::remove(p + "-journal", ec);
}

// Copies every row of a table verbatim (same rowid keys and records) and adds the entries
// of its implied indexes.
Rc CopyRows(Connection& from, const Table& src, Connection& to, const Table& dst,
            std::string& err) {
    std::unique_ptr<BtCursor> in, out;
    Rc rc = from.Bt().Cursor(src.root, false, in);
    if (rc == kOk)
        rc = to.Bt().Cursor(dst.root, true, out);
    if (rc != kOk)
        return Fail(rc, err);
    std::vector<std::unique_ptr<BtCursor>> idx(dst.indexes.size());
    for (size_t i = 0; i < dst.indexes.size(); ++i)
        if ((rc = to.Bt().Cursor(dst.indexes[i]->root, true, idx[i])) != kOk)
            return Fail(rc, err);
    bool done = true;
    if ((rc = in->First(done)) != kOk)
        return Fail(rc, err);
    std::string data;
    std::vector<Value> row;
    std::vector<uint32_t> offsets;
    std::vector<int> indexed;
    for (const Index* ix : dst.indexes)
        for (int col : ix->columns)
            if (col != dst.rowidColumn)
                indexed.push_back(col);
    unsigned char k[4];
    while (!done) {
        int nk = 0, nd = 0;
        if ((rc = in->KeySize(nk)) != kOk || (rc = in->DataSize(nd)) != kOk)
            return Fail(rc, err);
        if (nk != 4 || nd < 0)
            return Fail(kCorrupt, err);
        data.resize(static_cast<size_t>(nd));
        if ((rc = in->Key(0, 4, k)) != kOk || (nd > 0 && (rc = in->Data(0, nd, data.data()))))
            return Fail(rc, err);
        if ((rc = out->Insert(k, 4, data.data(), nd)) != kOk)
            return Fail(rc, err);
        if (!dst.indexes.empty()) {
            if (!DecodeOffsets(reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                               data.size(), static_cast<int>(dst.columns.size()), offsets))
                return Fail(kCorrupt, err);
            row.assign(dst.columns.size(), std::nullopt);
            for (int col : indexed) {
                uint32_t a = offsets[static_cast<size_t>(col)],
                         b = offsets[static_cast<size_t>(col) + 1];
                if (b > a)
                    row[static_cast<size_t>(col)] = std::string(data.data() + a, b - a - 1);
            }
            int32_t rowid = GetRowidKey(k);
            for (size_t i = 0; i < dst.indexes.size(); ++i) {
                std::string key = IndexKey(*dst.indexes[i], row, rowid);
                if ((rc = idx[i]->Insert(key.data(), static_cast<int>(key.size()), nullptr, 0)))
                    return Fail(rc, err);
            }
        }
        if ((rc = in->Next(done)) != kOk)
            return Fail(rc, err);
    }
    return kOk;
}

// Builds the compacted copy: every CREATE text of sqlite_master in rowid order, each
// table's rows right after its CREATE TABLE.
Rc Build(Connection& c, const Schema& s, Connection& tmp, std::string& err) {
    std::unique_ptr<BtCursor> m;
    Rc rc = c.Bt().Cursor(2, false, m);
    if (rc != kOk)
        return Fail(rc, err);
    std::vector<std::string> sqls;
    bool done = true;
    if ((rc = m->First(done)) != kOk)
        return Fail(rc, err);
    RowReader reader;
    unsigned char k[4];
    while (!done) {
        if ((rc = m->Key(0, 4, k)) != kOk)
            return Fail(rc, err);
        reader.Reset(m.get(), s.Master(), GetRowidKey(k));
        Value sql;
        if ((rc = reader.Get(4, sql)) != kOk)
            return Fail(rc, err);
        if (sql)
            sqls.push_back(*sql);
        if ((rc = m->Next(done)) != kOk)
            return Fail(rc, err);
    }
    m.reset();
    Schema built;
    for (const std::string& sql : sqls) {
        ParseResult pr = ParseStatement(sql);
        if (pr.rc != kOk || !pr.stmt)
            return Fail(kCorrupt, err);
        bool wrote = false;
        const Statement& st = *pr.stmt;
        if (st.kind == Statement::Kind::CreateTable) {
            if ((rc = ExecCreateTable(tmp, built, st, wrote, err)) != kOk)
                return rc;
            const Table* src = s.FindTable(st.table);
            const Table* dst = built.FindTable(st.table);
            if (!src || !dst)
                return Fail(kCorrupt, err);
            if ((rc = CopyRows(c, *src, tmp, *dst, err)) != kOk)
                return rc;
        } else if (st.kind == Statement::Kind::CreateIndex) {
            if ((rc = ExecCreateIndex(tmp, built, st, wrote, err)) != kOk)
                return rc;
        }
    }
    return kOk;
}

} // namespace

Rc Vacuum(Connection& c, const Schema& s, std::string& err) {
    if (c.InTrans()) {
        err = "cannot VACUUM from within a transaction";
        return kError;
    }
    Rc rc = c.Begin(false, err);
    if (rc != kOk)
        return rc;
    std::string ignored;
    if ((rc = c.VerifyCookie(s, err)) != kOk) {
        c.Rollback(ignored);
        return rc;
    }
    int meta[10] = {};
    if ((rc = c.Bt().GetMeta(meta)) != kOk) {
        c.Rollback(ignored);
        return Fail(rc, err);
    }
    std::string tmpPath = TempName(c.Bt().FileName());
    std::unique_ptr<Btree> tbt;
    std::string oerr;
    rc = c.Opener()(tmpPath, tbt, oerr);
    if (rc != kOk || !tbt) {
        RemoveFiles(tmpPath);
        c.Rollback(ignored);
        err = "unable to open a temporary database at " + tmpPath + " - " +
              (oerr.empty() ? std::string("unable to open database: ") + tmpPath : oerr);
        return rc ? rc : kCantOpen;
    }
    tbt->SetSynchronous(false);
    {
        Connection tmp(std::move(tbt), c.Opener());
        rc = tmp.Begin(false, err);
        if (rc == kOk)
            rc = Build(c, s, tmp, err);
        if (rc == kOk) {
            int tm[10] = {};
            rc = tmp.Bt().GetMeta(tm);
            if (rc == kOk) {
                // A cookie that surely differs, so other connections reload the schema.
                tm[1] = meta[1] + 1 + static_cast<int>(RandomInt() % 256);
                tm[2] = 4;
                tm[3] = meta[3] ? meta[3] : 2000;
                tm[4] = meta[4] ? meta[4] : 2;
                tm[6] = meta[6];
                rc = tmp.Bt().UpdateMeta(tm);
            }
            if (rc != kOk)
                err = ErrorString(rc);
        }
        if (rc == kOk)
            rc = tmp.Commit(err);
        if (rc == kOk && (rc = c.Bt().CopyFrom(tmp.Bt())) != kOk)
            err = ErrorString(rc);
        tmp.Close();
    }
    RemoveFiles(tmpPath);
    if (rc != kOk) {
        c.Rollback(ignored);
        return rc;
    }
    rc = c.Commit(err);
    c.DiscardSchema();
    return rc;
}

} // namespace sqlite2
