#include "model/Guid.h"

#include <cstdio>

std::array<std::uint8_t, kGuidBytes> GuidToBytes(const GUID& guid) {
    std::array<std::uint8_t, kGuidBytes> b{};
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<std::uint8_t>(guid.Data1 >> (8 * i));
    b[4] = static_cast<std::uint8_t>(guid.Data2);
    b[5] = static_cast<std::uint8_t>(guid.Data2 >> 8);
    b[6] = static_cast<std::uint8_t>(guid.Data3);
    b[7] = static_cast<std::uint8_t>(guid.Data3 >> 8);
    for (int i = 0; i < 8; ++i)
        b[8 + i] = guid.Data4[i];
    return b;
}

GUID GuidFromBytes(const std::uint8_t* b) {
    GUID guid{};
    guid.Data1 = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                 static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    guid.Data2 = static_cast<std::uint16_t>(b[4] | b[5] << 8);
    guid.Data3 = static_cast<std::uint16_t>(b[6] | b[7] << 8);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = b[8 + i];
    return guid;
}

std::string GuidToString(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<GUID> GuidFromString(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36)
        return std::nullopt;
    // 32 hex digits with dashes after digit 8, 12, 16 and 20, in textual (big-endian) order.
    std::uint8_t digits[16];
    int n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return std::nullopt;
            continue;
        }
        int hi = HexValue(text[i]);
        int lo = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
        if (hi < 0 || lo < 0)
            return std::nullopt;
        digits[n++] = static_cast<std::uint8_t>(hi << 4 | lo);
        ++i;
    }
    GUID g{};
    g.Data1 = static_cast<std::uint32_t>(digits[0]) << 24 |
              static_cast<std::uint32_t>(digits[1]) << 16 |
              static_cast<std::uint32_t>(digits[2]) << 8 | digits[3];
    g.Data2 = static_cast<std::uint16_t>(digits[4] << 8 | digits[5]);
    g.Data3 = static_cast<std::uint16_t>(digits[6] << 8 | digits[7]);
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = digits[8 + i];
    return g;
}
