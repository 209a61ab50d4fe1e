#pragma once
// Opening a connection over a B-tree of the caller's choice (tests use an in-memory one).

#include "sqlite2/Connection.h"
#include "sqlite2/sqlite.h"

namespace sqlite2 {

sqlite* OpenWith(const char* filename, const BtreeOpener& opener, char** errmsg);

} // namespace sqlite2
