#pragma once

#include <memory>
#include <string>

class CKivCursor;

// A connection to one data file. Failures are thrown as CSQLiteException.
class CKivDatabase {
public:
    virtual ~CKivDatabase() = default;

    // Closes a connection still open, then opens (or creates) the file; returns 1.
    virtual int Open(const std::string& path) = 0;
    virtual void Close() = 0;
    // Destroys a connection made with new.
    virtual void Release() = 0;
    // Runs one or more statements that return no rows.
    virtual void Execute(const char* sql) = 0;
    // Compiles the first statement of sql; the caller closes the cursor. May return null
    // when no cursor could be allocated, which callers treat as a query without rows.
    virtual CKivCursor* Query(const char* sql) = 0;
    // The row identifier of this connection's last insert.
    virtual int GetLastInsertId() = 0;
    virtual void BeginTransaction() = 0;
    virtual void CommitTransaction() = 0;
    virtual void RollbackTransaction() = 0;
};

// Owning handles for the objects of the layer: each calls the documented Release()/Close().
struct CReleaseDeleter {
    template <class T> void operator()(T* object) const {
        if (object)
            object->Release();
    }
};
using DatabasePtr = std::unique_ptr<CKivDatabase, CReleaseDeleter>;
