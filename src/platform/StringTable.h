#pragma once

#include <string>

// The text of string-table entry id; empty when there is none.
std::string LoadString(unsigned id);

// Replaces every "%1" with arg1 and "%2" with arg2; other text is kept as it stands.
std::string FormatString(const std::string& format, const std::string& arg1 = {},
                         const std::string& arg2 = {});
