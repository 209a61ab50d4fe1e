#pragma once
// The engine's printf: the C conversions plus %q (quotes doubled) and %Q (quoted, NULL as NULL).

#include <cstdarg>
#include <string>

namespace sqlite2 {

std::string VFormat(const char* fmt, va_list ap);
std::string Format(const char* fmt, ...);

} // namespace sqlite2
