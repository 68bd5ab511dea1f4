#include <gtest/gtest.h>
#include <limits>
#include <optional>

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
