#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The MD5 digest of RFC 1321. The record key text is GetMD5 of the master password's bytes.
class CMD5Checksum {
public:
    // The digest of length bytes as 32 lower-case hexadecimal digits.
    static std::string GetMD5(const void* bytes, std::size_t length);
    static std::string GetMD5(std::string_view text) { return GetMD5(text.data(), text.size()); }

    CMD5Checksum();
    virtual ~CMD5Checksum();

    CMD5Checksum(const CMD5Checksum&) = delete;
    CMD5Checksum& operator=(const CMD5Checksum&) = delete;

    void Update(const void* bytes, std::size_t length);
    // Pads and returns the 16 digest bytes; the object then starts a new digest.
    std::array<std::uint8_t, 16> Final();

private:
    void Transform(const std::uint8_t block[64]);

    std::uint8_t m_buffer[64] = {};
    std::uint32_t m_count[2] = {0, 0};
    std::uint32_t m_state[4];
};
