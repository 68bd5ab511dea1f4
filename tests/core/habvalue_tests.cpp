// Habitability ratings and terraform markers, checked against figures worked out by hand.
#include <gtest/gtest.h>

#include "analysis/habvalue.h"
#include "analysis/numbertext.h"

using namespace vornex;

namespace {

// A gravity table in which the gravity value v (a whole number from -50 to 50) sits at click v,
// plus one realistic fractional row.
Gravities identityTable()
{
    Gravities g;
    for (int v = -50; v <= 50; ++v)
        g.Add(gravityKey(static_cast<float>(v)))->Clicks = static_cast<int16_t>(v);
    g.Add("0.12")->Clicks = -50;
    return g;
}

Player race(float gMin, float gMax, int16_t tMin, int16_t tMax, int16_t rMin, int16_t rMax)
{
    Player p;
    p.GravMin = gMin;
    p.GravMax = gMax;
    p.TempMin = tMin;
    p.TempMax = tMax;
    p.RadMin = rMin;
    p.RadMax = rMax;
    return p;
}

// A race centred on the middle of every bar with half-width 10 clicks in each dimension.
Player centred10()
{
    return race(-10, 10, -40, 40, 40, 60);
}

} // namespace

TEST(HabValue, WorkedExamplesOfTheInsideFormula)
{
    const Gravities table = identityTable();
    struct Case {
        Player r;
        float g;
        int16_t t, rad;
        int expected;
    };
    const Case cases[] = {
        {centred10(), 0, 0, 50, 100},  // 0 of 10 everywhere: 100.5 goes to the even 100
        {centred10(), 5, 20, 55, 50},  // 5 of 10 everywhere: 50.5 goes to 50
        {centred10(), 10, -40, 40, 0}, // at every edge: 0.5 goes to 0
        // gravity 3 of 10, temperature 8 of 12 (32 degrees), radiation 0 of 20
        {race(-10, 10, -48, 48, 30, 70), 3, 32, 50, 61},
        // gravity 7 of 14, temperature 2 of 20, radiation 9 of 15
        {race(-14, 14, -80, 80, 35, 65), -7, 8, 59, 58},
        // remaining equal to the half-width is still inside: (1, 0, 0) gives sqrt(2) * 0.5 / sqrt(3)
        {centred10(), 10, 0, 50, 41},
    };
    for (const auto& c : cases) {
        HabResult res = HabValue(c.g, c.t, c.rad, 0, 0, 0, &c.r, table);
        EXPECT_FALSE(res.failed);
        EXPECT_EQ(res.rating, c.expected) << "gravity " << c.g << " temp " << c.t << " rad " << c.rad;
    }
}

TEST(HabValue, OutsideRatingsAddTheClampedExcesses)
{
    const Gravities table = identityTable();
    const Player r = centred10();
    EXPECT_EQ(HabValue(12, 0, 50, 0, 0, 0, &r, table).rating, -2);     // 12 against 10
    EXPECT_EQ(HabValue(11, 0, 50, 0, 0, 0, &r, table).rating, -1);     // one click past the edge
    EXPECT_EQ(HabValue(50, 200, 100, 0, 0, 0, &r, table).rating, -45); // 40 against 10 everywhere
    EXPECT_EQ(HabValue(-50, 0, 50, 0, 0, 0, &r, table).rating, -15);   // clamped at -15 per dimension
    // Two dimensions out: -3 (gravity) + -15 (radiation 0 = 50 below centre); temperature inside.
    EXPECT_EQ(HabValue(-13, 0, 0, 0, 0, 0, &r, table).rating, -18);
}

TEST(HabValue, WorkedExampleOfTemperatureAndRadiationAndTheirMarkers)
{
    const Gravities table = identityTable();
    // Temperature centre 5, half-width 20; planet at 40 degrees = 10 clicks, distance 5, terraform 2.
    // Radiation centre 0, half-width 30; radiation 65 is 15 above.
    const Player r = race(-10, 10, -60, 100, 20, 80);
    HabResult res = HabValue(0, 40, 65, 0, 2, 0, &r, table);
    ASSERT_FALSE(res.failed);
    EXPECT_DOUBLE_EQ(*res.markerClicks[0], 0.0);   // gravity at its centre 0
    EXPECT_DOUBLE_EQ(*res.markerClicks[1], 5 + 3); // centre 5, 3 clicks left above
    EXPECT_DOUBLE_EQ(*res.markerClicks[2], 15);
    // q: gravity 0, temperature 3/20, radiation 15/30 -> 100 * sqrt(0.85^2 + 1 + 0.5^2) / sqrt(3) + 0.5 = 81.59
    EXPECT_EQ(res.rating, 82);
}

