#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Stored text is kept as the bytes that were read: UTF-8 from this program, Windows-1252 from
// files made by the original one. These helpers tell the two apart character by character.

// Length of the valid UTF-8 sequence of two to four bytes starting at text[i], or 0 when the
// bytes there are not one (a plain ASCII byte also gives 0).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// True when the whole text is valid UTF-8.
bool IsValidUtf8(std::string_view text);

// Code points of the text: decoded as UTF-8 when it is valid UTF-8, else byte by byte as
// Windows-1252.
std::u32string DecodeText(std::string_view text);

// UTF-8 form of code points.
std::string EncodeUtf8(std::u32string_view text);
