#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Conversions between stored bytes and what the command line prints.

// Stored text as UTF-8 for the terminal: valid UTF-8 as it is, anything else as Windows-1252.
std::string DisplayText(std::string_view bytes);

// Lower-case hexadecimal digits of the bytes.
std::string HexText(std::string_view bytes);
std::string HexText(const void* bytes, std::size_t length);

// The SHA-256 digest of the bytes as lower-case hexadecimal digits.
std::string Sha256Text(const void* bytes, std::size_t length);
inline std::string Sha256Text(std::string_view bytes) {
    return Sha256Text(bytes.data(), bytes.size());
}

// A file time as UTC with all seven fraction digits: "2024-04-02T09:15:01.2345678Z".
std::string FileTimeUtcText(std::uint64_t fileTime);
// The eight bytes a file time is stored as, in hexadecimal.
std::string FileTimeHex(std::uint64_t fileTime);

// Splits "name=value" at the first '='; false when there is none or the name is empty.
bool SplitAssignment(std::string_view text, std::string& name, std::string& value);

// Parses a whole decimal number (with an optional sign); false for anything else or overflow.
bool ParseInteger(std::string_view text, long long& value);
