#include "security/RijndaelKernels.h"

#include "security/SecureZero.h"

#include <array>

namespace rijndael {
namespace {

// The S-box, its inverse and the round tables are derived at compile time from the field
// arithmetic, which yields exactly the published constants (the S-box begins 63 7c 77 7b).

constexpr std::uint8_t XTime(std::uint8_t x) {
    return static_cast<std::uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1b : 0));
}

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
    std::uint8_t product = 0;
    while (b) {
        if (b & 1)
            product ^= a;
        a = XTime(a);
        b >>= 1;
    }
    return product;
}

constexpr std::uint8_t Rotl8(std::uint8_t x, int n) {
    return static_cast<std::uint8_t>((x << n) | (x >> (8 - n)));
}

constexpr std::array<std::uint8_t, 256> MakeSbox() {
    std::array<std::uint8_t, 256> box{};
    for (int x = 0; x < 256; ++x) {
        // The multiplicative inverse is x^254; 0 maps to 0.
        std::uint8_t inverse = 1;
        std::uint8_t power = static_cast<std::uint8_t>(x);
        for (int e = 254; e; e >>= 1) {
            if (e & 1)
                inverse = Multiply(inverse, power);
            power = Multiply(power, power);
        }
        if (x == 0)
            inverse = 0;
        box[x] = static_cast<std::uint8_t>(inverse ^ Rotl8(inverse, 1) ^ Rotl8(inverse, 2) ^
                                           Rotl8(inverse, 3) ^ Rotl8(inverse, 4) ^ 0x63);
    }
    return box;
}

constexpr std::array<std::uint8_t, 256> MakeInverse(const std::array<std::uint8_t, 256>& box) {
    std::array<std::uint8_t, 256> inverse{};
    for (int x = 0; x < 256; ++x)
        inverse[box[x]] = static_cast<std::uint8_t>(x);
    return inverse;
}

constexpr std::uint32_t Column(std::uint8_t r0, std::uint8_t r1, std::uint8_t r2, std::uint8_t r3) {
    return r0 | (std::uint32_t(r1) << 8) | (std::uint32_t(r2) << 16) | (std::uint32_t(r3) << 24);
}

constexpr std::uint32_t Rotl32(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

using Table = std::array<std::array<std::uint32_t, 256>, 4>;

// kEncrypt[r][x]: the MixColumns image of S(x) standing in row r of a column.
constexpr Table MakeEncryptTables(const std::array<std::uint8_t, 256>& box) {
    Table t{};
    for (int x = 0; x < 256; ++x) {
        std::uint8_t s = box[x];
        std::uint32_t column = Column(Multiply(s, 2), s, s, Multiply(s, 3));
        for (int r = 0; r < 4; ++r)
            t[r][x] = r ? Rotl32(column, 8 * r) : column;
    }
    return t;
}

// kDecrypt[r][x]: the InvMixColumns image of InvS(x) standing in row r of a column.
constexpr Table MakeDecryptTables(const std::array<std::uint8_t, 256>& inverse) {
    Table t{};
    for (int x = 0; x < 256; ++x) {
        std::uint8_t s = inverse[x];
        std::uint32_t column =
            Column(Multiply(s, 14), Multiply(s, 9), Multiply(s, 13), Multiply(s, 11));
        for (int r = 0; r < 4; ++r)
            t[r][x] = r ? Rotl32(column, 8 * r) : column;
    }
    return t;
}

constexpr std::array<std::uint8_t, 256> kSbox = MakeSbox();
static_assert(kSbox[0] == 0x63 && kSbox[1] == 0x7c && kSbox[2] == 0x77 && kSbox[3] == 0x7b);
constexpr std::array<std::uint8_t, 256> kInverseSbox = MakeInverse(kSbox);
alignas(64) constexpr Table kEncrypt = MakeEncryptTables(kSbox);
alignas(64) constexpr Table kDecrypt = MakeDecryptTables(kInverseSbox);

inline std::uint32_t Load32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void Store32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline std::uint32_t B0(std::uint32_t w) {
    return w & 0xff;
}
inline std::uint32_t B1(std::uint32_t w) {
    return (w >> 8) & 0xff;
}
inline std::uint32_t B2(std::uint32_t w) {
    return (w >> 16) & 0xff;
}
inline std::uint32_t B3(std::uint32_t w) {
    return w >> 24;
}

// Row shift offsets of rows 1 to 3.
constexpr int Shift(int blockWords, int row) {
    return blockWords == 8 && row > 1 ? row + 1 : row;
}

std::uint32_t SubWord(std::uint32_t w) {
    return Column(kSbox[B0(w)], kSbox[B1(w)], kSbox[B2(w)], kSbox[B3(w)]);
}

std::uint32_t InvMixColumn(std::uint32_t w) {
    // The decryption tables apply InvS first, so feed them S(w) to get InvMixColumns(w).
    return kDecrypt[0][kSbox[B0(w)]] ^ kDecrypt[1][kSbox[B1(w)]] ^ kDecrypt[2][kSbox[B2(w)]] ^
           kDecrypt[3][kSbox[B3(w)]];
}

template <int Nb>
void EncryptBlock(RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out) {
    constexpr int s1 = Shift(Nb, 1), s2 = Shift(Nb, 2), s3 = Shift(Nb, 3);
    const auto& t = kEncrypt;
    std::uint32_t a[Nb], b[Nb];
#pragma GCC unroll 8
    for (int c = 0; c < Nb; ++c)
        a[c] = Load32(in + 4 * c) ^ keys[0][c];
    for (int r = 1; r < rounds; ++r) {
#pragma GCC unroll 8
        for (int c = 0; c < Nb; ++c)
            b[c] = t[0][B0(a[c])] ^ t[1][B1(a[(c + s1) % Nb])] ^ t[2][B2(a[(c + s2) % Nb])] ^
                   t[3][B3(a[(c + s3) % Nb])] ^ keys[r][c];
#pragma GCC unroll 8
        for (int c = 0; c < Nb; ++c)
            a[c] = b[c];
    }
    // The last round has no MixColumns: pick the plain S-box byte out of each table entry.
#pragma GCC unroll 8
    for (int c = 0; c < Nb; ++c)
        Store32(out + 4 * c,
                ((t[2][B0(a[c])] & 0x000000ff) | (t[3][B1(a[(c + s1) % Nb])] & 0x0000ff00) |
                 (t[0][B2(a[(c + s2) % Nb])] & 0x00ff0000) |
                 (t[1][B3(a[(c + s3) % Nb])] & 0xff000000)) ^
                    keys[rounds][c]);
}

template <int Nb>
void DecryptBlock(RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out) {
    constexpr int s1 = Nb - Shift(Nb, 1), s2 = Nb - Shift(Nb, 2), s3 = Nb - Shift(Nb, 3);
    const auto& t = kDecrypt;
    const auto& inv = kInverseSbox;
    std::uint32_t a[Nb], b[Nb];
#pragma GCC unroll 8
    for (int c = 0; c < Nb; ++c)
        a[c] = Load32(in + 4 * c) ^ keys[0][c];
    for (int r = 1; r < rounds; ++r) {
#pragma GCC unroll 8
        for (int c = 0; c < Nb; ++c)
            b[c] = t[0][B0(a[c])] ^ t[1][B1(a[(c + s1) % Nb])] ^ t[2][B2(a[(c + s2) % Nb])] ^
                   t[3][B3(a[(c + s3) % Nb])] ^ keys[r][c];
#pragma GCC unroll 8
        for (int c = 0; c < Nb; ++c)
            a[c] = b[c];
    }
#pragma GCC unroll 8
    for (int c = 0; c < Nb; ++c)
        Store32(out + 4 * c, Column(inv[B0(a[c])], inv[B1(a[(c + s1) % Nb])],
                                    inv[B2(a[(c + s2) % Nb])], inv[B3(a[(c + s3) % Nb])]) ^
                                 keys[rounds][c]);
}

template <int Nb>
void EncryptMany(RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
                 std::size_t blocks) {
    for (std::size_t i = 0; i < blocks; ++i)
        EncryptBlock<Nb>(keys, rounds, in + 4 * Nb * i, out + 4 * Nb * i);
}

template <int Nb>
void DecryptMany(RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
                 std::size_t blocks) {
    for (std::size_t i = 0; i < blocks; ++i)
        DecryptBlock<Nb>(keys, rounds, in + 4 * Nb * i, out + 4 * Nb * i);
}

} // namespace

