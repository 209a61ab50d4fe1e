#include "sqlite2/Rows.h"

#include "sqlite2/Connection.h"
#include "sqlite2/Errors.h"
#include "sqlite2/Keys.h"
#include "sqlite2/Tokenizer.h"

namespace sqlite2 {

std::string RowidText(int32_t rowid) {
    return std::to_string(rowid);
}

Rc RowReader::Load() {
    int n = 0;
    Rc rc = m_cur->DataSize(n);
    if (rc != kOk)
        return rc;
    if (n < 0)
        return kCorrupt;
    m_size = static_cast<size_t>(n);
    size_t nCols = m_table->columns.size();
    size_t need = m_size == 0 ? 0 : (nCols + 1) * static_cast<size_t>(OffsetWidth(m_size));
    if (need > m_size)
        return kCorrupt;
    m_header.resize(need);
    if (need > 0 && (rc = m_cur->Data(0, static_cast<int>(need), m_header.data())) != kOk)
        return rc;
    if (!DecodeOffsets(m_header.data(), need, m_size, static_cast<int>(nCols), m_off))
        return kCorrupt;
    m_loaded = true;
    return kOk;
}

Rc RowReader::Get(int column, Value& out) {
    if (column == kRowidRef || column == m_table->rowidColumn) {
        out = RowidText(m_rowid);
        return kOk;
    }
    if (!m_loaded) {
        Rc rc = Load();
        if (rc != kOk)
            return rc;
    }
    uint32_t a = m_off[static_cast<size_t>(column)], b = m_off[static_cast<size_t>(column) + 1];
    if (b <= a) {
        out.reset();
        return kOk;
    }
    std::string s(b - a - 1, '\0');
    if (b - a > 1) {
        Rc rc = m_cur->Data(static_cast<int>(a), static_cast<int>(b - a - 1), s.data());
        if (rc != kOk)
            return rc;
    }
    out = std::move(s);
    return kOk;
}

Rc RowReader::GetAll(std::vector<Value>& out) {
    out.resize(m_table->columns.size());
    for (size_t i = 0; i < out.size(); ++i) {
        Rc rc = Get(static_cast<int>(i), out[i]);
        if (rc != kOk)
            return rc;
    }
    return kOk;
}

Rc RowReader::GetSome(const std::vector<int>& columns, std::vector<Value>& out) {
    out.assign(m_table->columns.size(), std::nullopt);
    for (int c : columns) {
        if (c < 0 || c == m_table->rowidColumn)
            continue;
        Rc rc = Get(c, out[static_cast<size_t>(c)]);
        if (rc != kOk)
            return rc;
    }
    return kOk;
}

namespace {

bool IsConst(const Expr& e) {
    return e.kind != Expr::Kind::Column;
}

bool Apply(CmpOp op, int c) {
    switch (op) {
    case CmpOp::Eq:
        return c == 0;
    case CmpOp::Ne:
        return c != 0;
    case CmpOp::Lt:
        return c < 0;
    case CmpOp::Le:
        return c <= 0;
    case CmpOp::Gt:
        return c > 0;
    case CmpOp::Ge:
        return c >= 0;
    }
    return false;
}

bool IsRowid(const Table& t, const Expr& e) {
    return e.kind == Expr::Kind::Column && (e.column == kRowidRef || e.column == t.rowidColumn);
}

} // namespace

Rc Filter::Prepare(Connection& c, const std::vector<Term>& where, std::string& err) {
    m_terms.clear();
    for (const Term& term : where) {
        T t{&term,
            std::nullopt,
            std::nullopt,
            IsConst(term.lhs),
            IsConst(term.rhs),
            term.lhs.numericClass,
            term.rhs.numericClass};
        for (int side = 0; side < 2; ++side) {
            const Expr& e = side ? term.rhs : term.lhs;
            Value& v = side ? t.rhs : t.lhs;
            if (e.kind == Expr::Kind::Literal) {
                v = e.text;
            } else if (e.kind == Expr::Kind::Subquery) {
                Rc rc = EvalScalar(c, *e.sub, v, err);
                if (rc != kOk)
                    return rc;
            }
        }
        m_terms.push_back(std::move(t));
    }
    return kOk;
}

Plan Filter::Choose(const Table& t) const {
    Plan p;
    for (size_t i = 0; i < m_terms.size(); ++i) {
        const T& x = m_terms[i];
        if (x.term->op != CmpOp::Eq)
            continue;
        const Value* v = nullptr;
        if (IsRowid(t, x.term->lhs) && x.rhsConst)
            v = &x.rhs;
        else if (IsRowid(t, x.term->rhs) && x.lhsConst)
            v = &x.lhs;
        if (!v)
            continue;
        p.usedTerm = static_cast<int>(i);
        if (!*v || !ToRowid(**v, p.rowid)) {
            p.kind = Plan::Kind::Empty;
            return p;
        }
        p.kind = Plan::Kind::Rowid;
        return p;
    }
    for (const Index* ix : t.indexes) {
        int col = ix->columns[0];
        const Column& column = t.columns[static_cast<size_t>(col)];
        for (size_t i = 0; i < m_terms.size(); ++i) {
            const T& x = m_terms[i];
            if (x.term->op != CmpOp::Eq)
                continue;
            const Value* v = nullptr;
            bool vNumeric = false;
            if (x.term->lhs.kind == Expr::Kind::Column && x.term->lhs.column == col && x.rhsConst) {
                v = &x.rhs;
                vNumeric = x.rhsNumeric;
            } else if (x.term->rhs.kind == Expr::Kind::Column && x.term->rhs.column == col &&
                       x.lhsConst) {
                v = &x.lhs;
                vNumeric = x.lhsNumeric;
            }
            // A text column compared with a number compares numerically: the index's text
            // keys cannot answer that.
            if (!v || (!column.numeric && vNumeric))
                continue;
            p.usedTerm = static_cast<int>(i);
            if (!*v) {
                p.kind = Plan::Kind::Empty;
                return p;
            }
            p.kind = Plan::Kind::Index;
            p.index = ix;
            AppendIndexField(*v, column.numeric, p.prefix);
            return p;
        }
    }
    return p;
}

bool Filter::NeedsRecord(int skipTerm) const {
    for (size_t i = 0; i < m_terms.size(); ++i) {
        if (static_cast<int>(i) == skipTerm)
            continue;
        for (const Expr* e : {&m_terms[i].term->lhs, &m_terms[i].term->rhs})
            if (e->kind == Expr::Kind::Column && e->column != kRowidRef)
                return true;
    }
    return false;
}

Rc Filter::Matches(RowReader& row, int skipTerm, bool& match) {
    match = false;
    Value l, r;
    for (size_t i = 0; i < m_terms.size(); ++i) {
        if (static_cast<int>(i) == skipTerm)
            continue;
        T& x = m_terms[i];
        const Value* lp = &x.lhs;
        const Value* rp = &x.rhs;
        if (!x.lhsConst) {
            Rc rc = row.Get(x.term->lhs.column, l);
            if (rc != kOk)
                return rc;
            lp = &l;
        }
        if (!x.rhsConst) {
            Rc rc = row.Get(x.term->rhs.column, r);
            if (rc != kOk)
                return rc;
            rp = &r;
        }
        if (!*lp || !*rp)
            return kOk;
        if (!Apply(x.term->op, CompareValues(**lp, x.lhsNumeric, **rp, x.rhsNumeric)))
            return kOk;
    }
    match = true;
    return kOk;
}

Rc Scanner::Open(Connection& c, const Table& t, const Plan& plan, bool needRecord, std::string& err,
                 std::unique_ptr<BtCursor> tab) {
    Close();
    m_conn = &c;
    m_table = &t;
    m_plan = plan;
    m_needRecord = needRecord || plan.kind != Plan::Kind::Index;
    m_started = m_done = false;
    if (plan.kind == Plan::Kind::Empty) {
        m_done = true;
        return kOk;
    }
    Rc rc = kOk;
    if (plan.kind == Plan::Kind::Index)
        rc = c.Bt().Cursor(plan.index->root, false, m_idx);
    if (rc == kOk && m_needRecord) {
        if (tab)
            m_tab = std::move(tab);
        else
            rc = c.Bt().Cursor(t.root, false, m_tab);
    }
    if (rc != kOk) {
        m_idx.reset();
        m_tab.reset();
        err = ErrorString(rc);
        return rc;
    }
    c.AddReader(t.root);
    return kOk;
}

void Scanner::Close() {
    if (m_conn && (m_tab || m_idx))
        m_conn->RemoveReader(m_table->root);
    m_idx.reset();
    m_tab.reset();
    m_conn = nullptr;
}

Rc Scanner::Next(bool& have, std::string& err) {
    have = false;
    if (m_done)
        return kOk;
    auto fail = [&](Rc rc) {
        m_done = true;
        err = ErrorString(rc);
        return rc;
    };
    unsigned char kb[4];
    Rc rc = kOk;
    bool done = false;
    switch (m_plan.kind) {
    case Plan::Kind::Empty:
        m_done = true;
        return kOk;
    case Plan::Kind::Rowid: {
        m_done = true;
        int res = 0;
        PutRowidKey(m_plan.rowid, kb);
        if ((rc = m_tab->Moveto(kb, 4, res)) != kOk)
            return fail(rc);
        if (res != 0 || !m_tab->Valid())
            return kOk;
        m_row.Reset(m_tab.get(), m_table, m_plan.rowid);
        have = true;
        return kOk;
    }
    case Plan::Kind::Scan: {
        if (!m_started) {
            m_started = true;
            rc = m_tab->First(done);
        } else {
            rc = m_tab->Next(done);
        }
        if (rc != kOk)
            return fail(rc);
        if (done) {
            m_done = true;
            return kOk;
        }
        int n = 0;
        if ((rc = m_tab->KeySize(n)) != kOk)
            return fail(rc);
        if (n != 4)
            return fail(kCorrupt);
        if ((rc = m_tab->Key(0, 4, kb)) != kOk)
            return fail(rc);
        m_row.Reset(m_tab.get(), m_table, GetRowidKey(kb));
        have = true;
        return kOk;
    }
    case Plan::Kind::Index:
        break;
    }
    for (;;) {
        if (!m_started) {
            m_started = true;
            int res = 0;
            rc = m_idx->Moveto(m_plan.prefix.data(), static_cast<int>(m_plan.prefix.size()), res);
            if (rc != kOk)
                return fail(rc);
            if (!m_idx->Valid()) {
                m_done = true;
                return kOk;
            }
            if (res < 0 && (rc = m_idx->Next(done)) != kOk)
                return fail(rc);
        } else if ((rc = m_idx->Next(done)) != kOk) {
            return fail(rc);
        }
        if (done || !m_idx->Valid()) {
            m_done = true;
            return kOk;
        }
        int n = 0;
        if ((rc = m_idx->KeySize(n)) != kOk)
            return fail(rc);
        size_t plen = m_plan.prefix.size();
        m_key.resize(static_cast<size_t>(n));
        if (n > 0 && (rc = m_idx->Key(0, n, m_key.data())) != kOk)
            return fail(rc);
        // Keys holding the value are contiguous: the first other key ends the range.
        if (m_key.size() < plen || m_key.compare(0, plen, m_plan.prefix) != 0) {
            m_done = true;
            return kOk;
        }
        if (m_key.size() < plen + 4)
            continue;
        int32_t rowid = GetRowidKey(reinterpret_cast<const unsigned char*>(m_key.data()) + n - 4);
        if (m_needRecord) {
            int res = 0;
            PutRowidKey(rowid, kb);
            if ((rc = m_tab->Moveto(kb, 4, res)) != kOk)
                return fail(rc);
            if (res != 0 || !m_tab->Valid())
                continue; // an index entry without its row
        }
        m_row.Reset(m_needRecord ? m_tab.get() : nullptr, m_table, rowid);
        have = true;
        return kOk;
    }
}

Rc ResolveExpr(Connection& c, const Schema& s, const Table& t, Expr& e, std::string& err) {
    switch (e.kind) {
    case Expr::Kind::Column: {
        int idx = t.FindColumn(e.text);
        if (idx < 0 && !t.isMaster &&
            (EqualsNoCase(e.text, "rowid") || EqualsNoCase(e.text, "oid") ||
             EqualsNoCase(e.text, "_rowid_")))
            idx = kRowidRef;
        if (idx == -1) {
            if (e.dquoted) {
                e.kind = Expr::Kind::Literal;
                e.numeric = e.numericClass = false;
                return kOk;
            }
            err = "no such column: " + e.text;
            return kError;
        }
        e.column = idx;
        e.numericClass =
            idx < 0 || idx == t.rowidColumn || t.columns[static_cast<size_t>(idx)].numeric;
        return kOk;
    }
    case Expr::Kind::Literal:
        e.numericClass = e.numeric;
        return kOk;
    case Expr::Kind::Subquery: {
        Rc rc = ResolveSelect(c, s, *e.sub, err);
        if (rc != kOk)
            return rc;
        e.numericClass = e.sub->columns[0].numericClass;
        return kOk;
    }
    case Expr::Kind::CountStar:
        e.numericClass = true;
        return kOk;
    case Expr::Kind::Null:
        return kOk;
    }
    return kOk;
}

Rc ResolveWhere(Connection& c, const Schema& s, const Table& t, std::vector<Term>& where,
                std::string& err) {
    for (Term& term : where) {
        Rc rc = ResolveExpr(c, s, t, term.lhs, err);
        if (rc == kOk)
            rc = ResolveExpr(c, s, t, term.rhs, err);
        if (rc != kOk)
            return rc;
    }
    return kOk;
}

Rc ResolveSelect(Connection& c, const Schema& s, SelectStmt& sel, std::string& err) {
    sel.tableRef = s.FindTable(sel.table);
    if (!sel.tableRef) {
        err = "no such table: " + sel.table;
        return kError;
    }
    const Table& t = *sel.tableRef;
    for (Expr& e : sel.columns) {
        Rc rc = ResolveExpr(c, s, t, e, err);
        if (rc != kOk)
            return rc;
    }
    Rc rc = ResolveWhere(c, s, t, sel.where, err);
    if (rc == kOk && sel.hasOrder)
        rc = ResolveExpr(c, s, t, sel.orderBy, err);
    return rc;
}

Rc EvalScalar(Connection& c, const SelectStmt& sel, Value& out, std::string& err) {
    out.reset();
    Filter f;
    Rc rc = f.Prepare(c, sel.where, err);
    if (rc != kOk)
        return rc;
    const Table& t = *sel.tableRef;
    Plan plan = f.Choose(t);
    const Expr& col = sel.columns[0];
    bool needRecord =
        f.NeedsRecord(plan.usedTerm) ||
        (col.kind == Expr::Kind::Column && col.column != kRowidRef && col.column != t.rowidColumn);
    Scanner sc;
    if ((rc = sc.Open(c, t, plan, needRecord, err)) != kOk)
        return rc;
    long long count = 0;
    for (;;) {
        bool have = false;
        if ((rc = sc.Next(have, err)) != kOk)
            return rc;
        if (!have)
            break;
        bool match = false;
        if ((rc = f.Matches(sc.Row(), plan.usedTerm, match)) != kOk) {
            err = ErrorString(rc);
            return rc;
        }
        if (!match)
            continue;
        if (col.kind == Expr::Kind::CountStar) {
            ++count;
            continue;
        }
        if (col.kind == Expr::Kind::Column) {
            if ((rc = sc.Row().Get(col.column, out)) != kOk) {
                err = ErrorString(rc);
                return rc;
            }
        } else if (col.kind == Expr::Kind::Literal) {
            out = col.text;
        }
        return kOk;
    }
    if (col.kind == Expr::Kind::CountStar)
        out = std::to_string(count);
    return kOk;
}

} // namespace sqlite2
