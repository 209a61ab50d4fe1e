// The C interface over Connection and Vm.
#include <cstdlib>
#include <cstring>
#include <string>

#include "sqlite2/Connection.h"
#include "sqlite2/Errors.h"
#include "sqlite2/OpenWith.h"
#include "sqlite2/Parser.h"
#include "sqlite2/Printf.h"
#include "sqlite2/Vm.h"

using sqlite2::Connection;
using sqlite2::Vm;

namespace {

Connection* Conn(sqlite* db) {
    return reinterpret_cast<Connection*>(db);
}
Vm* Machine(sqlite_vm* vm) {
    return reinterpret_cast<Vm*>(vm);
}

char* Dup(const std::string& s) {
    char* p = static_cast<char*>(malloc(s.size() + 1));
    if (p) {
        memcpy(p, s.data(), s.size());
        p[s.size()] = '\0';
    }
    return p;
}

void SetError(char** errmsg, int rc, const std::string& msg) {
    if (!errmsg)
        return;
    *errmsg = rc == 0 ? nullptr : Dup(msg.empty() ? sqlite2::ErrorString(rc) : msg);
}

int Compile(Connection* c, const char* sql, size_t start, size_t& tail, Vm*& out,
            std::string& err) {
    out = nullptr;
    sqlite2::ParseResult pr = sqlite2::ParseStatement(sql, start);
    tail = pr.tail;
    if (pr.rc != 0) {
        err = pr.err;
        return pr.rc;
    }
    if (!pr.stmt)
        return 0;
    auto* vm = new Vm(c);
    int rc = vm->Compile(std::move(pr.stmt), err);
    if (rc != 0) {
        delete vm;
        return rc;
    }
    out = vm;
    return 0;
}

} // namespace

sqlite* sqlite2::OpenWith(const char* filename, const BtreeOpener& opener, char** errmsg) {
    if (errmsg)
        *errmsg = nullptr;
    std::string err;
    auto c = Connection::Open(filename ? filename : "", opener, err);
    if (!c) {
        SetError(errmsg, kCantOpen, err);
        return nullptr;
    }
    return reinterpret_cast<sqlite*>(c.release());
}

extern "C" {

void sqlite_close(sqlite* db) {
    if (!db)
        return;
    Connection* c = Conn(db);
    c->Close();
    delete c;
}

int sqlite_exec(sqlite* db, const char* sql, sqlite_callback callback, void* arg, char** errmsg) {
    if (errmsg)
        *errmsg = nullptr;
    if (!db || !sql)
        return sqlite2::kMisuse;
    Connection* c = Conn(db);
    size_t pos = 0;
    int schemaRetries = 0;
    for (;;) {
        size_t tail = 0;
        Vm* vm = nullptr;
        std::string err;
        int rc = Compile(c, sql, pos, tail, vm, err);
        if (rc != 0) {
            SetError(errmsg, rc, err);
            return rc;
        }
        if (!vm)
            return 0;
        int ncol = 0;
        const char** values = nullptr;
        const char** names = nullptr;
        bool aborted = false;
        while ((rc = vm->Step(&ncol, &values, &names)) == sqlite2::kRow) {
            if (callback &&
                callback(arg, ncol, const_cast<char**>(values), const_cast<char**>(names)) != 0) {
                aborted = true;
                break;
            }
        }
        rc = vm->Finalize(err);
        delete vm;
        if (aborted) {
            SetError(errmsg, sqlite2::kAbort, "");
            return sqlite2::kAbort;
        }
        if (rc == sqlite2::kSchema && schemaRetries < 2) {
            ++schemaRetries;
            continue;
        }
        if (rc != 0) {
            SetError(errmsg, rc, err);
            return rc;
        }
        schemaRetries = 0;
        pos = tail;
    }
}

int sqlite_compile(sqlite* db, const char* sql, const char** tail, sqlite_vm** vm, char** errmsg) {
    if (errmsg)
        *errmsg = nullptr;
    if (vm)
        *vm = nullptr;
    if (!db || !sql || !vm)
        return sqlite2::kMisuse;
    size_t end = 0;
    Vm* out = nullptr;
    std::string err;
    int rc = Compile(Conn(db), sql, 0, end, out, err);
    if (tail)
        *tail = sql + end;
    if (rc != 0) {
        SetError(errmsg, rc, err);
        return rc;
    }
    *vm = reinterpret_cast<sqlite_vm*>(out);
    return 0;
}

int sqlite_step(sqlite_vm* vm, int* ncol, const char*** values, const char*** colnames) {
    if (!vm)
        return sqlite2::kMisuse;
    return Machine(vm)->Step(ncol, values, colnames);
}

int sqlite_finalize(sqlite_vm* vm, char** errmsg) {
    if (errmsg)
        *errmsg = nullptr;
    if (!vm)
        return 0;
    Vm* m = Machine(vm);
    std::string err;
    int rc = m->Finalize(err);
    delete m;
    SetError(errmsg, rc, err);
    return rc;
}

int sqlite_last_insert_rowid(sqlite* db) {
    return db ? Conn(db)->lastInsertRowid : 0;
}

int sqlite_changes(sqlite* db) {
    return db ? Conn(db)->changes : 0;
}

const char* sqlite_error_string(int code) {
    return sqlite2::ErrorString(code);
}

char* sqlite_vmprintf(const char* fmt, va_list ap) {
    return Dup(fmt ? sqlite2::VFormat(fmt, ap) : std::string());
}

char* sqlite_mprintf(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    char* r = sqlite_vmprintf(fmt, ap);
    va_end(ap);
    return r;
}

void sqlite_freemem(void* p) {
    free(p);
}

} // extern "C"
