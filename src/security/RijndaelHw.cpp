#include "security/RijndaelKernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

// Only these functions use the AES and shuffle instructions, so the rest of the program builds
// and runs on processors without them; CRijndael calls in here only after Available().
#define TX_AESNI __attribute__((target("aes,sse4.1,ssse3")))

namespace rijndael::hw {
namespace {

// A 32-byte block is held as two 128-bit halves (columns 0-3 and 4-7). The AES round applies
// the 16-byte row shift (0, 1, 2, 3) to each half, while the 32-byte block shifts its rows by
// 0, 1, 3, 4 across both halves. Since the byte substitution works byte by byte, the bytes can
// be rearranged before the round instead: a blend gathers into each half the bytes its
// columns need, and a byte shuffle puts them where the 16-byte shift takes them to their place.
TX_AESNI inline __m128i EncryptBlend() {
    return _mm_setr_epi8(0, -128, -128, -128, 0, 0, -128, -128, 0, 0, -128, -128, 0, 0, 0, -128);
}
TX_AESNI inline __m128i EncryptShuffle() {
    return _mm_setr_epi8(0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13, 2, 3);
}
TX_AESNI inline __m128i DecryptBlend() {
    return _mm_setr_epi8(0, 0, 0, -128, 0, 0, -128, -128, 0, 0, -128, -128, 0, -128, -128, -128);
}
TX_AESNI inline __m128i DecryptShuffle() {
    return _mm_setr_epi8(0, 1, 14, 15, 4, 5, 2, 3, 8, 9, 6, 7, 12, 13, 10, 11);
}

struct KEYS {
    __m128i lo[15];
    __m128i hi[15];
};

TX_AESNI inline void LoadKeys(RoundKeys keys, int rounds, KEYS& k) {
    for (int r = 0; r <= rounds; ++r) {
        k.lo[r] = _mm_load_si128(reinterpret_cast<const __m128i*>(keys[r]));
        k.hi[r] = _mm_load_si128(reinterpret_cast<const __m128i*>(keys[r] + 4));
    }
}

TX_AESNI inline __m128i Load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

TX_AESNI inline void Store(std::uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

TX_AESNI inline __m128i Encrypt16(const KEYS& k, int rounds, __m128i x) {
    x = _mm_xor_si128(x, k.lo[0]);
    for (int r = 1; r < rounds; ++r)
        x = _mm_aesenc_si128(x, k.lo[r]);
    return _mm_aesenclast_si128(x, k.lo[rounds]);
}

TX_AESNI inline void Encrypt32(const KEYS& k, int rounds, __m128i& a, __m128i& b) {
    const __m128i blend = EncryptBlend(), shuffle = EncryptShuffle();
    a = _mm_xor_si128(a, k.lo[0]);
    b = _mm_xor_si128(b, k.hi[0]);
    for (int r = 1; r < rounds; ++r) {
        __m128i t0 = _mm_shuffle_epi8(_mm_blendv_epi8(a, b, blend), shuffle);
        __m128i t1 = _mm_shuffle_epi8(_mm_blendv_epi8(b, a, blend), shuffle);
        a = _mm_aesenc_si128(t0, k.lo[r]);
        b = _mm_aesenc_si128(t1, k.hi[r]);
    }
    __m128i t0 = _mm_shuffle_epi8(_mm_blendv_epi8(a, b, blend), shuffle);
    __m128i t1 = _mm_shuffle_epi8(_mm_blendv_epi8(b, a, blend), shuffle);
    a = _mm_aesenclast_si128(t0, k.lo[rounds]);
    b = _mm_aesenclast_si128(t1, k.hi[rounds]);
}

TX_AESNI void Encrypt16Many(const KEYS& k, int rounds, const std::uint8_t* in, std::uint8_t* out,
                            std::size_t blocks) {
    std::size_t i = 0;
    for (; i + 4 <= blocks; i += 4, in += 64, out += 64) {
        __m128i x0 = _mm_xor_si128(Load(in), k.lo[0]);
        __m128i x1 = _mm_xor_si128(Load(in + 16), k.lo[0]);
        __m128i x2 = _mm_xor_si128(Load(in + 32), k.lo[0]);
        __m128i x3 = _mm_xor_si128(Load(in + 48), k.lo[0]);
        for (int r = 1; r < rounds; ++r) {
            x0 = _mm_aesenc_si128(x0, k.lo[r]);
            x1 = _mm_aesenc_si128(x1, k.lo[r]);
            x2 = _mm_aesenc_si128(x2, k.lo[r]);
            x3 = _mm_aesenc_si128(x3, k.lo[r]);
        }
        Store(out, _mm_aesenclast_si128(x0, k.lo[rounds]));
        Store(out + 16, _mm_aesenclast_si128(x1, k.lo[rounds]));
        Store(out + 32, _mm_aesenclast_si128(x2, k.lo[rounds]));
        Store(out + 48, _mm_aesenclast_si128(x3, k.lo[rounds]));
    }
    for (; i < blocks; ++i, in += 16, out += 16)
        Store(out, Encrypt16(k, rounds, Load(in)));
}

TX_AESNI void Decrypt16Many(const KEYS& k, int rounds, const std::uint8_t* in, std::uint8_t* out,
                            std::size_t blocks) {
    std::size_t i = 0;
    for (; i + 4 <= blocks; i += 4, in += 64, out += 64) {
        __m128i x0 = _mm_xor_si128(Load(in), k.lo[0]);
        __m128i x1 = _mm_xor_si128(Load(in + 16), k.lo[0]);
        __m128i x2 = _mm_xor_si128(Load(in + 32), k.lo[0]);
        __m128i x3 = _mm_xor_si128(Load(in + 48), k.lo[0]);
        for (int r = 1; r < rounds; ++r) {
            x0 = _mm_aesdec_si128(x0, k.lo[r]);
            x1 = _mm_aesdec_si128(x1, k.lo[r]);
            x2 = _mm_aesdec_si128(x2, k.lo[r]);
            x3 = _mm_aesdec_si128(x3, k.lo[r]);
        }
        Store(out, _mm_aesdeclast_si128(x0, k.lo[rounds]));
        Store(out + 16, _mm_aesdeclast_si128(x1, k.lo[rounds]));
        Store(out + 32, _mm_aesdeclast_si128(x2, k.lo[rounds]));
        Store(out + 48, _mm_aesdeclast_si128(x3, k.lo[rounds]));
    }
    for (; i < blocks; ++i, in += 16, out += 16) {
        __m128i x = _mm_xor_si128(Load(in), k.lo[0]);
        for (int r = 1; r < rounds; ++r)
            x = _mm_aesdec_si128(x, k.lo[r]);
        Store(out, _mm_aesdeclast_si128(x, k.lo[rounds]));
    }
}

TX_AESNI void Encrypt32Many(const KEYS& k, int rounds, const std::uint8_t* in, std::uint8_t* out,
                            std::size_t blocks) {
    for (std::size_t i = 0; i < blocks; ++i, in += 32, out += 32) {
        __m128i a = Load(in), b = Load(in + 16);
        Encrypt32(k, rounds, a, b);
        Store(out, a);
        Store(out + 16, b);
    }
}

// Two blocks at a time keep four independent AES streams in flight.
TX_AESNI void Decrypt32Many(const KEYS& k, int rounds, const std::uint8_t* in, std::uint8_t* out,
                            std::size_t blocks) {
    const __m128i blend = DecryptBlend(), shuffle = DecryptShuffle();
    std::size_t i = 0;
    for (; i + 2 <= blocks; i += 2, in += 64, out += 64) {
        __m128i a = _mm_xor_si128(Load(in), k.lo[0]);
        __m128i b = _mm_xor_si128(Load(in + 16), k.hi[0]);
        __m128i c = _mm_xor_si128(Load(in + 32), k.lo[0]);
        __m128i d = _mm_xor_si128(Load(in + 48), k.hi[0]);
        for (int r = 1; r < rounds; ++r) {
            __m128i ta = _mm_shuffle_epi8(_mm_blendv_epi8(a, b, blend), shuffle);
            __m128i tb = _mm_shuffle_epi8(_mm_blendv_epi8(b, a, blend), shuffle);
            __m128i tc = _mm_shuffle_epi8(_mm_blendv_epi8(c, d, blend), shuffle);
            __m128i td = _mm_shuffle_epi8(_mm_blendv_epi8(d, c, blend), shuffle);
            a = _mm_aesdec_si128(ta, k.lo[r]);
            b = _mm_aesdec_si128(tb, k.hi[r]);
            c = _mm_aesdec_si128(tc, k.lo[r]);
            d = _mm_aesdec_si128(td, k.hi[r]);
        }
        __m128i ta = _mm_shuffle_epi8(_mm_blendv_epi8(a, b, blend), shuffle);
        __m128i tb = _mm_shuffle_epi8(_mm_blendv_epi8(b, a, blend), shuffle);
        __m128i tc = _mm_shuffle_epi8(_mm_blendv_epi8(c, d, blend), shuffle);
        __m128i td = _mm_shuffle_epi8(_mm_blendv_epi8(d, c, blend), shuffle);
        Store(out, _mm_aesdeclast_si128(ta, k.lo[rounds]));
        Store(out + 16, _mm_aesdeclast_si128(tb, k.hi[rounds]));
        Store(out + 32, _mm_aesdeclast_si128(tc, k.lo[rounds]));
        Store(out + 48, _mm_aesdeclast_si128(td, k.hi[rounds]));
    }
    for (; i < blocks; ++i, in += 32, out += 32) {
        __m128i a = _mm_xor_si128(Load(in), k.lo[0]);
        __m128i b = _mm_xor_si128(Load(in + 16), k.hi[0]);
        for (int r = 1; r < rounds; ++r) {
            __m128i ta = _mm_shuffle_epi8(_mm_blendv_epi8(a, b, blend), shuffle);
            __m128i tb = _mm_shuffle_epi8(_mm_blendv_epi8(b, a, blend), shuffle);
            a = _mm_aesdec_si128(ta, k.lo[r]);
            b = _mm_aesdec_si128(tb, k.hi[r]);
        }
        __m128i ta = _mm_shuffle_epi8(_mm_blendv_epi8(a, b, blend), shuffle);
        __m128i tb = _mm_shuffle_epi8(_mm_blendv_epi8(b, a, blend), shuffle);
        Store(out, _mm_aesdeclast_si128(ta, k.lo[rounds]));
        Store(out + 16, _mm_aesdeclast_si128(tb, k.hi[rounds]));
    }
}

TX_AESNI void WipeKeys(KEYS& k) {
    volatile __m128i* lo = k.lo;
    volatile __m128i* hi = k.hi;
    for (int i = 0; i < 15; ++i) {
        lo[i] = _mm_setzero_si128();
        hi[i] = _mm_setzero_si128();
    }
}

} // namespace

bool Available() {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1") &&
               __builtin_cpu_supports("ssse3");
    }();
    return available;
}

TX_AESNI void Encrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in,
                      std::uint8_t* out, std::size_t blocks) {
    KEYS k;
    LoadKeys(keys, rounds, k);
    if (blockWords == 4)
        Encrypt16Many(k, rounds, in, out, blocks);
    else
        Encrypt32Many(k, rounds, in, out, blocks);
    WipeKeys(k);
}

