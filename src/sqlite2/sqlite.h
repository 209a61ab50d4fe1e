#ifndef TX_SQLITE2_SQLITE_H
#define TX_SQLITE2_SQLITE_H
/* C interface of our engine for the 2.8 file format: the subset of the 2.8 calls the
   application and its tools use, with the 2.8 signatures and result codes. */
#include <stdarg.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct sqlite sqlite;
typedef struct sqlite_vm sqlite_vm;
typedef int (*sqlite_callback)(void*, int, char**, char**);

#define SQLITE_OK 0
#define SQLITE_ERROR 1
#define SQLITE_INTERNAL 2
#define SQLITE_PERM 3
#define SQLITE_ABORT 4
#define SQLITE_BUSY 5
#define SQLITE_LOCKED 6
#define SQLITE_NOMEM 7
#define SQLITE_READONLY 8
#define SQLITE_INTERRUPT 9
#define SQLITE_IOERR 10
#define SQLITE_CORRUPT 11
#define SQLITE_NOTFOUND 12
#define SQLITE_FULL 13
#define SQLITE_CANTOPEN 14
#define SQLITE_PROTOCOL 15
#define SQLITE_EMPTY 16
#define SQLITE_SCHEMA 17
#define SQLITE_TOOBIG 18
#define SQLITE_CONSTRAINT 19
#define SQLITE_MISMATCH 20
#define SQLITE_MISUSE 21
#define SQLITE_NOLFS 22
#define SQLITE_AUTH 23
#define SQLITE_FORMAT 24
#define SQLITE_RANGE 25
#define SQLITE_NOTADB 26
#define SQLITE_ROW 100
#define SQLITE_DONE 101

sqlite* sqlite_open(const char* filename, int mode, char** errmsg);
void sqlite_close(sqlite* db);
int sqlite_exec(sqlite* db, const char* sql, sqlite_callback callback, void* arg, char** errmsg);
int sqlite_compile(sqlite* db, const char* sql, const char** tail, sqlite_vm** vm, char** errmsg);
int sqlite_step(sqlite_vm* vm, int* ncol, const char*** values, const char*** colnames);
int sqlite_finalize(sqlite_vm* vm, char** errmsg);
int sqlite_last_insert_rowid(sqlite* db);
int sqlite_changes(sqlite* db);
const char* sqlite_error_string(int code);
char* sqlite_mprintf(const char* fmt, ...);
char* sqlite_vmprintf(const char* fmt, va_list ap);
void sqlite_freemem(void* p);

#ifdef __cplusplus
}
#endif

#endif
