#include "storage/SQLiteField.h"

#include "storage/SQLiteBinary.h"
#include "storage/SQLiteException.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstring>
#include <new>

namespace {

const char* SkipSpace(const char* text) {
    while (*text && std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    return text;
}

} // namespace

double CSQLiteField::AsDouble() {
    if (!m_value)
        return 0.0;
    // from_chars ignores the process locale, which may use a decimal comma.
    const char* text = SkipSpace(m_value);
    if (*text == '+')
        ++text;
    double value = 0.0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

int CSQLiteField::AsInt() {
    if (!m_value)
        return 0;
    const char* text = SkipSpace(m_value);
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

CSQLiteBinary* CSQLiteField::AsBinary() {
    auto* binary = new (std::nothrow) CSQLiteBinary(nullptr, 0);
    if (!binary)
        throw CSQLiteException(0, "Out of memory");
    // A malformed text leaves the byte string empty.
    if (m_value)
        binary->FromText(m_value);
    return binary;
}
