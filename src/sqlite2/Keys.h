#pragma once
// Index keys and the value semantics that go with them: what counts as a number, the
// sortable base-64 number encoding, and comparisons as the engine does them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sqlite2/Record.h"

namespace sqlite2 {

// Optional sign, digits, optional fraction with digits, optional exponent; nothing else.
bool IsNumber(std::string_view text);
double ToDouble(std::string_view text);

// Text after the 'b' marker of a numeric index field (no NUL).
void AppendSortableNumber(double x, std::string& out);

// One index field: 'a' NUL for NULL, 'b' number NUL, 'c' text NUL.
void AppendIndexField(const Value& v, bool numericColumn, std::string& key);

// Numeric-mode comparison of two non-NULL values: numbers by value, numbers before other
// texts, other texts by strcmp.
int CompareNumeric(std::string_view a, std::string_view b);
// Comparison of an operator's operands: as text when both are of text class.
int CompareValues(std::string_view a, bool aNumeric, std::string_view b, bool bNumeric);
// ORDER BY order: NULLs first, then as CompareNumeric (numeric column) or strcmp.
int CompareForSort(const Value& a, const Value& b, bool numericColumn);

// Integer value of a text usable as a rowid: a number with an integral value in int32 range.
bool ToRowid(std::string_view text, int32_t& out);

} // namespace sqlite2