void ExpandKeys(const std::uint8_t* key, int keyWords, int blockWords, int rounds,
                std::uint32_t encrypt[][8], std::uint32_t decrypt[][8]) {
    const int total = blockWords * (rounds + 1);
    std::uint32_t w[8 * 15];
    for (int i = 0; i < keyWords; ++i)
        w[i] = Load32(key + 4 * i);
    std::uint8_t rcon = 1;
    for (int i = keyWords; i < total; ++i) {
        std::uint32_t temp = w[i - 1];
        if (i % keyWords == 0) {
            temp = SubWord((temp >> 8) | (temp << 24)) ^ rcon;
            rcon = XTime(rcon);
        } else if (keyWords > 6 && i % keyWords == 4) {
            temp = SubWord(temp);
        }
        w[i] = w[i - keyWords] ^ temp;
    }
    for (int r = 0; r <= rounds; ++r)
        for (int c = 0; c < 8; ++c) {
            encrypt[r][c] = c < blockWords ? w[r * blockWords + c] : 0;
            decrypt[r][c] = 0;
        }
    for (int r = 0; r <= rounds; ++r)
        for (int c = 0; c < blockWords; ++c) {
            std::uint32_t k = encrypt[rounds - r][c];
            decrypt[r][c] = (r == 0 || r == rounds) ? k : InvMixColumn(k);
        }
    SecureZero(w, sizeof w);
}

namespace table {

void Encrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
             std::size_t blocks) {
    switch (blockWords) {
    case 4:
        EncryptMany<4>(keys, rounds, in, out, blocks);
        break;
    case 6:
        EncryptMany<6>(keys, rounds, in, out, blocks);
        break;
    default:
        EncryptMany<8>(keys, rounds, in, out, blocks);
        break;
    }
}

void Decrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
             std::size_t blocks) {
    switch (blockWords) {
    case 4:
        DecryptMany<4>(keys, rounds, in, out, blocks);
        break;
    case 6:
        DecryptMany<6>(keys, rounds, in, out, blocks);
        break;
    default:
        DecryptMany<8>(keys, rounds, in, out, blocks);
        break;
    }
}

} // namespace table
} // namespace rijndael
