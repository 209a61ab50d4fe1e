#pragma once
// Helpers for driving the C interface in tests.

#include <optional>
#include <string>
#include <vector>

#include "sqlite2/sqlite.h"

namespace sqltest {

using Row = std::vector<std::optional<std::string>>;

struct Result {
    int rc = 0;        // compile or finalize code
    std::string error; // its message
    std::vector<std::string> names;
    std::vector<std::optional<std::string>> types;
    std::vector<Row> rows;
};

// Compiles, steps to the end and finalizes one statement.
Result Query(sqlite* db, const std::string& sql);
// sqlite_exec without callback: code and message.
std::pair<int, std::string> Exec(sqlite* db, const std::string& sql);
// Single-column results as one vector (NULL as "<NULL>").
std::vector<std::string> Column(const Result& r, size_t col = 0);
// The fixtures' content digest (SHA-256 hex of the length-prefixed values).
std::string Digest(const std::vector<Row>& rows);

} // namespace sqltest
