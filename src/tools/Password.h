#pragma once

#include "tools/RandomSource.h"

#include <string>

// The password generator: random passwords from the character classes the user selects,
// optionally pronounceable, and the strength estimate shown beside them.
class CPassword {
public:
    static constexpr const char* kUpperSet = "QWERTYUIOPASDFGHJKLZXCVBNM";
    static constexpr const char* kLowerSet = "qwertyuiopasdfghjklzxcvbnm";
    static constexpr const char* kDigitSet = "0123456789";
    static constexpr const char* kSpecialSet = "~!@#$%^&*()-,.=+<>[]{}`";
    static constexpr const char* kDubiousSet = "!1Il0Oo^,.[]$ ";
    static constexpr const char* kVowels = "eyuioaEYUIOA";
    static constexpr const char* kWrongOptions = "ERROR: WRONG OPTIONS";

    // Draws from the process-wide system source.
    CPassword();
    explicit CPassword(IRandomSource& random);

    // An empty result means nothing was selected (or the length is 0 or less); kWrongOptions
    // means exclusion leaves no character to start with. Other symbols are taken as UTF-8
    // characters where they form valid sequences, so a typed letter is never cut in half.
    std::string Generate(int length, bool upper, bool lower, bool numerals, bool excludeDubious,
                         bool special, bool otherEnabled, std::string other, bool pronounce,
                         int level) const;

    // Strength in bits of a zero-terminated byte string; null and empty give 0.
    static int EstimateFirmness(const char* text);

    static bool IsVowel(char c);

private:
    IRandomSource& m_random;
};
