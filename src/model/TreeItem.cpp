#include "model/TreeItem.h"

#include "model/Factory.h"
#include "model/PayloadCipher.h"
#include "model/TransactionScope.h"
#include "model/TreeIterator.h"
#include "platform/FileTime.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <cstring>
#include <new>
#include <set>

namespace {

// Column 0 of the first row as an integer; false when there is no row.
bool QueryFirstInt(CKivDatabase& db, const char* sql, int& value) {
    CursorPtr cursor(db.Query(sql));
    CRow* raw = nullptr;
    if (!cursor || cursor->Fetch(raw) != 0)
        return false;
    RowPtr row(raw);
    if (!row)
        return false;
    FieldPtr field(row->GetField(0));
    if (!field)
        return false;
    value = field->AsInt();
    return true;
}

// The record object behind any of its interfaces.
IUnknown* Identity(IUnknown* object, TComPtr<IUnknown>& holder) {
    holder = nullptr;
    if (object) {
        void* raw = nullptr;
        if (object->QueryInterface(IID_IUnknown, &raw) == S_OK)
            holder = TComPtr<IUnknown>::Adopt(static_cast<IUnknown*>(raw));
    }
    return holder.Get();
}

} // namespace

HRESULT CTreeItem::InternalQueryInterface(const IID& iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_ITreeItem) {
        *out = static_cast<ITreeItem*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

CKivDatabase& CTreeItem::Database() const {
    CKivDatabase* db = m_tresorix ? m_tresorix->GetDatabase() : nullptr;
    if (!db)
        throw CSQLiteException(0, "Database not open");
    return *db;
}

void CTreeItem::StampFileTime() const {
    if (!m_tresorix)
        return;
    m_tresorix->StampFileTime();
    // A transaction's commit writes the file again; stamped only now, the cache would take
    // its own write for someone else's and drop every record.
    CKivDatabase* db = m_tresorix->GetDatabase();
    if (db && CTransactionScope::IsActive(*db))
        CTransactionScope::AfterCommit(*db, [tresorix = m_tresorix] { tresorix->StampFileTime(); });
}

std::vector<int> CTreeItem::QueryIds(const char* sql) const {
    std::vector<int> ids;
    CursorPtr cursor(Database().Query(sql));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr row(raw);
        if (!row)
            continue;
        FieldPtr field(row->GetField(0));
        if (field)
            ids.push_back(field->AsInt());
    }
    return ids;
}

