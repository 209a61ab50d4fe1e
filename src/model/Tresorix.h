#pragma once

#include "model/Interface.h"
#include "storage/KivDatabase.h"

#include <map>
#include <mutex>
#include <string>

// The open data file: its connection, the credentials of the current login and the cache of
// loaded records. The cache honours the options Cache_CacheLoadedItems (keep records at all)
// and Cache_InvalidateCache (drop them all once the file's last-write time moved).
class CTresorix : public CInterface, public ITresorix {
public:
    CTresorix() = default;

    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override;

    std::string GetFileName() override;
    // Opens path on a new connection of this object's own; on failure the database's message
    // is shown and false returned. Either way the file time is stamped.
    bool Open(const std::string& path) override;
    bool Close() override;
    void SetUserName(const std::string& name) override;
    void SetPassword(const std::string& keyText) override;
    std::string GetPassword() override;
    std::string GetUserName() override;
    int Reserved(int, int) override { return 0; }
    CKivDatabase* GetDatabase() override;
    void AttachDatabase(CKivDatabase* db) override;
    void SetAuthorised(bool authorised) override;
    bool IsAuthorised() override;
    TComPtr<IUnknown> FindCachedItem(int id) override;
    void CacheItem(int id, IUnknown* item) override;
    void ClearCache() override;
    void RemoveCachedItem(int id) override;
    void StampFileTime() override;

    // The last-write time as last stamped (0 when the file could not be read).
    FILETIME64 GetStampedFileTime();
    std::size_t GetCachedCount();

protected:
    ~CTresorix() override;

private:
    void StampFileTimeLocked();

    // Guards the cache, the stamp and the strings.
    std::mutex m_mutex;
    std::string m_path;
    std::string m_keyText;
    std::string m_userName;
    bool m_authorised = false;
    CKivDatabase* m_db = nullptr;
    bool m_ownsConnection = false;
    // The connection object this object made, kept even when opening it failed.
    DatabasePtr m_ownConnection;
    std::map<int, TComPtr<IUnknown>> m_cache;
    FILETIME64 m_fileTime = 0;
};
