#pragma once
// Recursive-descent parser for the supported statements.

#include <memory>
#include <string>
#include <string_view>

#include "sqlite2/Ast.h"

namespace sqlite2 {

struct ParseResult {
    int rc = 0; // 0, or 1 with err set
    std::string err;
    std::unique_ptr<Statement> stmt; // null when the text held no statement
    size_t tail = 0;                 // offset just after the statement (and its ';')
};

// Parses the first statement of sql starting at offset start; empty statements are skipped.
ParseResult ParseStatement(std::string_view sql, size_t start = 0);

} // namespace sqlite2
