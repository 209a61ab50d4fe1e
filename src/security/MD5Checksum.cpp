#include "security/MD5Checksum.h"

#include "security/SecureZero.h"

#include <cstring>

namespace {

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline std::uint32_t Rotl(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

} // namespace

std::string CMD5Checksum::GetMD5(const void* bytes, std::size_t length) {
    CMD5Checksum md5;
    md5.Update(bytes, length);
    std::array<std::uint8_t, 16> digest = md5.Final();
    static const char kHex[] = "0123456789abcdef";
    std::string text(32, '0');
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 0x0f];
    }
    SecureZero(digest.data(), digest.size());
    return text;
}

CMD5Checksum::CMD5Checksum() : m_state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

CMD5Checksum::~CMD5Checksum() {
    SecureZero(m_buffer, sizeof m_buffer);
    SecureZero(m_state, sizeof m_state);
}

void CMD5Checksum::Update(const void* bytes, std::size_t length) {
    if (!bytes || !length)
        return;
    auto* in = static_cast<const std::uint8_t*>(bytes);
    std::size_t used = (m_count[0] >> 3) & 0x3f;
    std::uint64_t bits = (std::uint64_t(m_count[1]) << 32 | m_count[0]) + std::uint64_t(length) * 8;
    m_count[0] = static_cast<std::uint32_t>(bits);
    m_count[1] = static_cast<std::uint32_t>(bits >> 32);
    if (used) {
        std::size_t take = 64 - used;
        if (length < take) {
            std::memcpy(m_buffer + used, in, length);
            return;
        }
        std::memcpy(m_buffer + used, in, take);
        Transform(m_buffer);
        in += take;
        length -= take;
    }
    for (; length >= 64; in += 64, length -= 64)
        Transform(in);
    std::memcpy(m_buffer, in, length);
}

std::array<std::uint8_t, 16> CMD5Checksum::Final() {
    std::uint8_t bits[8];
    for (int i = 0; i < 4; ++i) {
        bits[i] = static_cast<std::uint8_t>(m_count[0] >> (8 * i));
        bits[4 + i] = static_cast<std::uint8_t>(m_count[1] >> (8 * i));
    }
    std::size_t used = (m_count[0] >> 3) & 0x3f;
    std::size_t padding = used < 56 ? 56 - used : 120 - used;
    static const std::uint8_t kPadding[64] = {0x80};
    Update(kPadding, padding);
    Update(bits, 8);
    std::array<std::uint8_t, 16> digest;
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<std::uint8_t>(m_state[i / 4] >> (8 * (i % 4)));
    // Ready for a new digest, with nothing of this one left behind.
    SecureZero(m_buffer, sizeof m_buffer);
    m_state[0] = 0x67452301;
    m_state[1] = 0xefcdab89;
    m_state[2] = 0x98badcfe;
    m_state[3] = 0x10325476;
    m_count[0] = m_count[1] = 0;
    return digest;
}

void CMD5Checksum::Transform(const std::uint8_t block[64]) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = block[4 * i] | (std::uint32_t(block[4 * i + 1]) << 8) |
               (std::uint32_t(block[4 * i + 2]) << 16) | (std::uint32_t(block[4 * i + 3]) << 24);
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int g;
        switch (i / 16) {
        case 0:
            f = (b & c) | (~b & d);
            g = i;
            break;
        case 1:
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
            break;
        }
        std::uint32_t next = b + Rotl(a + f + kSine[i] + x[g], kShift[i / 16][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    SecureZero(x, sizeof x);
}
