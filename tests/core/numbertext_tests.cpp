// The canonical number text of the gravity table and the single-precision clamps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/numbertext.h"

using namespace vornex;

TEST(FixNumberText, CanonicalForms)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0.12", "0.12"}, {".5", "0.5"},   {"1.00", "1"}, {"1", "1"},     {"2.350", "2.35"},
        {"0", "0"},       {"-0.5", "-.5"}, {"-3", "-3"},  {"8", "8"},     {" 1.5 ", "1.5"},
        {"+2", "2"},      {"-0", "0"},     {"1e1", "10"}, {"0.000", "0"}, {"10.10", "10.1"},
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(FixNumberText(in), out) << in;
    // Not a number: returned unchanged.
    for (const char* text : {"", "abc", "1,5", "1.2.3"})
        EXPECT_EQ(FixNumberText(text), text);
}

TEST(FixNumberText, GravityKeysOfSinglesMatchTheTableSpelling)
{
    // A gravity read from a report as a single must find the row written in the table's form.
    const std::pair<float, const char*> cases[] = {{0.12f, "0.12"}, {0.5f, "0.5"},  {1.0f, "1"},
                                                   {2.35f, "2.35"}, {-0.5f, "-.5"}, {4.4f, "4.4"}};
    for (auto [g, key] : cases)
        EXPECT_EQ(gravityKey(g), key) << g;
}

TEST(SingleClamps, TiesAndIncomparableValues)
{
    EXPECT_EQ(MaxSingle(-1, 3), 3);
    EXPECT_EQ(MinSingle(-1, 3), -1);
    // Equal values give the second argument: visible with the two zeros.
    EXPECT_TRUE(std::signbit(MaxSingle(0.0f, -0.0f)));
    EXPECT_FALSE(std::signbit(MinSingle(-0.0f, 0.0f)));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(MaxSingle(nan, 2), 2);            // incomparable: b
    EXPECT_TRUE(std::isnan(MinSingle(nan, 2))); // incomparable: a
    EXPECT_EQ(MinSingle(2, nan), 2);
}
