// sqlite_open over the file B-tree; kept apart so the rest of the interface links alone.
#include "sqlite2/OpenWith.h"

extern "C" sqlite* sqlite_open(const char* filename, int, char** errmsg) {
    return sqlite2::OpenWith(filename, &sqlite2::Btree::Open, errmsg);
}
