#pragma once
// The arithmetic rules every computation of the program follows.
//
// - Fractions become integers by rounding to the nearest whole number, a half going to the even
//   neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0). Floor is used only where a computation says so.
// - 16-bit and 32-bit quantities never wrap: a result outside the range is a failure. The throwing
//   helpers raise OverflowError; the try* helpers return std::nullopt.
// - "Single" means IEEE single precision; toSingle() makes the rounding to it explicit.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace vornex {

// A 16-bit or 32-bit quantity left its range (or a value was not a number at all).
class OverflowError : public std::range_error {
public:
    explicit OverflowError(const std::string& what) : std::range_error(what) {}
};

namespace num {

// Nearest whole number, halves to the even neighbour. NaN and infinities come back unchanged.
double roundHalfEven(double x);

// Largest whole number not above x.
double floorValue(double x);

// Round half to even into int16 / int32; nullopt when the result does not fit or x is NaN.
std::optional<int16_t> tryInt16(double x);
std::optional<int32_t> tryInt32(double x);

// As above, but a value out of range throws OverflowError.
int16_t toInt16(double x);
int32_t toInt32(double x);

// Checked 16-bit arithmetic: the exact result must fit into int16, otherwise OverflowError.
int16_t add16(int16_t a, int16_t b);
int16_t sub16(int16_t a, int16_t b);
int16_t mul16(int16_t a, int16_t b);
int16_t neg16(int16_t a);
int16_t abs16(int16_t a);

// Checked 32-bit arithmetic.
int32_t add32(int32_t a, int32_t b);
int32_t mul32(int32_t a, int32_t b);

// Round a double to single precision.
inline float toSingle(double x)
{
    return static_cast<float>(x);
}

// Plain decimal text of an integer: "-12", "0", "2000".
std::string intText(long long v);

// Shortest decimal text of a single with at most seven significant digits and a full stop:
// 2 -> "2", 1.25 -> "1.25", 0.5 -> "0.5", 4.4f -> "4.4". Large or tiny magnitudes use an exponent
// ("1E+20").
std::string singleText(float v);

// Decimal text of a double with at most fifteen significant digits and no superfluous zeros:
// 1.5 -> "1.5", -120 -> "-120", 0.25 -> "0.25".
std::string doubleText(double v);

// doubleText of the strict reading of the text, or nullopt when the text is not a number (see
// parseStrict). Plain decimals such as "1.50" or "-120", by far the most common, are rewritten
// digit by digit with the same result instead of being converted back and forth.
std::optional<std::string> numberText(std::string_view text);

// Strict number reading: optional blanks around an optionally signed decimal number with a full
// stop as separator and an optional exponent. Anything else (empty text included) is nullopt.
std::optional<double> parseStrict(std::string_view text);

// The strict reading rounded to int16 / int32 (halves to even); nullopt if not a number or out of
// range.
std::optional<int16_t> parseInt16(std::string_view text);
std::optional<int32_t> parseInt32(std::string_view text);
// The strict reading rounded to single precision; nullopt if not a number or not finite as a single.
std::optional<float> parseSingle(std::string_view text);

} // namespace num
} // namespace vornex
