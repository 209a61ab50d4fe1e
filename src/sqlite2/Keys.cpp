#include "sqlite2/Keys.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sqlite2 {

bool IsNumber(std::string_view t) {
    size_t i = 0, n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t digits = i;
    while (i < n && t[i] >= '0' && t[i] <= '9')
        ++i;
    if (i == digits)
        return false;
    if (i < n && t[i] == '.') {
        ++i;
        size_t frac = i;
        while (i < n && t[i] >= '0' && t[i] <= '9')
            ++i;
        if (i == frac)
            return false;
    }
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            ++i;
        size_t exp = i;
        while (i < n && t[i] >= '0' && t[i] <= '9')
            ++i;
        if (i == exp)
            return false;
    }
    return i == n;
}

double ToDouble(std::string_view t) {
    // Values come from stored texts without NUL; copy for strtod's terminator.
    char small[64];
    if (t.size() < sizeof small) {
        memcpy(small, t.data(), t.size());
        small[t.size()] = '\0';
        return strtod(small, nullptr);
    }
    std::string s(t);
    return strtod(s.c_str(), nullptr);
}

void AppendSortableNumber(double x, std::string& out) {
    static const char kDigit[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz|~";
    out += x < 0 ? '-' : '0';
    double f = std::fabs(x);
    int e = 0;
    if (f == 0) {
        e = -1024;
    } else {
        while (f >= 0.5 && e <= 1025) {
            f /= 64;
            ++e;
        }
        while (f < 1.0 / 128 && e >= -1025) {
            f *= 64;
            --e;
        }
    }
    if (x < 0) {
        e = -e;
        f = -f;
    }
    int s = e + 1024;
    if (s >= 2048 || f + 0.5 >= 1) {
        out.append(12, '~');
        return;
    }
    if (s < 0) {
        out.append(12, '0');
        return;
    }
    out += kDigit[s / 64];
    out += kDigit[s % 64];
    double g = f + 0.5;
    for (int i = 0; i < 10 && g > 0; ++i) {
        g *= 64;
        int d = static_cast<int>(g);
        out += kDigit[d];
        g -= d;
    }
}

void AppendIndexField(const Value& v, bool numericColumn, std::string& key) {
    if (!v) {
        key += 'a';
    } else if (numericColumn && IsNumber(*v)) {
        key += 'b';
        AppendSortableNumber(ToDouble(*v), key);
    } else {
        key += 'c';
        key += *v;
    }
    key += '\0';
}

namespace {

int Strcmp(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

} // namespace

int CompareNumeric(std::string_view a, std::string_view b) {
    bool an = IsNumber(a), bn = IsNumber(b);
    if (an && bn) {
        double x = ToDouble(a), y = ToDouble(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (an)
        return -1;
    if (bn)
        return 1;
    return Strcmp(a, b);
}

int CompareValues(std::string_view a, bool aNumeric, std::string_view b, bool bNumeric) {
    if (!aNumeric && !bNumeric)
        return Strcmp(a, b);
    return CompareNumeric(a, b);
}

int CompareForSort(const Value& a, const Value& b, bool numericColumn) {
    if (!a || !b)
        return a ? 1 : b ? -1 : 0;
    return numericColumn ? CompareNumeric(*a, *b) : Strcmp(*a, *b);
}

bool ToRowid(std::string_view text, int32_t& out) {
    if (!IsNumber(text))
        return false;
    double d = ToDouble(text);
    if (!(d >= -2147483648.0 && d <= 2147483647.0) || std::floor(d) != d)
        return false;
    out = static_cast<int32_t>(d);
    return true;
}

} // namespace sqlite2
