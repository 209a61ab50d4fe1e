#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The 16-byte Windows GUID structure: stored little-endian in that layout, compared over all
// 16 bytes.
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
            return false;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i])
                return false;
        return true;
    }
};

using IID = GUID;
using CLSID = GUID;

inline constexpr std::size_t kGuidBytes = 16;

// The stored form: Data1, Data2 and Data3 little-endian, then Data4.
std::array<std::uint8_t, kGuidBytes> GuidToBytes(const GUID& guid);
GUID GuidFromBytes(const std::uint8_t* bytes);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidToString(const GUID& guid);
// Parses that form (either case, braces optional); nothing for anything else.
std::optional<GUID> GuidFromString(std::string_view text);
