// The race editor's rules for typed range limits and terraforming amounts.
#include <gtest/gtest.h>

#include "analysis/numbertext.h"
#include "analysis/racelimits.h"

using namespace vornex;

namespace {

// Rows for 0.25 .. 4 in quarters at 4 clicks each, 1 at click 0; 0.3 has none.
Gravities quarters()
{
    Gravities g;
    for (int q = 1; q <= 16; ++q)
        g.Add(gravityKey(q / 4.0f))->Clicks = static_cast<int16_t>((q - 4) * 4);
    return g;
}

Player race()
{
    Player r;
    r.GravMin = 0.5f;
    r.GravMax = 2;
    r.TempMin = -40;
    r.TempMax = 80;
    r.RadMin = 30;
    r.RadMax = 70;
    r.TempTerra = 6;
    return r;
}

constexpr RaceLimit kLimits[] = {RaceLimit::GravMin, RaceLimit::GravMax, RaceLimit::TempMin,
                                 RaceLimit::TempMax, RaceLimit::RadMin,  RaceLimit::RadMax};

double limitValue(const Player& r, RaceLimit l)
{
    const double values[] = {r.GravMin,         r.GravMax,        double(r.TempMin),
                             double(r.TempMax), double(r.RadMin), double(r.RadMax)};
    return values[static_cast<int>(l)];
}

} // namespace

TEST(RaceLimits, TypedLimitIsTakenAsStoredOrRefusedWithTheWholeReason)
{
    const Gravities g = quarters();
    struct Case {
        RaceLimit limit;
        const char* text;
        const char* storedOrRefusal; // the stored text when taken, else the message
        bool taken;
    };
    const Case cases[] = {
        {RaceLimit::GravMin, "0.75", "0.75", true},
        {RaceLimit::GravMax, "1.50", "1.5", true},
        {RaceLimit::TempMin, "12.5", "12", true}, // halves to the even neighbour
        {RaceLimit::RadMax, "30", "30", true},    // equal to the minimum
        {RaceLimit::GravMin, "heavy", "Grav Min not taken: \"heavy\" is not a number. The player keeps 0.5.", false},
        {RaceLimit::GravMin, "0.3", "Grav Min not taken: gravity 0.3 has no row in gravity.csv. The player keeps 0.5.",
         false},
        {RaceLimit::GravMin, "3", "Grav Min not taken: the minimum lies above the maximum 2. The player keeps 0.5.",
         false},
        {RaceLimit::GravMax, "0.25", "Grav Max not taken: the maximum lies below the minimum 0.5. The player keeps 2.",
         false},
        {RaceLimit::TempMax, "40000",
         "Temp Max not taken: 40000 does not fit in 16 bits (-32768 to 32767). The player keeps 80.", false},
        {RaceLimit::TempMin, "81", "Temp Min not taken: the minimum lies above the maximum 80. The player keeps -40.",
         false},
        {RaceLimit::RadMax, "20000", "20000", true}, // beyond the scale: its bar stops at the strip's end
        {RaceLimit::RadMin, "-32768", "Rad Min not taken: the range bar cannot be drawn for it. The player keeps 30.",
         false},
        // A typed text that looks like a placeholder comes back as typed.
        {RaceLimit::RadMin, "%3", "Rad Min not taken: \"%3\" is not a number. The player keeps 30.", false},
        {RaceLimit::TempMin, "", "Temp Min not taken: \"\" is not a number. The player keeps -40.", false},
    };
    const Player before = race();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(limitCaption(c.limit)) + " = \"" + c.text + "\"");
        const LimitCheck check = checkLimit(before, c.limit, c.text, g);
        EXPECT_EQ(check.refusal.empty(), c.taken) << check.refusal;
        EXPECT_EQ(c.taken ? check.stored : check.refusal, c.storedOrRefusal);
        // Only the limit typed changes, and only when it is taken.
        for (RaceLimit l : kLimits) {
            const bool changed = c.taken && l == c.limit;
            EXPECT_EQ(limitValue(check.race, l), changed ? std::stod(c.storedOrRefusal) : limitValue(before, l))
                << limitCaption(l);
        }
    }
}

TEST(RaceLimits, TerraformTakesAny16BitNumber)
{
    struct Case {
        TerraAmount amount;
        const char* text;
        int16_t value;
        const char* refusal;
    };
    const Case cases[] = {
        {TerraAmount::Temp, "12.5", 12, ""},
        {TerraAmount::Grav, "-3", -3, ""},
        {TerraAmount::Temp, "-", 6, "Temp Terraform not taken: \"-\" is not a number. The player keeps 6."},
        {TerraAmount::Rad, "40000", 0,
         "Rad Terraform not taken: 40000 does not fit in 16 bits (-32768 to 32767). The player keeps 0."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TerraCheck check = checkTerraform(race(), c.amount, c.text);
        EXPECT_EQ(check.refusal, c.refusal);
        EXPECT_EQ(check.value, c.value);
    }
}
