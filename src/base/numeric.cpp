#include "base/numeric.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vornex::num {

double roundHalfEven(double x)
{
    if (!std::isfinite(x)) return x;
    // std::nearbyint honours the rounding mode, which is round-to-nearest-even unless someone
    // changed it; do the rounding by hand so that nothing global matters.
    double fl = std::floor(x);
    double diff = x - fl;
    if (diff < 0.5) return fl;
    if (diff > 0.5) return fl + 1.0;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

double floorValue(double x)
{
    return std::floor(x);
}

std::optional<int16_t> tryInt16(double x)
{
    // Whole numbers in range, the usual case, need no rounding.
    if (x >= -32768.0 && x <= 32767.0) {
        auto i = static_cast<int32_t>(x);
        if (static_cast<double>(i) == x) return static_cast<int16_t>(i);
    }
    double r = roundHalfEven(x);
    if (!(r >= -32768.0 && r <= 32767.0)) return std::nullopt; // also rejects NaN
    return static_cast<int16_t>(r);
}

std::optional<int32_t> tryInt32(double x)
{
    if (x >= -2147483648.0 && x <= 2147483647.0) {
        auto i = static_cast<int64_t>(x);
        if (static_cast<double>(i) == x) return static_cast<int32_t>(i);
    }
    double r = roundHalfEven(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<int32_t>(r);
}

int16_t toInt16(double x)
{
    auto v = tryInt16(x);
    if (!v) throw OverflowError("value does not fit in 16 bits");
    return *v;
}

int32_t toInt32(double x)
{
    auto v = tryInt32(x);
    if (!v) throw OverflowError("value does not fit in 32 bits");
    return *v;
}

namespace {
int16_t checked16(int32_t v)
{
    if (v < -32768 || v > 32767) throw OverflowError("16-bit overflow");
    return static_cast<int16_t>(v);
}
int32_t checked32(int64_t v)
{
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw OverflowError("32-bit overflow");
    return static_cast<int32_t>(v);
}
} // namespace

int16_t add16(int16_t a, int16_t b)
{
    return checked16(int32_t(a) + int32_t(b));
}
int16_t sub16(int16_t a, int16_t b)
{
    return checked16(int32_t(a) - int32_t(b));
}
int16_t mul16(int16_t a, int16_t b)
{
    return checked16(int32_t(a) * int32_t(b));
}
int16_t neg16(int16_t a)
{
    return checked16(-int32_t(a));
}
int16_t abs16(int16_t a)
{
    return checked16(a < 0 ? -int32_t(a) : int32_t(a));
}
int32_t add32(int32_t a, int32_t b)
{
    return checked32(int64_t(a) + int64_t(b));
}
int32_t mul32(int32_t a, int32_t b)
{
    return checked32(int64_t(a) * int64_t(b));
}

std::string intText(long long v)
{
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

namespace {
// printf's %G (upper-case exponent) in the C locale, whatever locale the program runs in: the Qt
// program takes over the user's locale, and snprintf/strtod would then write and read "1,5".
std::string gText(double v, int precision)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    std::string s(buf, res.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    return s;
}

double readBack(const std::string& s)
{
    double d = 0;
    std::from_chars(s.data(), s.data() + s.size(), d, std::chars_format::general);
    return d;
}

// The text of v with `digits` significant digits, written without an exponent whenever the whole
// part fits into `maxDigits` digits and the value is not tiny (120 stays "120", not "1.2E+02").
std::string plainWhereFits(double v, int digits, int maxDigits)
{
    if (!std::isfinite(v)) return gText(v, digits);
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    if (exponent >= -5 && exponent < maxDigits) return gText(v, std::max(digits, exponent + 1));
    return gText(v, digits);
}
} // namespace

std::string singleText(float v)
{
    if (v == 0.0f) return "0";
    for (int p = 1; p <= 7; ++p) {
        std::string s = gText(v, p);
        if (static_cast<float>(readBack(s)) == v) return plainWhereFits(v, p, 7);
    }
    return gText(v, 7);
}

std::string doubleText(double v)
{
    if (v == 0.0) return "0";
    for (int p = 1; p <= 15; ++p) {
        std::string s = gText(v, p);
        if (readBack(s) == v) return plainWhereFits(v, p, 15);
    }
    return gText(v, 15);
}

namespace {
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// doubleText of a plain decimal ("[+-]digits[.digits]", blanks around it), or nullopt when the text
// has another form or the shortcut might not give doubleText's result. A decimal of at most fifteen
// significant digits is the shortest text of the double it reads as, so doubleText writes its own
// digits: in plain notation while the value is at least 1E-4, with no superfluous zeros.
std::optional<std::string> plainDecimalText(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    std::string_view t = text.substr(b, e - b);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    size_t point = t.size();
    for (size_t i = 0; i < t.size(); ++i) {
        if (isDigit(t[i])) continue;
        if (t[i] == '.' && point == t.size()) {
            point = i;
            continue;
        }
        return std::nullopt;
    }
    std::string_view whole = t.substr(0, point);
    std::string_view fraction = point < t.size() ? t.substr(point + 1) : std::string_view{};
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (point + 1 == t.size()) return std::nullopt; // "5." is left to the full reading
    while (!whole.empty() && whole.front() == '0')
        whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    size_t significant = whole.size() + fraction.size();
    if (whole.empty()) {
        size_t zeros = 0;
        while (zeros < fraction.size() && fraction[zeros] == '0')
            ++zeros;
        if (zeros == fraction.size()) return std::string("0"); // zero, of either sign
        if (zeros > 3) return std::nullopt;                    // below 1E-4 the text takes an exponent
        significant = fraction.size() - zeros;
    }
    if (significant > 15) return std::nullopt;
    std::string out;
    out.reserve(significant + 4);
    if (negative) out += '-';
    if (whole.empty())
        out += '0';
    else
        out += whole;
    if (!fraction.empty()) {
        out += '.';
        out += fraction;
    }
    return out;
}
} // namespace

std::optional<std::string> numberText(std::string_view text)
{
    if (auto fast = plainDecimalText(text)) return fast;
    auto v = parseStrict(text);
    if (!v) return std::nullopt;
    return doubleText(*v);
}

std::optional<double> parseStrict(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    if (b == e) return std::nullopt;
    std::string_view t = text.substr(b, e - b);
    bool negative = false;
    if (t.front() == '+' || t.front() == '-') {
        negative = t.front() == '-';
        t.remove_prefix(1);
        if (t.empty()) return std::nullopt;
    }
    // Whole numbers and decimals of up to fifteen digits ("-120", "0.39"), the usual case: the
    // digits and the power of ten are exact as doubles, so their quotient is the correctly
    // rounded value, as from_chars gives it.
    if (t.size() <= 16) {
        int64_t digits = 0;
        int count = 0, fraction = -1;
        for (const char c : t) {
            if (isDigit(c)) {
                digits = digits * 10 + (c - '0');
                ++count;
                if (fraction >= 0) ++fraction;
            } else if (c == '.' && fraction < 0) {
                fraction = 0;
            } else {
                count = -1;
                break;
            }
        }
        if (count > 0 && count <= 15) {
            static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
            const double v = static_cast<double>(digits) / kTens[std::max(fraction, 0)];
            return negative ? -v : v;
        }
    }
    // from_chars accepts neither a leading '+' nor "inf"/"nan" spellings we want to refuse.
    if (!(std::isdigit(static_cast<unsigned char>(t.front())) || t.front() == '.')) return std::nullopt;
    double v = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) return std::nullopt;
    if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return std::nullopt;
    if (!std::isfinite(v)) return std::nullopt;
    return negative ? -v : v;
}

namespace {
// A text of one to nine digits, optionally after a minus sign: its value, exactly what the strict
// reading gives. nullopt for any other text (which then takes the full reading).
std::optional<int32_t> shortWholeNumber(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    const bool negative = n > 0 && text[0] == '-';
    if (negative) i = 1;
    if (n - i == 0 || n - i > 9) return std::nullopt;
    int32_t v = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (!isDigit(c)) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}
} // namespace

std::optional<int16_t> parseInt16(std::string_view text)
{
    if (auto w = shortWholeNumber(text)) {
        if (*w < -32768 || *w > 32767) return std::nullopt;
        return static_cast<int16_t>(*w);
    }
    auto v = parseStrict(text);
    if (!v) return std::nullopt;
    return tryInt16(*v);
}

std::optional<int32_t> parseInt32(std::string_view text)
{
    if (auto w = shortWholeNumber(text)) return *w;
    auto v = parseStrict(text);
    if (!v) return std::nullopt;
    return tryInt32(*v);
}

std::optional<float> parseSingle(std::string_view text)
{
    auto v = parseStrict(text);
    if (!v) return std::nullopt;
    // Converting a double beyond the single range is undefined: the range is checked first. Up to
    // half a step beyond the largest single a number still rounds to it; from there on it would be
    // an infinity.
    constexpr double kLargest = std::numeric_limits<float>::max();
    constexpr double kRoundsToLargest = kLargest + 0x1p103;
    const double magnitude = std::fabs(*v);
    if (!(magnitude < kRoundsToLargest)) return std::nullopt;
    if (magnitude > kLargest) return static_cast<float>(std::copysign(kLargest, *v));
    return static_cast<float>(*v);
}

} // namespace vornex::num