TEST(HabValue, TemperatureKeepsItsQuarterDegreesUntilRounded)
{
    const Gravities table = identityTable();
    const Player r = race(-10, 10, -80, 80, 40, 60);
    // -58 degrees is -14.5 clicks: distance nearest(14.5) = 14, below the centre.
    EXPECT_DOUBLE_EQ(*HabValue(0, -58, 50, 0, 0, 0, &r, table).markerClicks[1], -14);
    // -62 degrees is -15.5 clicks: 16.
    EXPECT_DOUBLE_EQ(*HabValue(0, -62, 50, 0, 0, 0, &r, table).markerClicks[1], -16);
    // A race from -63 to 100 degrees: centre nearest((-15.75 + 25) / 2) = nearest(4.625) = 5.
    const Player odd = race(-10, 10, -63, 100, 40, 60);
    EXPECT_DOUBLE_EQ(*HabValue(0, 20, 50, 0, 0, 0, &odd, table).markerClicks[1], 5);
}

TEST(HabValue, TerraformingAmounts)
{
    const Gravities table = identityTable();
    const Player r = centred10();
    // Amounts larger than the distances leave nothing: the planet rates as if at the centre.
    HabResult past = HabValue(6, 24, 44, 20, 20, 20, &r, table);
    EXPECT_EQ(past.rating, 100);
    EXPECT_DOUBLE_EQ(*past.markerClicks[0], 0.0);
    EXPECT_DOUBLE_EQ(*past.markerClicks[1], 0.0);
    EXPECT_DOUBLE_EQ(*past.markerClicks[2], 0.0);
    // A negative amount pushes the planet further out: 8 + 5 = 13 > 10.
    EXPECT_EQ(HabValue(8, 0, 50, -5, 0, 0, &r, table).rating, -3);
    // Terraforming brings a planet from outside to inside.
    EXPECT_LT(HabValue(13, 0, 50, 0, 0, 0, &r, table).rating, 0);
    EXPECT_EQ(HabValue(13, 0, 50, 3, 0, 0, &r, table).rating, 41);
}

TEST(HabValue, MarkersSitWhereTheTerraformedPlanetLiesAlsoForOffCentreRaces)
{
    const Gravities table = identityTable();
    // Gravity range 10..30: centre 20. Planet at 26 with 4 clicks of terraforming ends at 22;
    // planet at 14 ends at 18. Both markers are symmetric around the centre's position.
    const Player r = race(10, 30, -40, 40, 40, 60);
    HabResult above = HabValue(26, 0, 50, 4, 0, 0, &r, table);
    HabResult below = HabValue(14, 0, 50, 4, 0, 0, &r, table);
    EXPECT_DOUBLE_EQ(*above.markerClicks[0], 22);
    EXPECT_DOUBLE_EQ(*below.markerClicks[0], 18);
    EXPECT_DOUBLE_EQ(*above.markerClicks[0] + *below.markerClicks[0], 2 * 20);
    EXPECT_EQ(above.rating, below.rating);
    // Without terraforming the marker is the planet's own click.
    EXPECT_DOUBLE_EQ(*HabValue(-7, 0, 50, 0, 0, 0, &r, table).markerClicks[0], -7);
}

TEST(HabValue, LowGravityRangesLoseTheirLowestClick)
{
    const Gravities table = identityTable();
    // -45..-21 is used as -44..-21: centre nearest(-32.5) = -32, half-width 12, so -20 is inside
    // (unadjusted the centre would be -33 and -20 one click out).
    const Player low = race(-45, -21, -40, 40, 40, 60);
    EXPECT_GE(HabValue(-20, 0, 50, 0, 0, 0, &low, table).rating, 0);
    EXPECT_LT(HabValue(-45, 0, 50, 0, 0, 0, &low, table).rating, 0);
    // -40 is "below -39": -40..-19 becomes -39..-19 (centre -29, half-width 10), so -40 is one
    // click out and -19 inside; unadjusted it would be the other way round.
    const Player forty = race(-40, -19, -40, 40, 40, 60);
    EXPECT_EQ(HabValue(-40, 0, 50, 0, 0, 0, &forty, table).rating, -1);
    EXPECT_GE(HabValue(-19, 0, 50, 0, 0, 0, &forty, table).rating, 0);
    // Lower end -39 is not adjusted: -39..-20 has centre -30 and half-width 10, so -40 is inside.
    const Player edge = race(-39, -20, -40, 40, 40, 60);
    EXPECT_GE(HabValue(-40, 0, 50, 0, 0, 0, &edge, table).rating, 0);
    // -45..-43 is two clicks wide and becomes -44..-43: half-width nearest(0.5) = 0, centre -44,
    // so -43 is outside.
    const Player narrow = race(-45, -43, -40, 40, 40, 60);
    EXPECT_EQ(HabValue(-43, 0, 50, 0, 0, 0, &narrow, table).rating, -1);
}

