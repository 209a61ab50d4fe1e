#include "cli/CliText.h"

#include "tools/Utf8Text.h"

#include <QCryptographicHash>

#include <charconv>
#include <cstdio>

std::string DisplayText(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return EncodeUtf8(DecodeText(bytes));
}

std::string HexText(const void* bytes, std::size_t length) {
    static const char kDigits[] = "0123456789abcdef";
    const auto* p = static_cast<const unsigned char*>(bytes);
    std::string text;
    text.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(kDigits[p[i] >> 4]);
        text.push_back(kDigits[p[i] & 0x0F]);
    }
    return text;
}

std::string HexText(std::string_view bytes) {
    return HexText(bytes.data(), bytes.size());
}

std::string Sha256Text(const void* bytes, std::size_t length) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(static_cast<const char*>(bytes), static_cast<qsizetype>(length)));
    const QByteArray digest = hash.result();
    return HexText(digest.constData(), static_cast<std::size_t>(digest.size()));
}

std::string FileTimeUtcText(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    const std::uint64_t seconds = fileTime / kTicksPerSecond;
    const unsigned fraction = static_cast<unsigned>(fileTime % kTicksPerSecond);
    // Days since 1601-01-01, moved to an era-based count from 0000-03-01 to get the date.
    const std::int64_t days1601 = static_cast<std::int64_t>(seconds / 86400);
    const unsigned secondOfDay = static_cast<unsigned>(seconds % 86400);
    const std::int64_t z = days1601 + 584694; // days from 0000-03-01 to 1601-01-01
    const std::int64_t era = z / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    if (month <= 2)
        ++year;
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02u.%07uZ",
                  static_cast<long long>(year), month, day, secondOfDay / 3600,
                  secondOfDay / 60 % 60, secondOfDay % 60, fraction);
    return text;
}

std::string FileTimeHex(std::uint64_t fileTime) {
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(fileTime >> (8 * i));
    return HexText(bytes, sizeof bytes);
}

bool SplitAssignment(std::string_view text, std::string& name, std::string& value) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return false;
    name = std::string(text.substr(0, equals));
    value = std::string(text.substr(equals + 1));
    return true;
}

bool ParseInteger(std::string_view text, long long& value) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}
