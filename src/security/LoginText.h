#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How typed text meets the bytes of a data file. Text typed here is UTF-8; data files made on
// Windows hold Windows-1252 bytes. A login tries the UTF-8 bytes first and then, when it
// differs, the Windows-1252 form, so both kinds of file open with what the user types.

// The Windows-1252 bytes of UTF-8 text; nothing when the text is not valid UTF-8 or holds a
// character that code page lacks.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);

// The text itself, then its Windows-1252 form when there is one and it differs.
std::vector<std::string> TextForms(std::string_view typed);

// The record key text of a password: the lower-case hexadecimal MD5 of its bytes.
std::string MakeKeyText(std::string_view password);

// The record key texts to try for a typed password, in order (see TextForms).
std::vector<std::string> PasswordKeyTexts(std::string_view typed);

// Wipes every text of the list and empties it.
void WipeTexts(std::vector<std::string>& texts);
