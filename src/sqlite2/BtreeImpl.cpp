#include "sqlite2/BtreeImpl.h"

#include "sqlite2/BtCursorImpl.h"
#include "sqlite2/BtreeCheck.h"
#include "sqlite2/sqlite.h"

#include <algorithm>
#include <cstring>

namespace sqlite2 {

namespace {

const char* DefaultMessage(int rc) {
    switch (rc) {
    case SQLITE_BUSY:
        return "database is locked";
    case SQLITE_IOERR:
        return "disk I/O error";
    case SQLITE_CORRUPT:
        return "database disk image is malformed";
    case SQLITE_NOTADB:
        return "file is encrypted or is not a database";
    case SQLITE_FULL:
        return "database is full";
    case SQLITE_CANTOPEN:
        return "unable to open database file";
    default:
        return "SQL logic error or missing database";
    }
}

} // namespace

Rc Btree::Open(const std::string& path, std::unique_ptr<Btree>& out, std::string& errmsg) {
    std::unique_ptr<Pager> pager;
    int rc = Pager::Open(path, pager);
    if (rc != SQLITE_OK) {
        errmsg = "unable to open database: " + path;
        return SQLITE_CANTOPEN;
    }
    auto bt = std::make_unique<BtreeImpl>(std::move(pager));
    rc = bt->LockBtree();
    if (rc != SQLITE_OK && rc != SQLITE_BUSY) {
        errmsg = DefaultMessage(rc);
        return rc;
    }
    bt->UnlockIfUnused();
    out = std::move(bt);
    return SQLITE_OK;
}

BtreeImpl::BtreeImpl(std::unique_ptr<Pager> pager) : m_pager(std::move(pager)) {}

BtreeImpl::~BtreeImpl() {
    for (BtCursorImpl* c : m_cursors)
        c->Detach();
    m_cursors.clear();
    if (m_inTrans)
        Rollback();
    m_page1.Release();
}

int BtreeImpl::CheckHeader() {
    const uint8_t* d = m_page1.Data();
    if (m_pager->PageCount() == 0) {
        m_bo.big = false;
        return SQLITE_OK;
    }
    if (std::memcmp(d, kMagicText, kMagicTextSize) != 0)
        return SQLITE_NOTADB;
    const uint8_t* m = d + kOffMagicNumber;
    if (m[0] == 0x28 && m[1] == 0x75 && m[2] == 0xe3 && m[3] == 0xda)
        m_bo.big = false;
    else if (m[0] == 0xda && m[1] == 0xe3 && m[2] == 0x75 && m[3] == 0x28)
        m_bo.big = true;
    else
        return SQLITE_NOTADB;
    return SQLITE_OK;
}

int BtreeImpl::LockBtree() {
    if (m_page1)
        return SQLITE_OK;
    int rc = m_pager->Get(1, m_page1);
    if (rc != SQLITE_OK)
        return rc;
    rc = CheckHeader();
    if (rc != SQLITE_OK)
        m_page1.Release();
    return rc;
}

void BtreeImpl::UnlockIfUnused() {
    if (!m_inTrans && m_cursors.empty())
        m_page1.Release();
}

void BtreeImpl::NewDatabase() {
    uint8_t* d = m_page1.Data();
    std::memset(d, 0, kPageSize);
    std::memcpy(d, kMagicText, kMagicTextSize);
    m_bo.big = false;
    m_bo.Put32(d + kOffMagicNumber, kMagicNumber);
    m_page1.Hdr()->extraValid = false;
}

Rc BtreeImpl::BeginTrans() {
    if (m_inTrans)
        return SQLITE_ERROR;
    int rc = LockBtree();
    if (rc != SQLITE_OK)
        return rc;
    if (ReadOnly()) {
        m_inTrans = true;
        m_readOnlyTrans = true;
        return SQLITE_OK;
    }
    rc = m_pager->Begin();
    if (rc != SQLITE_OK) {
        UnlockIfUnused();
        return rc;
    }
    m_inTrans = true;
    m_readOnlyTrans = false;
    m_freedInTrans.clear();
    if (m_pager->PageCount() == 0) {
        rc = m_page1.MakeWritable();
        PageRef root;
        if (rc == SQLITE_OK)
            rc = m_pager->Get(2, root, true);
        if (rc == SQLITE_OK)
            rc = root.MakeWritable();
        if (rc != SQLITE_OK) {
            Rollback();
            return rc;
        }
        NewDatabase();
        WriteEmptyPage(m_bo, root.Hdr());
    }
    return SQLITE_OK;
}

void BtreeImpl::AfterRollback() {
    m_inTrans = false;
    m_inCkpt = false;
    m_freedInTrans.clear();
    if (m_page1 && CheckHeader() != SQLITE_OK)
        m_bo.big = false;
    UnlockIfUnused();
}

Rc BtreeImpl::Commit() {
    if (!m_inTrans)
        return SQLITE_ERROR;
    int rc = SQLITE_OK;
    if (!m_readOnlyTrans) {
        if (!m_cursors.empty())
            SaveAllCursors();
        rc = m_pager->Commit();
    }
    AfterRollback();
    return rc;
}

Rc BtreeImpl::Rollback() {
    if (!m_inTrans)
        return SQLITE_OK;
    SaveAllCursors();
    int rc = m_readOnlyTrans ? SQLITE_OK : m_pager->Rollback();
    AfterRollback();
    return rc;
}

Rc BtreeImpl::BeginCkpt() {
    if (!m_inTrans || m_inCkpt)
        return SQLITE_ERROR;
    if (!m_readOnlyTrans) {
        int rc = m_pager->CkptBegin();
        if (rc != SQLITE_OK)
            return rc;
    }
    m_inCkpt = true;
    return SQLITE_OK;
}

Rc BtreeImpl::CommitCkpt() {
    if (m_inCkpt && !m_readOnlyTrans)
        m_pager->CkptCommit();
    m_inCkpt = false;
    return SQLITE_OK;
}

Rc BtreeImpl::RollbackCkpt() {
    if (!m_inCkpt)
        return SQLITE_OK;
    m_inCkpt = false;
    if (m_readOnlyTrans)
        return SQLITE_OK;
    SaveAllCursors();
    int rc = m_pager->CkptRollback();
    if (m_page1 && CheckHeader() != SQLITE_OK)
        m_bo.big = false;
    return rc;
}

int BtreeImpl::LoadNode(Pgno pgno, PageRef& ref) {
    if (pgno < 2 || pgno > m_pager->PageCount())
        return SQLITE_CORRUPT;
    int rc = m_pager->Get(pgno, ref);
    if (rc != SQLITE_OK)
        return rc;
    PgHdr* pg = ref.Hdr();
    if (!pg->extraValid) {
        if (DecodePage(m_bo, pg->data, ViewOf(pg)) != SQLITE_OK) {
            ref.Release();
            return SQLITE_CORRUPT;
        }
        pg->extraValid = true;
    }
    return SQLITE_OK;
}

Rc BtreeImpl::CreateTable(int& root) {
    if (!m_inTrans)
        return SQLITE_ERROR;
    if (m_readOnlyTrans)
        return SQLITE_READONLY;
    PageRef ref;
    int rc = AllocatePage(ref);
    if (rc != SQLITE_OK)
        return rc;
    WriteEmptyPage(m_bo, ref.Hdr());
    root = int(ref.Number());
    return SQLITE_OK;
}

int BtreeImpl::ClearTree(Pgno root, bool freeRoot) {
    Pgno nPage = m_pager->PageCount();
    if (root < 2 || root > nPage)
        return SQLITE_CORRUPT;
    std::vector<bool> seen(size_t(nPage) + 1, false);
    std::vector<Pgno> stack{root};
    seen[root] = true;
    while (!stack.empty()) {
        Pgno p = stack.back();
        stack.pop_back();
        PageRef ref;
        int rc = LoadNode(p, ref);
        if (rc != SQLITE_OK)
            return rc;
        const MemPage& mp = ViewOf(ref.Hdr());
        for (int i = 0; i <= mp.nCell; i++) {
            Pgno child = ChildAt(m_bo, ref.Data(), mp, i);
            if (child != 0) {
                if (child < 2 || child > nPage || seen[child])
                    return SQLITE_CORRUPT;
                seen[child] = true;
                stack.push_back(child);
            }
            if (i < mp.nCell) {
                rc = FreeOverflow(ref.Data() + mp.cell[i]);
                if (rc != SQLITE_OK)
                    return rc;
            }
        }
        if (p == root && !freeRoot) {
            rc = ref.MakeWritable();
            if (rc != SQLITE_OK)
                return rc;
            WriteEmptyPage(m_bo, ref.Hdr());
        } else {
            ref.Release();
            rc = FreePage(p);
            if (rc != SQLITE_OK)
                return rc;
        }
    }
    return SQLITE_OK;
}

Rc BtreeImpl::DropTable(int root) {
    if (!m_inTrans)
        return SQLITE_ERROR;
    if (m_readOnlyTrans)
        return SQLITE_READONLY;
    if (HasCursor(Pgno(root)))
        return SQLITE_LOCKED;
    return ClearTree(Pgno(root), true);
}

Rc BtreeImpl::ClearTable(int root) {
    if (!m_inTrans)
        return SQLITE_ERROR;
    if (m_readOnlyTrans)
        return SQLITE_READONLY;
    if (HasReadCursor(Pgno(root), nullptr))
        return SQLITE_LOCKED;
    SaveCursors(Pgno(root), nullptr);
    return ClearTree(Pgno(root), false);
}

Rc BtreeImpl::GetMeta(int meta[10]) {
    int rc = LockBtree();
    if (rc != SQLITE_OK)
        return rc;
    const uint8_t* d = m_page1.Data();
    meta[0] = int(m_bo.Get32(d + kOffFreeCount));
    for (int i = 1; i < 10; i++)
        meta[i] = int(m_bo.Get32(d + kOffMeta1 + 4 * (i - 1)));
    UnlockIfUnused();
    return SQLITE_OK;
}

Rc BtreeImpl::UpdateMeta(const int meta[10]) {
    if (!m_inTrans)
        return SQLITE_ERROR;
    if (m_readOnlyTrans)
        return SQLITE_READONLY;
    int rc = m_page1.MakeWritable();
    if (rc != SQLITE_OK)
        return rc;
    uint8_t* d = m_page1.Data();
    for (int i = 1; i < 10; i++)
        m_bo.Put32(d + kOffMeta1 + 4 * (i - 1), uint32_t(meta[i]));
    return SQLITE_OK;
}

Rc BtreeImpl::Cursor(int root, bool writable, std::unique_ptr<BtCursor>& out) {
    if (writable && ReadOnly())
        return SQLITE_READONLY;
    int rc = LockBtree();
    if (rc != SQLITE_OK)
        return rc;
    out = std::make_unique<BtCursorImpl>(this, Pgno(root), writable);
    return SQLITE_OK;
}

void BtreeImpl::AddCursor(BtCursorImpl* c) {
    m_cursors.push_back(c);
}

void BtreeImpl::RemoveCursor(BtCursorImpl* c) {
    auto it = std::find(m_cursors.begin(), m_cursors.end(), c);
    if (it != m_cursors.end())
        m_cursors.erase(it);
    UnlockIfUnused();
}

void BtreeImpl::SaveCursors(Pgno root, BtCursorImpl* except) {
    for (BtCursorImpl* c : m_cursors) {
        if (c != except && c->Root() == root)
            c->SavePosition();
    }
}

void BtreeImpl::SaveAllCursors() {
    for (BtCursorImpl* c : m_cursors)
        c->SavePosition();
}

bool BtreeImpl::HasReadCursor(Pgno root, const BtCursorImpl* except) const {
    for (const BtCursorImpl* c : m_cursors) {
        if (c != except && c->Root() == root && !c->Writable())
            return true;
    }
    return false;
}

bool BtreeImpl::HasCursor(Pgno root) const {
    for (const BtCursorImpl* c : m_cursors) {
        if (c->Root() == root)
            return true;
    }
    return false;
}

Rc BtreeImpl::CopyFrom(Btree& source) {
    auto* src = dynamic_cast<BtreeImpl*>(&source);
    if (!src || !m_inTrans)
        return SQLITE_ERROR;
    if (m_readOnlyTrans)
        return SQLITE_READONLY;
    int rc = src->LockBtree();
    if (rc != SQLITE_OK)
        return rc;
    SaveAllCursors();
    Pgno n = src->m_pager->PageCount();
    for (Pgno p = 1; p <= n && rc == SQLITE_OK; p++) {
        PageRef from, to;
        rc = src->m_pager->Get(p, from);
        if (rc == SQLITE_OK)
            rc = m_pager->Get(p, to);
        if (rc == SQLITE_OK)
            rc = to.MakeWritable();
        if (rc == SQLITE_OK) {
            std::memcpy(to.Data(), from.Data(), kPageSize);
            to.Hdr()->extraValid = false;
        }
    }
    if (rc == SQLITE_OK && n < m_pager->PageCount())
        rc = m_pager->Truncate(n);
    src->UnlockIfUnused();
    m_freedInTrans.clear();
    if (rc == SQLITE_OK)
        rc = CheckHeader();
    return rc;
}

void BtreeImpl::IntegrityCheck(const std::vector<int>& roots, std::vector<std::string>& errors) {
    BtreeChecker(*this, errors).Run(roots);
}

} // namespace sqlite2
