#include "model/TreeIterator.h"

#include "model/Factory.h"

CTreeIterator::CTreeIterator(ITresorix* tresorix, std::vector<int> ids)
    : m_tresorix(tresorix), m_ids(std::move(ids)) {}

HRESULT CTreeIterator::InternalQueryInterface(const IID& iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_ITreeIterator) {
        *out = static_cast<ITreeIterator*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

TComPtr<ITreeItem> CTreeIterator::Current() {
    if (IsDone())
        return {};
    return MakeTreeItem(m_tresorix.Get(), m_ids[m_cursor]);
}

TComPtr<ITreeItem> CTreeIterator::First() {
    m_cursor = 0;
    return Current();
}

TComPtr<ITreeItem> CTreeIterator::Next() {
    if (m_cursor < m_ids.size())
        ++m_cursor;
    return Current();
}