TX_AESNI void Decrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in,
                      std::uint8_t* out, std::size_t blocks) {
    KEYS k;
    LoadKeys(keys, rounds, k);
    if (blockWords == 4)
        Decrypt16Many(k, rounds, in, out, blocks);
    else
        Decrypt32Many(k, rounds, in, out, blocks);
    WipeKeys(k);
}

TX_AESNI void EncryptCbc(int blockWords, RoundKeys keys, int rounds, std::uint8_t* chain,
                         const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) {
    KEYS k;
    LoadKeys(keys, rounds, k);
    if (blockWords == 4) {
        __m128i v = Load(chain);
        for (std::size_t i = 0; i < blocks; ++i, in += 16, out += 16) {
            v = Encrypt16(k, rounds, _mm_xor_si128(v, Load(in)));
            Store(out, v);
        }
        Store(chain, v);
    } else {
        __m128i a = Load(chain), b = Load(chain + 16);
        for (std::size_t i = 0; i < blocks; ++i, in += 32, out += 32) {
            a = _mm_xor_si128(a, Load(in));
            b = _mm_xor_si128(b, Load(in + 16));
            Encrypt32(k, rounds, a, b);
            Store(out, a);
            Store(out + 16, b);
        }
        Store(chain, a);
        Store(chain + 16, b);
    }
    WipeKeys(k);
}

} // namespace rijndael::hw

#else

namespace rijndael::hw {

bool Available() {
    return false;
}
void Encrypt(int, RoundKeys, int, const std::uint8_t*, std::uint8_t*, std::size_t) {}
void Decrypt(int, RoundKeys, int, const std::uint8_t*, std::uint8_t*, std::size_t) {}
void EncryptCbc(int, RoundKeys, int, std::uint8_t*, const std::uint8_t*, std::uint8_t*,
                std::size_t) {}

} // namespace rijndael::hw

#endif
