#pragma once

// Access to the shared crypto-vectors.json fixture (also used by tests/storage).

#include "common/Fixtures.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cstdint>
#include <string>
#include <vector>

namespace txtest {

// The parsed fixture; an empty object when the file is missing or unreadable.
inline const QJsonObject& CryptoVectors() {
    static const QJsonObject vectors = [] {
        std::filesystem::path dir = FixturesDir();
        if (dir.empty() || !std::filesystem::exists(dir / "crypto-vectors.json"))
            return QJsonObject();
        std::string text = ReadFile(dir / "crypto-vectors.json");
        return QJsonDocument::fromJson(QByteArray(text.data(), static_cast<int>(text.size())))
            .object();
    }();
    return vectors;
}

inline std::vector<std::uint8_t> FromHex(const std::string& hex) {
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::vector<std::uint8_t> bytes(hex.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
    return bytes;
}

inline std::vector<std::uint8_t> FromHex(const char* hex) {
    return FromHex(std::string(hex));
}

inline std::vector<std::uint8_t> FromHex(const QJsonValue& value) {
    return FromHex(value.toString().toStdString());
}

inline std::string ToHex(const void* data, std::size_t length) {
    static const char kDigits[] = "0123456789abcdef";
    auto* bytes = static_cast<const std::uint8_t*>(data);
    std::string hex;
    hex.reserve(2 * length);
    for (std::size_t i = 0; i < length; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

inline std::string ToHex(const std::vector<std::uint8_t>& bytes) {
    return ToHex(bytes.data(), bytes.size());
}

inline std::string ToHex(const std::string& bytes) {
    return ToHex(bytes.data(), bytes.size());
}

} // namespace txtest

// Skips the current test when the crypto vectors are not available.
#define TX_REQUIRE_CRYPTO_VECTORS()                                                                \
    do {                                                                                           \
        TX_REQUIRE_FIXTURES();                                                                     \
        if (::txtest::CryptoVectors().isEmpty())                                                   \
            GTEST_SKIP() << "crypto-vectors.json not found";                                       \
    } while (0)
