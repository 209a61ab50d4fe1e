#pragma once
// VACUUM and PRAGMA integrity_check.

#include <string>
#include <vector>

#include "sqlite2/Schema.h"
#include "sqlite2/btree.h"

namespace sqlite2 {

class Connection;

// Rebuilds the whole file through a temporary copy. Every failure is reported with a
// non-zero code; success means the file was compacted.
Rc Vacuum(Connection& c, const Schema& s, std::string& err);

// The rows of PRAGMA integrity_check: page structure from the B-tree layer, then every
// index checked against its table.
Rc IntegrityCheck(Connection& c, const Schema& s, std::vector<std::string>& rows, std::string& err);

} // namespace sqlite2
