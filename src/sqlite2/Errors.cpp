#include "sqlite2/Errors.h"

namespace sqlite2 {

const char* ErrorString(int rc) {
    switch (rc) {
    case 0:
        return "not an error";
    case 1:
        return "SQL logic error or missing database";
    case 2:
        return "internal SQLite implementation flaw";
    case 3:
        return "access permission denied";
    case 4:
        return "callback requested query abort";
    case 5:
        return "database is locked";
    case 6:
        return "database table is locked";
    case 7:
        return "out of memory";
    case 8:
        return "attempt to write a readonly database";
    case 9:
        return "interrupted";
    case 10:
        return "disk I/O error";
    case 11:
        return "database disk image is malformed";
    case 12:
        return "table or record not found";
    case 13:
        return "database is full";
    case 14:
        return "unable to open database file";
    case 15:
        return "database locking protocol failure";
    case 16:
        return "table contains no data";
    case 17:
        return "database schema has changed";
    case 18:
        return "too much data for one table row";
    case 19:
        return "constraint failed";
    case 20:
        return "datatype mismatch";
    case 21:
        return "library routine called out of sequence";
    case 22:
        return "kernel lacks large file support";
    case 23:
        return "authorization denied";
    case 24:
        return "auxiliary database format error";
    case 25:
        return "bind index out of range";
    case 26:
        return "file is encrypted or is not a database";
    default:
        return "unknown error";
    }
}

} // namespace sqlite2
