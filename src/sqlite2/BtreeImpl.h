#pragma once
// The B-tree layer over the pager: page 1, trees of cells, overflow chains and the free list.

#include "sqlite2/MemPage.h"
#include "sqlite2/Pager.h"
#include "sqlite2/btree.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace sqlite2 {

class BtCursorImpl;

constexpr int kMaxDepth = 40;

class BtreeImpl final : public Btree {
public:
    explicit BtreeImpl(std::unique_ptr<Pager> pager);
    ~BtreeImpl() override;

    Rc BeginTrans() override;
    Rc Commit() override;
    Rc Rollback() override;
    bool InTrans() const override { return m_inTrans; }
    bool ReadOnly() const override { return m_pager->ReadOnly(); }
    Rc BeginCkpt() override;
    Rc CommitCkpt() override;
    Rc RollbackCkpt() override;
    Rc CreateTable(int& root) override;
    Rc CreateIndex(int& root) override { return CreateTable(root); }
    Rc DropTable(int root) override;
    Rc ClearTable(int root) override;
    Rc GetMeta(int meta[10]) override;
    Rc UpdateMeta(const int meta[10]) override;
    Rc Cursor(int root, bool writable, std::unique_ptr<BtCursor>& out) override;
    void IntegrityCheck(const std::vector<int>& roots, std::vector<std::string>& errors) override;
    std::string FileName() const override { return m_pager->Path(); }
    int PageCount() override { return int(m_pager->PageCount()); }
    Rc CopyFrom(Btree& source) override;
    void SetCacheSize(int pages) override { m_pager->SetCacheSize(pages); }
    void SetSynchronous(bool on) override { m_pager->SetSync(on); }

    // Takes the read lock (page 1 stays referenced) and checks the file header.
    int LockBtree();
    void UnlockIfUnused();

    Pager& GetPager() { return *m_pager; }
    const ByteOrder& Order() const { return m_bo; }
    bool CanWrite() const { return m_inTrans && !m_readOnlyTrans; }

    // Loads a B-tree page and its decoded view.
    int LoadNode(Pgno pgno, PageRef& ref);
    int AllocatePage(PageRef& out);
    int FreePage(Pgno pgno);

    // Builds a cell for key+data into cell (kMaxCellSize bytes), writing its overflow chain.
    int BuildCell(const void* key, uint32_t nKey, const void* data, uint32_t nData, uint8_t* cell,
                  uint32_t& size);
    int FreeOverflow(const uint8_t* cell);
    int ReadPayload(const uint8_t* cell, uint32_t offset, uint32_t amt, uint8_t* buf);

    void AddCursor(BtCursorImpl* c);
    void RemoveCursor(BtCursorImpl* c);
    void SaveCursors(Pgno root, BtCursorImpl* except);
    void SaveAllCursors();
    bool HasReadCursor(Pgno root, const BtCursorImpl* except) const;
    bool HasCursor(Pgno root) const;

private:
    int CheckHeader();
    void NewDatabase();
    int ClearTree(Pgno root, bool freeRoot);
    void AfterRollback();

    std::unique_ptr<Pager> m_pager;
    PageRef m_page1;
    ByteOrder m_bo;
    bool m_inTrans = false;
    bool m_readOnlyTrans = false;
    bool m_inCkpt = false;
    std::vector<BtCursorImpl*> m_cursors;
    // Pages freed in this transaction must be journaled when reused; older free pages need not.
    std::unordered_set<Pgno> m_freedInTrans;
};

} // namespace sqlite2
