#include "tools/Password.h"

#include "tools/Utf8Text.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// Splits text into characters: valid UTF-8 sequences stay whole, any other byte stands alone.
void AppendCharacters(std::string_view text, std::vector<std::string_view>& out) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            if (std::size_t n = Utf8SequenceLength(text, i))
                length = n;
        }
        out.push_back(text.substr(i, length));
        i += length;
    }
}

bool IsDubious(std::string_view symbol) {
    return symbol.size() == 1 && symbol[0] != '\0' &&
           std::strchr(CPassword::kDubiousSet, symbol[0]) != nullptr;
}

bool IsVowelSymbol(std::string_view symbol) {
    return symbol.size() == 1 && CPassword::IsVowel(symbol[0]);
}

} // namespace

CPassword::CPassword() : m_random(CSystemRandomSource::Instance()) {}

CPassword::CPassword(IRandomSource& random) : m_random(random) {}

bool CPassword::IsVowel(char c) {
    return c != '\0' && std::strchr(kVowels, c) != nullptr;
}

std::string CPassword::Generate(int length, bool upper, bool lower, bool numerals,
                                bool excludeDubious, bool special, bool otherEnabled,
                                std::string other, bool pronounce, int level) const {
    if (!(upper || lower || numerals || excludeDubious || special || otherEnabled) || length <= 0)
        return {};

    std::string storage;
    if (upper)
        storage += kUpperSet;
    if (lower)
        storage += kLowerSet;
    if (numerals)
        storage += kDigitSet;
    if (special)
        storage += kSpecialSet;
    if (otherEnabled) {
        std::erase_if(other, [](char c) { return c == ' ' || c == ','; });
        storage += other;
    }

    // Duplicates stay in the pool on purpose: a symbol given twice is drawn twice as often.
    std::vector<std::string_view> pool;
    AppendCharacters(storage, pool);
    if (pool.empty())
        return {};

    // Without a single acceptable first character no number of draws can succeed; deciding it
    // up front also avoids giving up on a large pool that has only a few good characters.
    if (excludeDubious) {
        bool any = false;
        for (std::string_view symbol : pool)
            any = any || !IsDubious(symbol);
        if (!any)
            return kWrongOptions;
    }

    // Upper or lower case always puts both vowels and non-vowels into the pool, even after
    // exclusion, so every position below finds an acceptable character.
    const bool rule = pronounce && level != 0 && (upper || lower);
    std::string password;
    // Reserved so that growing does not leave partial copies of the password in freed memory.
    password.reserve(static_cast<std::size_t>(length));
    bool prevVowel = false;
    bool prevPrevVowel = false;
    for (int i = 0; i < length; ++i) {
        std::string_view candidate;
        bool vowel;
        for (;;) {
            candidate = pool[UniformIndex(m_random, pool.size())];
            if (excludeDubious && IsDubious(candidate))
                continue;
            vowel = IsVowelSymbol(candidate);
            if (rule && level == 1 && i >= 2 && !vowel && !prevVowel && !prevPrevVowel)
                continue;
            if (rule && level == 2 && i >= 1 && vowel == prevVowel)
                continue;
            break;
        }
        password += candidate;
        prevPrevVowel = prevVowel;
        prevVowel = vowel;
    }
    return password;
}

int CPassword::EstimateFirmness(const char* text) {
    if (text == nullptr || *text == '\0')
        return 0;
    bool control = false, upper = false, lower = false, digit = false;
    bool punct1 = false, punct2 = false, del = false;
    std::size_t length = 0;
    for (const char* p = text; *p != '\0'; ++p, ++length) {
        // Bytes of 128 and above are negative here and so count as control characters.
        const int c = static_cast<signed char>(*p);
        if (c < 32)
            control = true;
        else if (c >= 'A' && c <= 'Z')
            upper = true;
        else if (c >= 'a' && c <= 'z')
            lower = true;
        else if (c >= '0' && c <= '9')
            digit = true;
        else if (c <= 47)
            punct1 = true;
        else if (c == 127)
            del = true;
        else
            punct2 = true;
    }
    const int pool = (control ? 60 : 0) + (upper ? 26 : 0) + (lower ? 26 : 0) + (digit ? 10 : 0) +
                     (punct1 ? 16 : 0) + (punct2 ? 17 : 0) + (del ? 112 : 0);
    if (pool == 0)
        return 0;
    const double bits = std::ceil(static_cast<double>(length) * std::log2(pool));
    return bits >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(bits);
}
