#pragma once

#include <cstdarg>
#include <string>

#include "sqlite2/sqlite.h"

// Every call of the database layer into the engine goes through this table, so that tests
// can count or script engine answers (busy steps, failing finalizes) around the real engine.
struct SQLITE_ENGINE {
    sqlite* (*open)(const char*, int, char**);
    void (*close)(sqlite*);
    int (*exec)(sqlite*, const char*, sqlite_callback, void*, char**);
    int (*compile)(sqlite*, const char*, const char**, sqlite_vm**, char**);
    int (*step)(sqlite_vm*, int*, const char***, const char***);
    int (*finalize)(sqlite_vm*, char**);
    int (*lastInsertRowid)(sqlite*);
    char* (*vmprintf)(const char*, va_list);
    void (*freemem)(void*);
};

// The table in use; the real engine unless a test installed another.
const SQLITE_ENGINE& SQLiteEngine();
// The real engine's table.
const SQLITE_ENGINE& RealSQLiteEngine();
// Installs a table (copied); returns the previous one.
SQLITE_ENGINE SetSQLiteEngine(const SQLITE_ENGINE& engine);

// The engine's standard text for a result code.
const char* DefaultEngineMessage(int code);
// Takes an engine-allocated message: returns it as text (or fallback when null) and frees it.
std::string TakeEngineMessage(char* message, const char* fallback);
