#pragma once

#include <QString>

#include <string>

// Texts of the record editors, from the string table, as bytes or as window text.
std::string EdString(unsigned id);
QString EdText(unsigned id);
// The part after the line feed of "long text\nshort text" (the whole text when there is none).
QString EdShortText(unsigned id);
// The part before the line feed.
QString EdLongText(unsigned id);
