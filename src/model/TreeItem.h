#pragma once

#include "model/Interface.h"

#include <string>
#include <vector>

class CKivDatabase;

// A node of the folder tree: the data file it belongs to and the row identifier, nothing
// else. Every operation is one or a few statements on the tree table; a database failure is
// shown in a stop-icon message box and the operation answers its failure value.
class CTreeItem : public CInterface, public ITreeItem {
public:
    explicit CTreeItem(ITresorix* tresorix) : m_tresorix(tresorix) {}

    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override;

    int GetID() override { return m_id; }
    void SetID(int id) override { m_id = id; }
    int GetParentID() override;
    // Moves node under this one; nothing for a node of another kind or this very node.
    void AddChild(ITreeItem* node) override;
    void InsertChild(ITreeItem* node) override { AddChild(node); }
    // Deletes the whole subtree, children first. Each node visited once, so a damaged tree
    // whose parents form a cycle still ends.
    void Delete() override;
    bool HasChildren() override;
    bool IsExpanded() override;
    void SetExpanded(bool expanded) override;
    // A new row (parent 0, expanded); this handle takes its identifier.
    bool Insert() override;
    TComPtr<ITreeIterator> GetIterator(int kind) override;
    TComPtr<IUnknown> GetData() override;
    bool SetData(IUnknown* record) override;

    ITresorix* GetTresorix() const { return m_tresorix.Get(); }

private:
    CKivDatabase& Database() const;
    // Takes the file's write time as the cache's stamp, now and after an open transaction.
    void StampFileTime() const;
    std::vector<int> QueryIds(const char* sql) const;
    void DeleteOne(int id);

    TComPtr<ITresorix> m_tresorix;
    int m_id = 0;
};
