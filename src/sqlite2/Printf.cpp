#include "sqlite2/Printf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace sqlite2 {
namespace {

struct Conversion {
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = 0;
    int precision = -1;
    int length = 0; // 0 int, 1 long, 2 long long, -1 short, -2 char, 3 size_t, 4 intmax, 5 ptrdiff
    bool longDouble = false;
};

void Pad(std::string& out, const std::string& body, const Conversion& s) {
    int fill = s.width - static_cast<int>(body.size());
    if (fill <= 0) {
        out += body;
    } else if (s.left) {
        out += body;
        out.append(static_cast<size_t>(fill), ' ');
    } else {
        out.append(static_cast<size_t>(fill), ' ');
        out += body;
    }
}

void FormatInteger(std::string& out, const Conversion& s, bool negative, uint64_t mag, int base,
                   bool upper, char conv) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char buf[72];
    size_t n = 0;
    while (mag) {
        buf[n++] = digits[mag % static_cast<unsigned>(base)];
        mag /= static_cast<unsigned>(base);
    }
    size_t minDigits = s.precision >= 0 ? static_cast<size_t>(s.precision) : (n ? 0 : 1);
    const char* prefix = "";
    if (conv == 'd' || conv == 'i')
        prefix = negative ? "-" : s.plus ? "+" : s.space ? " " : "";
    else if (s.alt && base == 16 && n > 0)
        prefix = upper ? "0X" : "0x";
    else if (s.alt && base == 8 && minDigits <= n)
        minDigits = n + 1;
    size_t prefixLen = strlen(prefix);
    if (s.zero && !s.left && s.precision < 0 && s.width > 0 &&
        static_cast<size_t>(s.width) > prefixLen + minDigits)
        minDigits = static_cast<size_t>(s.width) - prefixLen;
    std::string body(prefix);
    if (minDigits > n)
        body.append(minDigits - n, '0');
    for (size_t i = n; i > 0; --i)
        body += buf[i - 1];
    Pad(out, body, s);
}

std::string Quote(const char* str, bool withQuotes) {
    size_t n = strlen(str);
    std::string r;
    r.reserve(n + 2 + n / 64);
    if (withQuotes)
        r += '\'';
    const char* p = str;
    const char* end = str + n;
    while (p < end) {
        const char* q = static_cast<const char*>(memchr(p, '\'', static_cast<size_t>(end - p)));
        if (!q) {
            r.append(p, static_cast<size_t>(end - p));
            break;
        }
        r.append(p, static_cast<size_t>(q - p + 1));
        r += '\'';
        p = q + 1;
    }
    if (withQuotes)
        r += '\'';
    return r;
}

void Truncate(std::string& body, const Conversion& s) {
    if (s.precision >= 0 && static_cast<size_t>(s.precision) < body.size())
        body.resize(static_cast<size_t>(s.precision));
}

} // namespace

