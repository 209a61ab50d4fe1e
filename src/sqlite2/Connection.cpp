#include "sqlite2/Connection.h"

#include <cstdlib>
#include <random>

#include "sqlite2/Errors.h"
#include "sqlite2/Parser.h"
#include "sqlite2/Record.h"
#include "sqlite2/Vm.h"

namespace sqlite2 {

unsigned RandomInt() {
    thread_local std::mt19937 gen{std::random_device{}()};
    return static_cast<unsigned>(gen());
}

Connection::Connection(std::unique_ptr<Btree> bt, BtreeOpener opener)
    : m_bt(std::move(bt)), m_opener(std::move(opener)) {}

Connection::~Connection() {
    Close();
}

std::unique_ptr<Connection> Connection::Open(const std::string& path, const BtreeOpener& opener,
                                             std::string& err) {
    std::unique_ptr<Btree> bt;
    Rc rc = opener(path, bt, err);
    if (rc != kOk || !bt) {
        if (err.empty())
            err = ErrorString(rc ? rc : kCantOpen);
        return nullptr;
    }
    auto c = std::make_unique<Connection>(std::move(bt), opener);
    rc = c->LoadSchema(err);
    // A locked file still opens; the schema is read by the first statement.
    if (rc != kOk && rc != kBusy) {
        c->Close();
        return nullptr;
    }
    err.clear();
    return c;
}

void Connection::Close() {
    while (!m_vms.empty()) {
        Vm* vm = *m_vms.begin();
        vm->Kill();
        m_vms.erase(vm);
    }
    if (m_bt) {
        if (m_inTrans || m_bt->InTrans())
            m_bt->Rollback();
        m_inTrans = false;
        m_bt.reset();
    }
    m_schema.reset();
}

void Connection::RemoveReader(int root) {
    auto it = m_readers.find(root);
    if (it != m_readers.end() && --it->second <= 0)
        m_readers.erase(it);
}

bool Connection::IsRead(int root) const {
    return m_readers.count(root) != 0;
}

Rc Connection::EnsureSchema(std::string& err) {
    if (m_schema)
        return kOk;
    return LoadSchema(err);
}

namespace {

Rc Corrupt(std::string& err) {
    err = ErrorString(kCorrupt);
    return kCorrupt;
}

bool ParseRoot(const Value& v, int& root) {
    if (!v || v->empty() || v->size() > 10)
        return false;
    long long r = 0;
    for (char c : *v) {
        if (c < '0' || c > '9')
            return false;
        r = r * 10 + (c - '0');
    }
    if (r < 2 || r > 1073741823)
        return false;
    root = static_cast<int>(r);
    return true;
}

} // namespace

Rc Connection::LoadSchema(std::string& err) {
    m_schema.reset();
    std::unique_ptr<BtCursor> cur;
    Rc rc = m_bt->Cursor(2, false, cur);
    if (rc != kOk) {
        err = ErrorString(rc);
        return rc;
    }
    int meta[10] = {};
    rc = m_bt->GetMeta(meta);
    if (rc != kOk) {
        err = ErrorString(rc);
        return rc;
    }
    if (meta[2] > 4) {
        err = "unsupported file format";
        return kError;
    }
    auto schema = std::make_shared<Schema>();
    schema->cookie = meta[1];
    bool empty = true;
    rc = cur->First(empty);
    if (rc != kOk) {
        err = ErrorString(rc);
        return rc;
    }
    std::string data;
    std::vector<Value> row;
    for (bool done = empty; !done;) {
        int n = 0;
        if ((rc = cur->DataSize(n)) != kOk || n < 0 || n > static_cast<int>(kMaxRecordSize) * 2)
            return rc ? (err = ErrorString(rc), rc) : Corrupt(err);
        data.resize(static_cast<size_t>(n));
        if (n > 0 && (rc = cur->Data(0, n, data.data())) != kOk) {
            err = ErrorString(rc);
            return rc;
        }
        if (!DecodeRecord(data, 5, row) || !row[0] || !row[1])
            return Corrupt(err);
        const std::string& type = *row[0];
        int root = 0;
        if (type == "table" || type == "index") {
            if (!ParseRoot(row[3], root))
                return Corrupt(err);
            std::string derr;
            if (!row[4]) {
                Index* ix = type == "index" ? schema->FindIndex(*row[1]) : nullptr;
                if (!ix || !ix->autoIndex || ix->root != 0)
                    return Corrupt(err);
                ix->root = root;
            } else {
                ParseResult pr = ParseStatement(*row[4]);
                if (pr.rc != kOk || !pr.stmt)
                    return Corrupt(err);
                bool isTable = pr.stmt->kind == Statement::Kind::CreateTable;
                bool isIndex = pr.stmt->kind == Statement::Kind::CreateIndex;
                if (type == "table" ? !isTable : !isIndex)
                    return Corrupt(err);
                if (isTable ? !schema->AddTable(*pr.stmt, root, derr)
                            : !schema->AddIndex(*pr.stmt, root, derr))
                    return Corrupt(err);
            }
        }
        if ((rc = cur->Next(done)) != kOk) {
            err = ErrorString(rc);
            return rc;
        }
    }
    for (const auto& ix : schema->Indexes())
        if (ix->root == 0)
            return Corrupt(err);
    m_schema = std::move(schema);
    return kOk;
}

Rc Connection::VerifyCookie(const Schema& s, std::string& err) {
    int meta[10] = {};
    Rc rc = m_bt->GetMeta(meta);
    if (rc != kOk) {
        err = ErrorString(rc);
        return rc;
    }
    if (meta[1] != s.cookie) {
        if (m_schema.get() == &s)
            m_schema.reset();
        err = ErrorString(kSchema);
        return kSchema;
    }
    return kOk;
}

Rc Connection::ChangeCookie(std::string& err) {
    int meta[10] = {};
    Rc rc = m_bt->GetMeta(meta);
    if (rc == kOk && !m_cookieChanged) {
        meta[1] = meta[1] + 1 + static_cast<int>(RandomInt() % 256);
        if (meta[2] == 0)
            meta[2] = 4;
        rc = m_bt->UpdateMeta(meta);
        if (rc == kOk)
            m_cookieChanged = true;
    }
    if (rc != kOk) {
        err = ErrorString(rc);
        return rc;
    }
    if (m_schema)
        m_schema->cookie = meta[1];
    return kOk;
}

Rc Connection::Begin(bool rollbackOnConflict, std::string& err) {
    if (m_inTrans) {
        err = "cannot start a transaction within a transaction";
        return kError;
    }
    Rc rc = m_bt->BeginTrans();
    if (rc != kOk) {
        err = ErrorString(rc);
        return rc;
    }
    m_inTrans = true;
    m_rollbackOnConflict = rollbackOnConflict;
    m_cookieChanged = false;
    return kOk;
}

Rc Connection::Commit(std::string& err) {
    if (!m_inTrans) {
        err = "cannot commit - no transaction is active";
        return kError;
    }
    m_inTrans = false;
    m_cookieChanged = false;
    Rc rc = m_bt->Commit();
    if (rc != kOk) {
        // A failed commit leaves nothing half done: the transaction is undone.
        if (m_bt->InTrans())
            m_bt->Rollback();
        m_schema.reset();
        err = ErrorString(rc);
    }
    return rc;
}

Rc Connection::Rollback(std::string& err) {
    if (!m_inTrans) {
        err = "cannot rollback - no transaction is active";
        return kError;
    }
    m_inTrans = false;
    m_cookieChanged = false;
    m_schema.reset();
    Rc rc = m_bt->Rollback();
    if (rc != kOk)
        err = ErrorString(rc);
    return rc;
}

Rc Connection::RunWrite(const Schema& s, Conflict conflict, bool useCkpt,
                        const std::function<Rc(bool& wrote, std::string& err)>& body,
                        std::string& err) {
    bool autocommit = !m_inTrans;
    Rc rc;
    if (autocommit) {
        rc = m_bt->BeginTrans();
        if (rc != kOk) {
            err = ErrorString(rc);
            return rc;
        }
        m_cookieChanged = false;
    }
    rc = VerifyCookie(s, err);
    bool ckpt = false;
    if (rc == kOk && !autocommit && useCkpt) {
        rc = m_bt->BeginCkpt();
        if (rc != kOk)
            err = ErrorString(rc);
        ckpt = rc == kOk;
    }
    bool wrote = false;
    if (rc == kOk)
        rc = body(wrote, err);
    if (autocommit) {
        if (rc == kOk) {
            m_cookieChanged = false;
            rc = m_bt->Commit();
            if (rc != kOk) {
                if (m_bt->InTrans())
                    m_bt->Rollback();
                m_schema.reset();
                err = ErrorString(rc);
            }
        } else {
            if (wrote)
                m_schema.reset();
            m_cookieChanged = false;
            m_bt->Rollback();
        }
        return rc;
    }
    if (rc == kOk) {
        if (ckpt && (rc = m_bt->CommitCkpt()) != kOk)
            err = ErrorString(rc);
        return rc;
    }
    bool wholeTxn = rc == kConstraint && conflict == Conflict::Rollback;
    if (!wholeTxn && wrote) {
        // Undo the statement alone; without a checkpoint only the whole transaction can go.
        if (!ckpt || m_bt->RollbackCkpt() != kOk)
            wholeTxn = true;
        else
            m_schema.reset();
    } else if (ckpt) {
        m_bt->CommitCkpt();
    }
    if (wholeTxn) {
        std::string ignored;
        Rollback(ignored);
    }
    return rc;
}

} // namespace sqlite2
