#include "storage/SQLiteBinary.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string.h>

namespace {

constexpr std::uint8_t kEscape = 0x01;
constexpr std::uint8_t kQuote = 0x27;

void Wipe(std::uint8_t* bytes, std::size_t length) {
    if (bytes && length)
        explicit_bzero(bytes, length);
}

} // namespace

CSQLiteBinary::CSQLiteBinary(const void* bytes, int length) {
    SetData(bytes, length);
}

CSQLiteBinary::~CSQLiteBinary() {
    Clear();
}

void CSQLiteBinary::Release() {
    delete this;
}

void CSQLiteBinary::SetData(const void* bytes, int length) {
    if (!bytes || length <= 0) {
        Clear();
        return;
    }
    // Copy before freeing, in case bytes points into the current contents.
    auto* copy = new std::uint8_t[static_cast<std::size_t>(length)];
    std::memcpy(copy, bytes, static_cast<std::size_t>(length));
    Clear();
    m_data = copy;
    m_length = length;
}

void CSQLiteBinary::Clear() {
    Wipe(m_data, static_cast<std::size_t>(m_length));
    delete[] m_data;
    m_data = nullptr;
    m_length = 0;
}

std::size_t CSQLiteBinary::EncodedBound(std::size_t n) {
    return n / 254 * 257 + n % 254 * 257 / 254 + 20;
}

int CSQLiteBinary::ChooseOffset(const std::uint8_t* bytes, std::size_t n) {
    if (!bytes || n == 0)
        return 0;
    // Four interleaved histograms so that runs of equal bytes do not stall on one counter.
    std::size_t counts[4][256] = {};
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++counts[0][bytes[i]];
        ++counts[1][bytes[i + 1]];
        ++counts[2][bytes[i + 2]];
        ++counts[3][bytes[i + 3]];
    }
    for (; i < n; ++i)
        ++counts[0][bytes[i]];
    std::size_t total[256];
    for (int v = 0; v < 256; ++v)
        total[v] = counts[0][v] + counts[1][v] + counts[2][v] + counts[3][v];

    // The offset maps the bytes e, e+1 and e+39 onto 0, 1 and the quote, which cost an escape.
    std::size_t best = n;
    int offset = 1;
    for (int e = 1; e < 256; ++e) {
        if (e == kQuote)
            continue;
        std::size_t sum = total[e] + total[(e + 1) & 0xff] + total[(e + kQuote) & 0xff];
        if (sum < best) {
            best = sum;
            offset = e;
            if (sum == 0)
                break;
        }
    }
    return offset;
}

std::string CSQLiteBinary::ToText() const {
    if (!m_data || m_length <= 0)
        return "x";
    const std::size_t n = static_cast<std::size_t>(m_length);
    const int offset = ChooseOffset(m_data, n);

    // One entry per input byte: up to two output bytes and, in bits 16 and up, their count.
    std::uint32_t code[256];
    for (int b = 0; b < 256; ++b) {
        std::uint32_t x = static_cast<std::uint32_t>((b - offset) & 0xff);
        if (x == 0)
            code[b] = kEscape | (0x01u << 8) | (2u << 16);
        else if (x == 1)
            code[b] = kEscape | (0x02u << 8) | (2u << 16);
        else if (x == kQuote)
            code[b] = kEscape | (0x03u << 8) | (2u << 16);
        else
            code[b] = x | (1u << 16);
    }

    std::string text;
    try {
        // The bound includes the terminator, which std::string keeps by itself; the chosen
        // offset keeps the real length well below it, leaving room for two-byte stores.
        text.resize(EncodedBound(n) - 1);
    } catch (const std::bad_alloc&) {
        return {};
    }
    auto* out = reinterpret_cast<std::uint8_t*>(text.data());
    std::uint8_t* p = out;
    *p++ = static_cast<std::uint8_t>(offset);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t entry = code[m_data[i]];
        p[0] = static_cast<std::uint8_t>(entry);
        p[1] = static_cast<std::uint8_t>(entry >> 8);
        p += entry >> 16;
    }
    text.resize(static_cast<std::size_t>(p - out));
    return text;
}

int CSQLiteBinary::FromText(const char* text) {
    if (!text || !*text) {
        Clear();
        return 1;
    }
    const std::size_t length = std::strlen(text);
    const std::size_t capacity = length - 1;
    if (capacity > static_cast<std::size_t>(INT_MAX))
        return 0;
    const auto* in = reinterpret_cast<const std::uint8_t*>(text);
    const std::uint8_t offset = in[0];
    std::unique_ptr<std::uint8_t[]> decoded(capacity ? new (std::nothrow) std::uint8_t[capacity]
                                                     : nullptr);
    if (capacity && !decoded)
        return 0;
    std::uint8_t* out = decoded.get();
    std::uint8_t* o = out;
    const std::uint8_t* p = in + 1;
    const std::uint8_t* end = in + length;
    bool malformed = false;
    while (p < end) {
        std::uint8_t c = *p++;
        if (c == kEscape) {
            std::uint8_t mark = p < end ? *p++ : 0;
            if (mark == 0x01)
                c = 0;
            else if (mark == 0x02)
                c = 1;
            else if (mark == 0x03)
                c = kQuote;
            else {
                malformed = true;
                break;
            }
        }
        *o++ = static_cast<std::uint8_t>(c + offset);
    }
    const std::size_t produced = static_cast<std::size_t>(o - out);
    if (malformed) {
        Wipe(out, produced);
        return 0;
    }
    Clear();
    if (produced) {
        // The buffer may be longer than the bytes it holds; only those need wiping later.
        m_data = decoded.release();
        m_length = static_cast<int>(produced);
    }
    return 1;
}
