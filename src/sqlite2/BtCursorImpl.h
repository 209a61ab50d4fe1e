#pragma once
// Cursor over one tree: the path of pages from the root to the current entry. Before another
// cursor changes the tree, the position is saved as the current key and found again on next use.

#include "sqlite2/BtreeImpl.h"

#include <vector>

namespace sqlite2 {

class BtCursorImpl final : public BtCursor {
public:
    BtCursorImpl(BtreeImpl* bt, Pgno root, bool writable);
    ~BtCursorImpl() override;

    Rc Moveto(const void* key, int nKey, int& res) override;
    Rc First(bool& empty) override;
    Rc Last(bool& empty) override;
    Rc Next(bool& done) override;
    Rc Prev(bool& done) override;
    bool Valid() const override;
    Rc Insert(const void* key, int nKey, const void* data, int nData) override;
    Rc Delete() override;
    Rc KeySize(int& n) override;
    Rc Key(int offset, int amt, void* buf) override;
    Rc DataSize(int& n) override;
    Rc Data(int offset, int amt, void* buf) override;
    Rc KeyCompare(const void* key, int nKey, int nIgnore, int& res) override;

    Pgno Root() const { return m_root; }
    bool Writable() const { return m_writable; }
    // Remembers the current key and lets go of the pages (the tree is about to change).
    void SavePosition();
    // The Btree is going away.
    void Detach();

private:
    enum class State { kInvalid, kValid, kSaved };

    int Restore();
    int MoveToRoot();
    int PushChild(Pgno child);
    int MoveToLeftmost();
    int MoveToRightmost();
    int Seek(const uint8_t* key, uint32_t nKey, int& res);
    int CompareCell(const uint8_t* cell, const uint8_t* key, uint32_t nKey, uint32_t nIgnore,
                    int& cmp);
    int CellKey(const uint8_t* cell, std::vector<uint8_t>& out);
    const uint8_t* CurrentCell() const;
    MemPage& View(int level) const { return ViewOf(m_refs[level].Hdr()); }
    void ReleasePath();
    void StartScan(int direction);
    int CheckWrite();

    BtreeImpl* m_bt;
    Pgno m_root;
    bool m_writable;
    State m_state = State::kInvalid;
    // After a restore that did not find the saved key: +1 the cursor already sits on the next
    // entry, -1 on the previous one.
    int m_skip = 0;
    bool m_deleted = false;
    std::vector<uint8_t> m_savedKey;
    // Pages entered by the current run of Next (or Prev) calls: in a sound tree each page is
    // entered once, so a repeat means pages shared between subtrees and a scan that could
    // go on practically for ever.
    int m_scanDir = 0;
    std::vector<uint64_t> m_entered;
    int m_depth = 0;
    PageRef m_refs[kMaxDepth];
    int m_idx[kMaxDepth] = {};
};

} // namespace sqlite2