int CTreeItem::GetParentID() {
    try {
        CSQLiteBuffer sql;
        int parent = 0;
        if (QueryFirstInt(Database(), sql.Format(tx::sql::kSelectItemParent, m_id), parent))
            return parent;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return 0;
}

void CTreeItem::AddChild(ITreeItem* node) {
    auto* other = dynamic_cast<CTreeItem*>(node);
    if (!other)
        return;
    ITresorix* otherTresorix = other->GetTresorix();
    if (other->GetID() == m_id && (otherTresorix == m_tresorix.Get() ||
                                   (otherTresorix && m_tresorix &&
                                    otherTresorix->GetFileName() == m_tresorix->GetFileName())))
        return;
    try {
        CSQLiteBuffer sql;
        other->Database().Execute(sql.Format(tx::sql::kMoveItem, m_id, other->GetID()));
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
}

void CTreeItem::DeleteOne(int id) {
    TComPtr<ITreeItem> node = MakeTreeItem(m_tresorix.Get(), id);
    if (node) {
        if (TComPtr<ICommonProperties> record = GetCommonProperties(node->GetData()))
            record->OnDelete(id, m_tresorix.Get());
    }
    try {
        CSQLiteBuffer sql;
        Database().Execute(sql.Format(tx::sql::kDeleteTreeRow, id));
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    // A later row may get this identifier again; it must not find this record in the cache.
    if (m_tresorix)
        m_tresorix->RemoveCachedItem(id);
}

void CTreeItem::Delete() {
    struct FRAME {
        int id;
        std::vector<int> children;
        std::size_t next;
    };
    auto children = [this](int id) {
        try {
            CSQLiteBuffer sql;
            return QueryIds(sql.Format(tx::sql::kIterateChildren, id));
        } catch (const CSQLiteException& e) {
            e.ReportError(MB_ICONSTOP);
            return std::vector<int>();
        }
    };
    std::set<int> visited{m_id};
    std::vector<FRAME> stack;
    stack.push_back({m_id, children(m_id), 0});
    while (!stack.empty()) {
        FRAME& top = stack.back();
        if (top.next < top.children.size()) {
            int child = top.children[top.next++];
            if (visited.insert(child).second)
                stack.push_back({child, children(child), 0});
            continue;
        }
        int id = top.id;
        stack.pop_back();
        DeleteOne(id);
    }
}

bool CTreeItem::HasChildren() {
    try {
        CSQLiteBuffer sql;
        int count = 0;
        if (QueryFirstInt(Database(), sql.Format(tx::sql::kCountChildren, m_id), count))
            return count > 0;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return false;
}

bool CTreeItem::IsExpanded() {
    try {
        CSQLiteBuffer sql;
        CursorPtr cursor(Database().Query(sql.Format(tx::sql::kSelectExpanded, m_id)));
        CRow* raw = nullptr;
        if (!cursor || cursor->Fetch(raw) != 0)
            return false;
        RowPtr row(raw);
        FieldPtr field(row ? row->GetField(0) : nullptr);
        const char* text = field ? field->AsString() : nullptr;
        return text && std::strcmp(text, "1") == 0;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return false;
}

void CTreeItem::SetExpanded(bool expanded) {
    try {
        CSQLiteBuffer sql;
        Database().Execute(sql.Format(tx::sql::kUpdateExpanded, expanded ? "1" : "0", m_id));
    } catch (const CSQLiteException&) {
        // The expanded state is cosmetic; a failure to store it is not worth a message.
    }
    StampFileTime();
}

bool CTreeItem::Insert() {
    try {
        CKivDatabase& db = Database();
        db.Execute(tx::sql::kInsertTreeRow);
        m_id = db.GetLastInsertId();
        // The engine may hand out the identifier of a row deleted before.
        m_tresorix->RemoveCachedItem(m_id);
        return true;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return false;
}

TComPtr<ITreeIterator> CTreeItem::GetIterator(int kind) {
    if (!m_tresorix)
        return {};
    std::vector<int> ids;
    try {
        const char* format = nullptr;
        switch (kind) {
        case kParent:
            format = tx::sql::kIterateParent;
            break;
        case kChildren:
            format = tx::sql::kIterateChildren;
            break;
        case kSiblings:
            format = tx::sql::kIterateSiblings;
            break;
        default:
            break;
        }
        if (format) {
            CSQLiteBuffer sql;
            ids = QueryIds(sql.Format(format, m_id));
        }
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        return {};
    }
    auto* iterator = new (std::nothrow) CTreeIterator(m_tresorix.Get(), std::move(ids));
    return iterator ? TComPtr<ITreeIterator>(iterator) : TComPtr<ITreeIterator>();
}

TComPtr<IUnknown> CTreeItem::GetData() {
    if (!m_tresorix)
        return {};
    if (TComPtr<IUnknown> cached = m_tresorix->FindCachedItem(m_id))
        return cached;
    CMemFile plain;
    try {
        CSQLiteBuffer sql;
        CursorPtr cursor(Database().Query(sql.Format(tx::sql::kSelectItemData, m_id)));
        CRow* raw = nullptr;
        if (!cursor || cursor->Fetch(raw) != 0)
            return {};
        RowPtr row(raw);
        FieldPtr field(row ? row->GetField(0) : nullptr);
        if (!field || !field->AsString())
            return {};
        BinaryPtr bytes(field->AsBinary());
        if (!bytes)
            return {};
        if (!DecryptPayload(bytes->GetData(), static_cast<std::size_t>(bytes->GetLength()),
                            m_tresorix->GetPassword(), plain))
            return {};
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        return {};
    }
    TComPtr<ICommonProperties> record;
    if (LoadItem(plain, record) != S_OK)
        return {};
    TComPtr<IUnknown> result = record.As<IUnknown>();
    m_tresorix->CacheItem(m_id, result.Get());
    return result;
}

bool CTreeItem::SetData(IUnknown* object) {
    TComPtr<ICommonProperties> record;
    if (object) {
        void* raw = nullptr;
        if (object->QueryInterface(IID_ICommonProperties, &raw) == S_OK)
            record = TComPtr<ICommonProperties>::Adopt(static_cast<ICommonProperties*>(raw));
    }
    if (!record)
        return false;
    record->SetModified(CurrentFileTime());

    if (!m_tresorix)
        return false;
    bool stored = false;
    try {
        CMemFile plain;
        const std::string text = record->Serialize(plain, true)
                                     ? EncryptPayloadToText(plain, m_tresorix->GetPassword())
                                     : std::string();
        if (!text.empty()) {
            // A different object cached for this node would be out of date after the write.
            // Checked before it, while the file still matches the cache's stamp.
            TComPtr<IUnknown> cachedHolder, writtenHolder;
            IUnknown* cached = Identity(m_tresorix->FindCachedItem(m_id).Get(), cachedHolder);
            if (cached && cached != Identity(object, writtenHolder))
                m_tresorix->RemoveCachedItem(m_id);
            CSQLiteBuffer sql;
            Database().Execute(sql.Format(tx::sql::kUpdateItemData, text.c_str(), m_id));
            stored = true;
        }
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    // The cached object may carry the values that never reached the file.
    if (!stored)
        m_tresorix->RemoveCachedItem(m_id);
    StampFileTime();
    return stored;
}
