#include "security/LoginText.h"

#include "security/MD5Checksum.h"
#include "security/SecureZero.h"

#include <cstdint>

namespace {

// Code points of the bytes 0x80 to 0x9F; 0 where the code page has no character.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool EncodeCodePoint(std::uint32_t cp, std::string& out) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out += static_cast<char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == cp) {
            out += static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto lead = static_cast<std::uint8_t>(utf8[i]);
        std::uint32_t cp = 0;
        int extra = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            cp = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            cp = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            SecureZero(out);
            return std::nullopt;
        }
        if (extra > 0 && i + static_cast<std::size_t>(extra) >= utf8.size()) {
            SecureZero(out);
            return std::nullopt;
        }
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<std::uint8_t>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                SecureZero(out);
                return std::nullopt;
            }
            cp = cp << 6 | (next & 0x3F);
        }
        // Overlong forms and surrogates are not valid UTF-8.
        bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF ||
            !EncodeCodePoint(cp, out)) {
            SecureZero(out);
            return std::nullopt;
        }
        i += 1 + static_cast<std::size_t>(extra);
    }
    return out;
}

std::vector<std::string> TextForms(std::string_view typed) {
    std::vector<std::string> forms;
    forms.emplace_back(typed);
    if (auto cp1252 = Utf8ToWindows1252(typed)) {
        if (*cp1252 != typed)
            forms.push_back(*cp1252);
        SecureZero(*cp1252);
    }
    return forms;
}

std::string MakeKeyText(std::string_view password) {
    return CMD5Checksum::GetMD5(password);
}

std::vector<std::string> PasswordKeyTexts(std::string_view typed) {
    std::vector<std::string> forms = TextForms(typed);
    std::vector<std::string> keys;
    keys.reserve(forms.size());
    for (const std::string& form : forms)
        keys.push_back(MakeKeyText(form));
    WipeTexts(forms);
    return keys;
}

void WipeTexts(std::vector<std::string>& texts) {
    for (std::string& text : texts)
        SecureZero(text);
    texts.clear();
}
