#pragma once
// Restores the tree rules after a cell was added, replaced or removed: every page fits, no
// non-root page is empty or left under half full while a neighbour can take its cells, the root
// grows or shrinks a level so that all leaves stay at one depth.

#include "sqlite2/BtreeImpl.h"
#include "sqlite2/MemPage.h"

namespace sqlite2 {

// The pages from the root (level 0) down to the changed page. idx[l] is the child index taken
// at level l. A level marked modified is checked; pending holds its new content when that no
// longer fits in the page.
struct BalancePath {
    int depth = 0;
    Pgno pgno[kMaxDepth] = {};
    int idx[kMaxDepth] = {};
    bool modified[kMaxDepth] = {};
    bool hasPending[kMaxDepth] = {};
    CellList pending[kMaxDepth];
};

class Balancer {
public:
    explicit Balancer(BtreeImpl& bt) : m_bt(bt), m_bo(bt.Order()) {}
    int Run(BalancePath& path);

private:
    int BalanceLevel(BalancePath& path, int l);
    int Redistribute(BalancePath& path, int l);
    int Distribute(CellList& parent, int first, const std::vector<Pgno>& old, CellList& combined,
                   uint32_t lastRight);
    int BalanceRoot(BalancePath& path);
    int WriteContent(Pgno pgno, const CellList& cells);

    BtreeImpl& m_bt;
    const ByteOrder& m_bo;
};

} // namespace sqlite2
