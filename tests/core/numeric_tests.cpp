#include <bit>
#include <charconv>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/numeric.h"

using namespace vornex;

TEST(Numeric, RoundsHalvesToEven)
{
    EXPECT_EQ(num::roundHalfEven(2.5), 2.0);
    EXPECT_EQ(num::roundHalfEven(3.5), 4.0);
    EXPECT_EQ(num::roundHalfEven(-0.5), 0.0);
    EXPECT_EQ(num::roundHalfEven(-1.5), -2.0);
    EXPECT_EQ(num::roundHalfEven(2.4999), 2.0);
    EXPECT_EQ(num::toInt16(32767.4), 32767);
    EXPECT_EQ(num::toInt16(-32768.5), -32768);
}

TEST(Numeric, SixteenBitOverflowIsAFailureNeverAWrap)
{
    EXPECT_THROW(num::toInt16(32767.5), OverflowError);
    EXPECT_THROW(num::add16(32000, 1000), OverflowError);
    EXPECT_THROW(num::sub16(-32768, 1), OverflowError);
    EXPECT_THROW(num::mul16(200, 200), OverflowError);
    EXPECT_THROW(num::neg16(-32768), OverflowError);
    EXPECT_THROW(num::abs16(-32768), OverflowError);
    EXPECT_EQ(num::add16(-100, 50), -50);
    EXPECT_FALSE(num::tryInt16(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_THROW(num::add32(2147483647, 1), OverflowError);
    EXPECT_THROW(num::mul32(65536, 65536), OverflowError);
}

TEST(Numeric, TextOfNumbers)
{
    EXPECT_EQ(num::intText(-12), "-12");
    EXPECT_EQ(num::singleText(4.4f), "4.4");
    EXPECT_EQ(num::singleText(2.0f), "2");
    EXPECT_EQ(num::singleText(0.5f), "0.5");
    EXPECT_EQ(num::doubleText(-120.0), "-120");
    EXPECT_EQ(num::doubleText(0.25), "0.25");
}

TEST(Numeric, StrictParsing)
{
    EXPECT_EQ(num::parseStrict(" -1.5 ").value(), -1.5);
    EXPECT_EQ(num::parseStrict("2E3").value(), 2000.0);
    EXPECT_FALSE(num::parseStrict("").has_value());
    EXPECT_FALSE(num::parseStrict("1,5").has_value());
    EXPECT_FALSE(num::parseStrict("12abc").has_value());
    EXPECT_EQ(num::parseInt16("2.5").value(), 2);
    EXPECT_FALSE(num::parseInt16("40000").has_value());
    EXPECT_EQ(num::parseInt32("40000").value(), 40000);
}

// Decimals of up to fifteen digits take a short way; it must give the very double the full
// reading (from_chars) gives, sign, zeros and point wherever they stand.
TEST(Numeric, ShortDecimalsReadExactlyAsTheFullReading)
{
    std::vector<std::string> texts = {"0.39",
                                      "2.47",
                                      "0.1",
                                      "0.3",
                                      "1.",
                                      ".5",
                                      "000.30",
                                      "-0.0",
                                      "+7.25",
                                      "123456789012.345",
                                      "0.000000000000001",
                                      "999999999999999.",
                                      "-4.09"};
    uint64_t seed = 12345;
    for (int k = 0; k < 20000; ++k) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const int digits = 1 + int((seed >> 33) % 15);
        std::string t = std::to_string(seed >> 11).substr(0, size_t(digits));
        t.insert(size_t((seed >> 20) % (t.size() + 1)), ".");
        texts.push_back((seed & 1) ? "-" + t : t);
    }
    for (const std::string& text : texts) {
        std::string_view body = text;
        const bool negative = body[0] == '-';
        if (body[0] == '-' || body[0] == '+') body.remove_prefix(1);
        double full = 0;
        ASSERT_EQ(std::from_chars(body.data(), body.data() + body.size(), full).ec, std::errc()) << text;
        if (negative) full = -full;
        const auto read = num::parseStrict(text);
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_EQ(std::bit_cast<uint64_t>(*read), std::bit_cast<uint64_t>(full)) << text;
    }
    EXPECT_FALSE(num::parseStrict(".").has_value());
    EXPECT_FALSE(num::parseStrict("1.2.3").has_value());
    EXPECT_FALSE(num::parseStrict("-.").has_value());
}

TEST(Numeric, SingleReadingStopsAtTheSingleRange)
{
    // Beyond the single range the reading is refused before any conversion (which the sanitizer
    // suite reports); up to half a step beyond the largest single it rounds to it.
    constexpr float kLargest = std::numeric_limits<float>::max();
    const struct {
        const char* text;
        std::optional<float> value;
    } cases[] = {
        {"1e40", std::nullopt},
        {"-1e300", std::nullopt},
        {"1e39", std::nullopt},
        {"3.4028236e38", std::nullopt},
        {"3.40282356e38", kLargest},
        {"-3.40282356e38", -kLargest},
        {"3.4028235E+38", kLargest},
        {"-3.4028234e38", -kLargest},
        {"1.5", 1.5f},
        {"1e-50", 0.0f},
        {"0.1", 0.1f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(num::parseSingle(c.text), c.value) << c.text;
}

TEST(Numeric, TextOfInfinitiesAndExtremes)
{
    EXPECT_EQ(num::singleText(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(num::doubleText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(num::singleText(1e20f), "1E+20");
    EXPECT_EQ(num::singleText(1234567.0f), "1234567");
    EXPECT_EQ(num::doubleText(0.0001), "0.0001");
}
