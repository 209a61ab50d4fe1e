#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Text helpers of the HTML and XML reports.

// Stored bytes as UTF-8: valid UTF-8 is kept, anything else is read as Windows-1252.
// Control characters that a markup document cannot hold (all below a blank except tab, line
// feed and carriage return) become U+FFFD.
std::string ToMarkupUtf8(std::string_view bytes);

// &, <, > and " as character references.
std::string EscapeMarkup(std::string_view text);

// ToMarkupUtf8, then EscapeMarkup: what every value, title and name goes through.
std::string MarkupText(std::string_view bytes);

// An element name from a column title: blanks become underscores, and so does any other
// character an XML name cannot hold ("State / Province" gives "State___Province").
std::string XmlElementName(std::string_view title);

// Replaces each placeholder of the template by its value in one pass, so a value that itself
// looks like a placeholder is left alone.
std::string FillTemplate(std::string_view text,
                         const std::vector<std::pair<std::string_view, std::string>>& values);