std::string VFormat(const char* fmt, va_list apIn) {
    va_list ap;
    va_copy(ap, apIn);
    std::string out;
    for (const char* p = fmt; *p; ++p) {
        if (*p != '%') {
            const char* q = p;
            while (*q && *q != '%')
                ++q;
            out.append(p, static_cast<size_t>(q - p));
            p = q - 1;
            continue;
        }
        const char* start = p;
        ++p;
        Conversion s;
        for (;; ++p) {
            if (*p == '-')
                s.left = true;
            else if (*p == '+')
                s.plus = true;
            else if (*p == ' ')
                s.space = true;
            else if (*p == '#')
                s.alt = true;
            else if (*p == '0')
                s.zero = true;
            else
                break;
        }
        if (*p == '*') {
            s.width = va_arg(ap, int);
            if (s.width < 0) {
                s.left = true;
                s.width = -s.width;
            }
            ++p;
        } else {
            while (*p >= '0' && *p <= '9')
                s.width = s.width * 10 + (*p++ - '0');
        }
        if (*p == '.') {
            ++p;
            s.precision = 0;
            if (*p == '*') {
                s.precision = va_arg(ap, int);
                if (s.precision < 0)
                    s.precision = -1;
                ++p;
            } else {
                while (*p >= '0' && *p <= '9')
                    s.precision = s.precision * 10 + (*p++ - '0');
            }
        }
        for (bool more = true; more;) {
            switch (*p) {
            case 'l':
                s.length = s.length == 1 ? 2 : 1;
                ++p;
                break;
            case 'h':
                s.length = s.length == -1 ? -2 : -1;
                ++p;
                break;
            case 'z':
                s.length = 3;
                ++p;
                break;
            case 'j':
                s.length = 4;
                ++p;
                break;
            case 't':
                s.length = 5;
                ++p;
                break;
            case 'L':
                s.longDouble = true;
                ++p;
                break;
            default:
                more = false;
            }
        }
        char conv = *p;
        switch (conv) {
        case 'd':
        case 'i': {
            int64_t v;
            switch (s.length) {
            case 1:
                v = va_arg(ap, long);
                break;
            case 2:
                v = va_arg(ap, long long);
                break;
            case 3:
                v = static_cast<int64_t>(va_arg(ap, size_t));
                break;
            case 4:
                v = va_arg(ap, intmax_t);
                break;
            case 5:
                v = va_arg(ap, ptrdiff_t);
                break;
            case -1:
                v = static_cast<short>(va_arg(ap, int));
                break;
            case -2:
                v = static_cast<signed char>(va_arg(ap, int));
                break;
            default:
                v = va_arg(ap, int);
            }
            bool neg = v < 0;
            uint64_t mag = neg ? (~static_cast<uint64_t>(v) + 1) : static_cast<uint64_t>(v);
            FormatInteger(out, s, neg, mag, 10, false, conv);
            break;
        }
        case 'u':
        case 'x':
        case 'X':
        case 'o': {
            uint64_t v;
            switch (s.length) {
            case 1:
                v = va_arg(ap, unsigned long);
                break;
            case 2:
                v = va_arg(ap, unsigned long long);
                break;
            case 3:
                v = va_arg(ap, size_t);
                break;
            case 4:
                v = va_arg(ap, uintmax_t);
                break;
            case 5:
                v = static_cast<uint64_t>(va_arg(ap, ptrdiff_t));
                break;
            case -1:
                v = static_cast<unsigned short>(va_arg(ap, unsigned));
                break;
            case -2:
                v = static_cast<unsigned char>(va_arg(ap, unsigned));
                break;
            default:
                v = va_arg(ap, unsigned);
            }
            int base = conv == 'u' ? 10 : conv == 'o' ? 8 : 16;
            FormatInteger(out, s, false, v, base, conv == 'X', conv);
            break;
        }
        case 'p': {
            auto v = reinterpret_cast<uintptr_t>(va_arg(ap, void*));
            Conversion ps = s;
            ps.alt = true;
            FormatInteger(out, ps, false, v, 16, false, 'x');
            break;
        }
        case 'c': {
            std::string body(1, static_cast<char>(va_arg(ap, int)));
            Pad(out, body, s);
            break;
        }
        case 's': {
            const char* str = va_arg(ap, const char*);
            std::string body;
            if (str) {
                if (s.precision >= 0)
                    body.assign(str, strnlen(str, static_cast<size_t>(s.precision)));
                else
                    body = str;
            }
            Pad(out, body, s);
            break;
        }
        case 'q':
        case 'Q': {
            const char* str = va_arg(ap, const char*);
            std::string body;
            if (!str)
                body = conv == 'q' ? "(NULL)" : "NULL";
            else
                body = Quote(str, conv == 'Q');
            Truncate(body, s);
            Pad(out, body, s);
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            std::string f = "%";
            if (s.left)
                f += '-';
            if (s.plus)
                f += '+';
            if (s.space)
                f += ' ';
            if (s.alt)
                f += '#';
            if (s.zero)
                f += '0';
            f += std::to_string(s.width);
            if (s.precision >= 0)
                f += "." + std::to_string(s.precision);
            std::string body;
            if (s.longDouble) {
                f += 'L';
                f += conv;
                long double v = va_arg(ap, long double);
                int n = snprintf(nullptr, 0, f.c_str(), v);
                if (n > 0) {
                    body.resize(static_cast<size_t>(n) + 1);
                    snprintf(body.data(), body.size(), f.c_str(), v);
                    body.resize(static_cast<size_t>(n));
                }
            } else {
                f += conv;
                double v = va_arg(ap, double);
                int n = snprintf(nullptr, 0, f.c_str(), v);
                if (n > 0) {
                    body.resize(static_cast<size_t>(n) + 1);
                    snprintf(body.data(), body.size(), f.c_str(), v);
                    body.resize(static_cast<size_t>(n));
                }
            }
            out += body;
            break;
        }
        case '%':
            out += '%';
            break;
        case '\0':
            out.append(start, static_cast<size_t>(p - start));
            --p;
            break;
        default:
            out.append(start, static_cast<size_t>(p - start + 1));
        }
    }
    va_end(ap);
    return out;
}

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string r = VFormat(fmt, ap);
    va_end(ap);
    return r;
}

} // namespace sqlite2