TEST(HabValue, FailuresRateZeroAndKeepOnlyTheMarkersPlacedBefore)
{
    const Gravities table = identityTable();
    const Player r = centred10();

    HabResult noPlayer = HabValue(0, 0, 50, 0, 0, 0, nullptr, table);
    EXPECT_TRUE(noPlayer.failed);
    EXPECT_EQ(noPlayer.rating, 0);
    EXPECT_FALSE(noPlayer.markerClicks[0].has_value());

    // A gravity with no table row: no marker moves.
    HabResult noRow = HabValue(1.5f, 0, 50, 0, 0, 0, &r, table);
    EXPECT_TRUE(noRow.failed);
    EXPECT_EQ(noRow.rating, 0);
    for (const auto& m : noRow.markerClicks)
        EXPECT_FALSE(m.has_value());

    // A race limit with no row fails the same way.
    const Player badLimit = race(2.5f, 10, -40, 40, 40, 60);
    EXPECT_TRUE(HabValue(5, 0, 50, 0, 0, 0, &badLimit, table).failed);

    // A 16-bit overflow in temperature: the gravity marker is placed, the others are not.
    HabResult overflow = HabValue(3, 0, 50, 0, INT16_MIN, 0, &r, table);
    EXPECT_TRUE(overflow.failed);
    EXPECT_EQ(overflow.rating, 0);
    EXPECT_TRUE(overflow.markerClicks[0].has_value());
    EXPECT_FALSE(overflow.markerClicks[1].has_value());
    EXPECT_FALSE(overflow.markerClicks[2].has_value());

    // A race range that overflows (radiation width): the markers before it are still placed.
    const Player wideRad = race(-10, 10, -40, 40, INT16_MIN, INT16_MAX);
    HabResult wide = HabValue(0, 0, 50, 0, 0, 0, &wideRad, table);
    EXPECT_TRUE(wide.failed);
    EXPECT_EQ(wide.rating, 0);
    EXPECT_TRUE(wide.markerClicks[0].has_value() && wide.markerClicks[1].has_value());
    EXPECT_FALSE(wide.markerClicks[2].has_value());

    // Radiation half-width 0: the planet on it is 0/0 (failure, 0); one unit off is outside (-1).
    const Player zeroWidth = race(-10, 10, -40, 40, 50, 50);
    HabResult zero = HabValue(0, 0, 50, 0, 0, 0, &zeroWidth, table);
    EXPECT_TRUE(zero.failed);
    EXPECT_EQ(zero.rating, 0);
    EXPECT_TRUE(zero.markerClicks[2].has_value());
    HabResult off = HabValue(0, 0, 51, 0, 0, 0, &zeroWidth, table);
    EXPECT_FALSE(off.failed);
    EXPECT_EQ(off.rating, -1);
    // A race whose maximum lies below its minimum: everything is outside, no division.
    const Player reversed = race(-10, 10, -40, 40, 60, 40);
    EXPECT_EQ(HabValue(0, 0, 50, 0, 0, 0, &reversed, table).rating, -10);
}

TEST(HabValue, FractionalGravityIsLookedUpThroughItsCanonicalKey)
{
    Gravities table = identityTable();
    table.Add("1.5")->Clicks = 5;
    const Player r = centred10();
    // 1.5 finds its row at click 5: 5 of 10 in gravity only.
    HabResult res = HabValue(1.5f, 0, 50, 0, 0, 0, &r, table);
    EXPECT_FALSE(res.failed);
    EXPECT_DOUBLE_EQ(*res.markerClicks[0], 5.0);
    EXPECT_EQ(gravityClicks(0.12f, table), std::optional<int16_t>(-50));
    EXPECT_EQ(gravityClicks(0.13f, table), std::nullopt);
}

TEST(HabValue, PropertiesOverASweepOfPlanetsAndRaces)
{
    const Gravities table = identityTable();
    const Player races[] = {centred10(), race(-45, -21, -60, 100, 20, 80), race(10, 30, -200, 0, 0, 30),
                            race(-3, 3, -8, 8, 48, 52)};
    for (const auto& r : races) {
        for (int g = -50; g <= 50; g += 7) {
            for (int t = -200; t <= 200; t += 37) {
                for (int rad = 0; rad <= 100; rad += 13) {
                    auto base = HabValue(float(g), int16_t(t), int16_t(rad), 0, 0, 0, &r, table);
                    ASSERT_GE(base.rating, -45);
                    ASSERT_LE(base.rating, 100);
                    // Terraforming never lowers a rating.
                    for (int16_t amount : {1, 3, 10, 30}) {
                        auto terra = HabValue(float(g), int16_t(t), int16_t(rad), amount, amount, amount, &r, table);
                        ASSERT_GE(terra.rating, base.rating) << g << " " << t << " " << rad << " +" << amount;
                    }
                }
            }
        }
    }
}
