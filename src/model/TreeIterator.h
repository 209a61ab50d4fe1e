#pragma once

#include "model/Interface.h"

#include <vector>

// Walks a list of node identifiers read once, when the iterator was made.
class CTreeIterator : public CInterface, public ITreeIterator {
public:
    CTreeIterator(ITresorix* tresorix, std::vector<int> ids);

    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override;

    TComPtr<ITreeItem> First() override;
    TComPtr<ITreeItem> Next() override;
    bool IsDone() override { return m_cursor >= m_ids.size(); }

    const std::vector<int>& GetIds() const { return m_ids; }

private:
    TComPtr<ITreeItem> Current();

    TComPtr<ITresorix> m_tresorix;
    std::vector<int> m_ids;
    std::size_t m_cursor = 0;
};
