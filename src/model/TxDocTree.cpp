#include "model/TxDoc.h"

#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/Interfaces.h"
#include "model/TransactionScope.h"
#include "model/TxDocHost.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "storage/KivDatabase.h"
#include "storage/SQLiteException.h"

#include <algorithm>
#include <set>

namespace {

constexpr unsigned kIdEmptyRecycleBin = 61326;
constexpr unsigned kMbDefButton2 = 0x100;

} // namespace

bool CTxDoc::IsFolder(int id) const {
    TComPtr<ICommonProperties> record = GetRecord(id);
    return record && record->IsFolder();
}

std::vector<int> CTxDoc::CollectSubtree(int id) const {
    std::vector<int> ids{id};
    std::set<int> seen{id};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        TComPtr<ITreeItem> node = GetNode(ids[i]);
        TComPtr<ITreeIterator> children = node ? node->GetIterator(ITreeItem::kChildren) : nullptr;
        if (!children)
            continue;
        for (TComPtr<ITreeItem> child = children->First(); child; child = children->Next())
            if (seen.insert(child->GetID()).second)
                ids.push_back(child->GetID());
    }
    return ids;
}

bool CTxDoc::IsValidMoveTarget(const std::vector<int>& selection, int target) const {
    if (!m_authorised || target <= 0 || !IsFolder(target))
        return false;
    // Walk up from the target; a damaged file whose parents loop must not hang the walk.
    std::set<int> seen;
    for (int node = target; node != 0 && seen.insert(node).second;) {
        if (std::find(selection.begin(), selection.end(), node) != selection.end())
            return false;
        TComPtr<ITreeItem> handle = GetNode(node);
        node = handle ? handle->GetParentID() : 0;
    }
    return true;
}

bool CTxDoc::CanMoveItems(const std::vector<int>& selection) const {
    if (!m_authorised || selection.empty())
        return false;
    for (int id : selection) {
        TComPtr<ICommonProperties> record = GetRecord(id);
        if (!record || !record->CanMove())
            return false;
    }
    return true;
}

bool CTxDoc::CanDeleteItems(const std::vector<int>& selection) const {
    if (!m_authorised || selection.empty())
        return false;
    for (int id : selection) {
        TComPtr<ICommonProperties> record = GetRecord(id);
        if (!record || !record->CanDelete())
            return false;
    }
    return true;
}

bool CTxDoc::MoveItem(int id, int newParent) {
    // Every caller goes through here, so this is where a folder is kept from landing inside
    // itself: the tree would lose the whole branch.
    if (!IsValidMoveTarget({id}, newParent))
        return false;
    // The root and the recycle bin stay where every part of the program looks for them.
    TComPtr<ICommonProperties> record = GetRecord(id);
    if (record && !record->CanMove())
        return false;
    TComPtr<ITreeItem> node = GetNode(id);
    TComPtr<ITreeItem> parent = GetNode(newParent);
    if (!node || !parent)
        return false;
    int oldParent = node->GetParentID();
    parent->InsertChild(node.Get());
    UpdateAllViews(nullptr, kHintNodeMoved, id, oldParent, newParent);
    return node->GetParentID() == newParent;
}

bool CTxDoc::MoveItems(const std::vector<int>& selection) {
    if (!CanMoveItems(selection))
        return false;
    int target = 0;
    if (!Host().SelectFolder(selection, target) || target <= 0)
        return false;
    if (!IsValidMoveTarget(selection, target))
        return false;
    bool ok = true;
    for (int id : selection)
        ok = MoveItem(id, target) && ok;
    return ok;
}

bool CTxDoc::DeleteItems(const std::vector<int>& selection) {
    if (!m_authorised)
        return false;
    bool ok = true;
    for (int id : selection)
        ok = MoveItem(id, kDeletedFolderId) && ok;
    return ok;
}

bool CTxDoc::IsRecycleBinEmpty() const {
    if (!m_authorised)
        return true;
    TComPtr<ITreeItem> bin = GetNode(kDeletedFolderId);
    return !bin || !bin->HasChildren();
}

bool CTxDoc::EmptyRecycleBin() {
    CKivDatabase* db = GetDatabase();
    if (!m_authorised || !db)
        return false;
    if (KivMessageBox(LoadString(kIdEmptyRecycleBin), MB_YESNO | MB_ICONQUESTION | kMbDefButton2) !=
        IDYES)
        return false;
    TComPtr<ITreeItem> bin = GetNode(kDeletedFolderId);
    TComPtr<ITreeIterator> children = bin ? bin->GetIterator(ITreeItem::kChildren) : nullptr;
    if (!children)
        return false;
    std::vector<int> deleted;
    try {
        CTransactionScope transaction(*db);
        for (TComPtr<ITreeItem> child = children->First(); child; child = children->Next()) {
            const int id = child->GetID();
            // Identifiers come back for new rows, so nothing may keep pointing at the branch:
            // neither a favorite nor a cached record of any node inside it.
            std::vector<int> subtree = CollectSubtree(id);
            for (int gone : subtree)
                m_favorites.Remove(gone);
            UpdateAllViews(nullptr, kHintRecordsChanged);
            child->Delete();
            UpdateAllViews(nullptr, kHintNodeDeleted, id);
            deleted.insert(deleted.end(), subtree.begin(), subtree.end());
        }
        if (!transaction.Commit())
            return false;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        m_tresorix->ClearCache();
        return false;
    }
    for (int id : deleted)
        m_tresorix->RemoveCachedItem(id);
    m_tresorix->StampFileTime();
    return true;
}

bool CTxDoc::CopyItems(const std::vector<int>& selection) {
    if (!m_authorised)
        return false;
    bool ok = true;
    for (int id : selection)
        ok = CopyItem(id) != 0 && ok;
    return ok;
}

int CTxDoc::CopyItem(int id) {
    CKivDatabase* db = GetDatabase();
    if (!m_authorised || !db)
        return 0;
    TComPtr<ITreeItem> source = GetNode(id);
    TComPtr<ICommonProperties> record = GetRecord(id);
    if (!source || !record)
        return 0;
    CLSID clsid;
    record->GetClassID(clsid);
    const int parent = source->GetParentID();
    std::string name = record->GetName();
    MakeUniqueName(0, parent, name);
    int copy = 0;
    try {
        // The new node, its record and the file contents appear together or not at all.
        CTransactionScope transaction(*db);
        copy = CreateNewObject(clsid, parent, name);
        if (copy == 0)
            return 0;
        // The record object is renamed and written under the copy, so it must not stay in the
        // cache as the source's record.
        m_tresorix->RemoveCachedItem(id);
        record->SetName(name);
        TComPtr<ITreeItem> node = GetNode(copy);
        if (!node)
            return 0;
        const bool stored = node->SetData(record.Get());
        m_tresorix->RemoveCachedItem(copy);
        if (!stored)
            return 0;
        if (clsid == CLSID_FileItem && !CFileParts::CopyParts(id, copy, *db))
            return 0;
        if (!transaction.Commit())
            return 0;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        return 0;
    }
    UpdateAllViews(nullptr, kHintShowFolder, 0);
    return copy;
}
