#include "storage/SQLiteEngine.h"

#include <iterator>

namespace {

SQLITE_ENGINE& CurrentEngine() {
    static SQLITE_ENGINE engine = RealSQLiteEngine();
    return engine;
}

} // namespace

const SQLITE_ENGINE& RealSQLiteEngine() {
    static const SQLITE_ENGINE real = {
        sqlite_open,
        sqlite_close,
        sqlite_exec,
        sqlite_compile,
        sqlite_step,
        sqlite_finalize,
        sqlite_last_insert_rowid,
        sqlite_vmprintf,
        sqlite_freemem,
    };
    return real;
}

const SQLITE_ENGINE& SQLiteEngine() {
    return CurrentEngine();
}

SQLITE_ENGINE SetSQLiteEngine(const SQLITE_ENGINE& engine) {
    SQLITE_ENGINE previous = CurrentEngine();
    CurrentEngine() = engine;
    return previous;
}

const char* DefaultEngineMessage(int code) {
    static const char* const kMessages[] = {
        "not an error",
        "SQL logic error or missing database",
        "internal SQLite implementation flaw",
        "access permission denied",
        "callback requested query abort",
        "database is locked",
        "database table is locked",
        "out of memory",
        "attempt to write a readonly database",
        "interrupted",
        "disk I/O error",
        "database disk image is malformed",
        "table or record not found",
        "database is full",
        "unable to open database file",
        "database locking protocol failure",
        "table contains no data",
        "database schema has changed",
        "too much data for one table row",
        "constraint failed",
        "datatype mismatch",
        "library routine called out of sequence",
        "kernel lacks large file support",
        "authorization denied",
        "auxiliary database format error",
        "bind index out of range",
        "file is encrypted or is not a database",
    };
    if (code >= 0 && code < static_cast<int>(std::size(kMessages)))
        return kMessages[code];
    return "unknown error";
}

std::string TakeEngineMessage(char* message, const char* fallback) {
    if (!message)
        return fallback ? fallback : "";
    std::string text(message);
    SQLiteEngine().freemem(message);
    return text;
}
