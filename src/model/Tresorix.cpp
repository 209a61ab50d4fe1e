#include "model/Tresorix.h"

#include "platform/FileTime.h"
#include "platform/MessageBox.h"
#include "platform/TresorixSettings.h"
#include "security/SecureZero.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"

#include <new>
#include <vector>

CTresorix::~CTresorix() {
    ClearCache();
    Close();
    SecureZero(m_keyText);
}

HRESULT CTresorix::InternalQueryInterface(const IID& iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_ITresorix) {
        *out = static_cast<ITresorix*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

std::string CTresorix::GetFileName() {
    std::lock_guard lock(m_mutex);
    return m_path;
}

bool CTresorix::Open(const std::string& path) {
    {
        std::lock_guard lock(m_mutex);
        m_path = path;
    }
    Close();
    bool ok = false;
    auto* connection = new (std::nothrow) CSQLiteDatabase();
    if (connection) {
        m_ownConnection.reset(connection);
        m_db = connection;
        try {
            connection->Open(path);
            m_ownsConnection = true;
            ok = true;
        } catch (const CSQLiteException& e) {
            e.ReportError(MB_ICONSTOP);
        }
    }
    StampFileTime();
    return ok;
}

bool CTresorix::Close() {
    if (m_db && m_ownsConnection)
        m_db->Close();
    m_ownsConnection = false;
    m_db = nullptr;
    m_ownConnection.reset();
    SetAuthorised(false);
    ClearCache();
    return true;
}

void CTresorix::SetUserName(const std::string& name) {
    std::lock_guard lock(m_mutex);
    m_userName = name;
}

void CTresorix::SetPassword(const std::string& keyText) {
    std::lock_guard lock(m_mutex);
    SecureZero(m_keyText);
    m_keyText = keyText;
}

std::string CTresorix::GetPassword() {
    std::lock_guard lock(m_mutex);
    return m_keyText;
}

std::string CTresorix::GetUserName() {
    std::lock_guard lock(m_mutex);
    return m_userName;
}

CKivDatabase* CTresorix::GetDatabase() {
    return m_db;
}

void CTresorix::AttachDatabase(CKivDatabase* db) {
    Close();
    m_db = db;
}

void CTresorix::SetAuthorised(bool authorised) {
    std::lock_guard lock(m_mutex);
    m_authorised = authorised;
}

bool CTresorix::IsAuthorised() {
    std::lock_guard lock(m_mutex);
    return m_authorised;
}

TComPtr<IUnknown> CTresorix::FindCachedItem(int id) {
    std::vector<TComPtr<IUnknown>> dropped;
    TComPtr<IUnknown> found;
    {
        std::lock_guard lock(m_mutex);
        if (TresorixSettings().Cache_InvalidateCache && FileWriteTime(m_path) != m_fileTime) {
            for (auto& entry : m_cache)
                dropped.push_back(std::move(entry.second));
            m_cache.clear();
            StampFileTimeLocked();
        }
        auto it = m_cache.find(id);
        if (it != m_cache.end())
            found = it->second;
    }
    return found;
}

void CTresorix::CacheItem(int id, IUnknown* item) {
    if (!TresorixSettings().Cache_CacheLoadedItems || !item)
        return;
    TComPtr<IUnknown> previous;
    {
        std::lock_guard lock(m_mutex);
        TComPtr<IUnknown>& slot = m_cache[id];
        previous = std::move(slot);
        slot = TComPtr<IUnknown>(item);
    }
}

void CTresorix::ClearCache() {
    std::map<int, TComPtr<IUnknown>> dropped;
    {
        std::lock_guard lock(m_mutex);
        dropped.swap(m_cache);
    }
}

void CTresorix::RemoveCachedItem(int id) {
    TComPtr<IUnknown> dropped;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_cache.find(id);
        if (it == m_cache.end())
            return;
        dropped = std::move(it->second);
        m_cache.erase(it);
    }
}

void CTresorix::StampFileTime() {
    std::lock_guard lock(m_mutex);
    StampFileTimeLocked();
}

void CTresorix::StampFileTimeLocked() {
    m_fileTime = m_path.empty() ? 0 : FileWriteTime(m_path);
}

FILETIME64 CTresorix::GetStampedFileTime() {
    std::lock_guard lock(m_mutex);
    return m_fileTime;
}

std::size_t CTresorix::GetCachedCount() {
    std::lock_guard lock(m_mutex);
    return m_cache.size();
}
