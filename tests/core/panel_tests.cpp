// The planet panel's figures and texts, and the race's range bars.
#include <gtest/gtest.h>

#include "analysis/numbertext.h"
#include "analysis/panel.h"
#include "analysis/planetrows.h"

using namespace vornex;

namespace {

Gravities table()
{
    Gravities g;
    for (int v = -50; v <= 50; ++v)
        g.Add(gravityKey(static_cast<float>(v)))->Clicks = static_cast<int16_t>(v);
    g.Add("1.5")->Clicks = 5;
    return g;
}

Planet reported()
{
    Planet p;
    p.ID = 7;
    p.PlanetName = "Kestrel";
    p.Xcord = 234;
    p.Ycord = -15;
    p.Owner = "Uninhabited";
    p.ReportAge = 0;
    p.Population = 12000;
    p.Value = 45;
    p.SurfaceBora = 1200;
    p.ConcentrationBora = 45;
    p.RateBora = 30;
    p.SurfaceIron = 2500;
    p.ConcentrationIron = 0;
    p.SurfaceGerm = 4950;
    p.RateGerm = 100;
    p.ConcentrationGerm = 101;
    p.Scanner = 150;
    p.Penetration = 0;
    p.Grav = "1.5";
    p.Temp = "-120";
    p.Rad = "45";
    return p;
}

Player race()
{
    Player r;
    r.GravMin = -10;
    r.GravMax = 10;
    r.TempMin = -40;
    r.TempMax = 40;
    r.RadMin = 40;
    r.RadMax = 60;
    r.GravTerra = 5;
    r.TempTerra = 0;
    r.RadTerra = 0;
    return r;
}

} // namespace

TEST(Panel, TextsOfAReportedPlanet)
{
    const Gravities g = table();
    const Player r = race();
    PanelValues v = computePanel(reported(), &r, g);
    ASSERT_TRUE(v.reported);
    EXPECT_EQ(v.title, "Kestrel Summary");
    EXPECT_EQ(v.xcord, "234");
    EXPECT_EQ(v.ycord, "-15");
    EXPECT_EQ(v.population, "12000");
    EXPECT_EQ(v.population1, "Population: 12000");
    EXPECT_EQ(v.reportAge, "Report is 0 years old");
    EXPECT_EQ(v.owner, "Uninhabited");
    EXPECT_EQ(v.scanner, "150(0)");
    EXPECT_EQ(v.grav, "1.5g");
    EXPECT_EQ(v.temp, "-120\xC2\xB0"
                      "C");
    EXPECT_EQ(v.rad, "45mR");
    EXPECT_EQ(v.minerals[0].tooltip, "Boranium - Surface: 1200 - Concentration: 45 - Mining Rate: 30");
    EXPECT_EQ(v.minerals[2].tooltip.rfind("Iron - Surface: ", 0), 0u);
}

TEST(Panel, MineralBarsAndMarkers)
{
    const Gravities g = table();
    PanelValues v = computePanel(reported(), nullptr, g);
    // Concentration 45 stands at 45% of the chart; 0 at its start; 101 and up at its end.
    EXPECT_DOUBLE_EQ(*v.minerals[0].concentration, 0.45);
    EXPECT_DOUBLE_EQ(*v.minerals[2].concentration, 0.0);
    EXPECT_DOUBLE_EQ(*v.minerals[1].concentration, 1.0);
    // Surface 2500 is half a bar; 4950 is 99%, plus mining 100 reaches the end and stops there.
    EXPECT_DOUBLE_EQ(*v.minerals[2].surface, 0.5);
    EXPECT_DOUBLE_EQ(*v.minerals[1].surface, 0.99);
    EXPECT_DOUBLE_EQ(*v.minerals[1].mining, 1.0);
    Planet p = reported();
    p.SurfaceIron = 0;
    p.SurfaceBora = 1'000'000;
    p.ConcentrationBora = 20000; // far beyond the chart: at its end
    PanelValues w = computePanel(p, nullptr, g);
    EXPECT_DOUBLE_EQ(*w.minerals[2].surface, 0.0);
    EXPECT_DOUBLE_EQ(*w.minerals[0].surface, 1.0);
    EXPECT_DOUBLE_EQ(*w.minerals[0].concentration, 1.0);
    p.SurfaceBora = INT32_MAX; // S + R leaves 32 bits: that bar alone is empty
    p.RateBora = 1;
    w = computePanel(p, nullptr, g);
    EXPECT_FALSE(w.minerals[0].mining.has_value());
    EXPECT_DOUBLE_EQ(*w.minerals[0].surface, 1.0);
}

TEST(Panel, EnvironmentMarkers)
{
    const Gravities g = table();
    Planet p = reported();
    struct Case {
        const char *grav, *temp, *rad;
        double gl, tl, rl;
    };
    // Gravity in its table's clicks, temperature in degrees / 4, radiation - 50.
    for (const Case& c : {Case{"-50", "-200", "0", -50, -50, -50}, Case{"0", "0", "50", 0, 0, 0},
                          Case{"50", "200", "100", 50, 50, 50}, Case{"0", "15", "50", 0, 3.75, 0}}) {
        p.Grav = c.grav;
        p.Temp = c.temp;
        p.Rad = c.rad;
        PanelValues v = computePanel(p, nullptr, g);
        EXPECT_DOUBLE_EQ(*v.gravClicks, c.gl);
        EXPECT_DOUBLE_EQ(*v.tempClicks, c.tl);
        EXPECT_DOUBLE_EQ(*v.radClicks, c.rl);
    }
}

TEST(Panel, RatingsAndValueLine)
{
    const Gravities g = table();
    const Player r = race();
    Planet p = reported();
    p.Grav = "7";
    p.Temp = "0";
    p.Rad = "50";
    PanelValues v = computePanel(p, &r, g);
    // Gravity 7 of 10 without terraforming, 2 of 10 with 5 clicks.
    EXPECT_EQ(v.habitability, std::optional<std::string>("67"));
    EXPECT_EQ(v.valueLine, std::optional<std::string>("Value: 45% (94%)"));
    EXPECT_EQ(v.habTerra->rating, 94);
    // Outside: the rating without terraforming is negative.
    p.Grav = "22";
    v = computePanel(p, &r, g);
    EXPECT_EQ(v.habitability, std::optional<std::string>("-12"));
    EXPECT_EQ(v.valueLine, std::optional<std::string>("Value: 45% (-7%)"));
}

TEST(Panel, StepsThatCannotBeComputedAreLeftOut)
{
    const Gravities g = table();
    const Player r = race();
    // A gravity text the table does not hold: no gravity marker, both ratings 0.
    Planet p = reported();
    p.Grav = "1.7";
    PanelValues v = computePanel(p, &r, g);
    EXPECT_FALSE(v.gravClicks.has_value());
    EXPECT_EQ(v.habitability, std::optional<std::string>("0"));
    EXPECT_EQ(v.valueLine, std::optional<std::string>("Value: 45% (0%)"));
    // A temperature that is no number: no temperature marker and no ratings.
    p = reported();
    p.Temp = "hot";
    v = computePanel(p, &r, g);
    EXPECT_FALSE(v.tempClicks.has_value());
    EXPECT_TRUE(v.radClicks.has_value());
    EXPECT_FALSE(v.habitability.has_value());
    EXPECT_FALSE(v.valueLine.has_value());
    // No player: the plain rating is HabValue's 0, the value line is left alone.
    v = computePanel(reported(), nullptr, g);
    EXPECT_EQ(v.habitability, std::optional<std::string>("0"));
    EXPECT_FALSE(v.valueLine.has_value());
}

TEST(Panel, PlanetWithoutReportShowsOnlyTitleAndCoordinates)
{
    Planet p = reported();
    p.ReportAge = -1;
    const Player r = race();
    PanelValues v = computePanel(p, &r, table());
    EXPECT_FALSE(v.reported);
    EXPECT_EQ(v.title, "Kestrel Summary");
    EXPECT_EQ(v.xcord, "234");
    EXPECT_TRUE(v.owner.empty());
    EXPECT_FALSE(v.hab.has_value());
    EXPECT_FALSE(v.gravClicks.has_value());
    // Its environment values (an export or an older report may leave them) rate nothing in the
    // planet table and the report tool either: one rule for all three.
    const Gravities g = table();
    ASSERT_TRUE(computeRatings(reported(), &r, g).hab.has_value());
    const PanelRatings ratings = computeRatings(p, &r, g);
    EXPECT_FALSE(ratings.hab || ratings.habTerra);
    const PlanetRow row = planetRow(p, &r, g);
    EXPECT_FALSE(row.hab || row.habTerra);
}

TEST(RaceRanges, ClicksAndRefusals)
{
    const Gravities g = table();
    Player r;
    r.RadMin = 20;
    r.RadMax = 80;
    r.TempMin = -60;
    r.TempMax = 100;
    r.GravMin = -10;
    r.GravMax = 15;
    RaceRanges b = computeRaceRanges(&r, g);
    EXPECT_EQ(b.rad, std::make_optional(std::make_pair(-30.0, 30.0)));
    EXPECT_EQ(b.temp, std::make_optional(std::make_pair(-15.0, 25.0)));
    EXPECT_EQ(b.grav, std::make_optional(std::make_pair(-10.0, 15.0)));
    // As stored: -45 is not raised for the bar.
    r.GravMin = -45;
    r.GravMax = -20;
    EXPECT_EQ(computeRaceRanges(&r, g).grav, std::make_optional(std::make_pair(-45.0, -20.0)));
    r.TempMin = -63;
    EXPECT_DOUBLE_EQ(computeRaceRanges(&r, g).temp->first, -15.75);
    // A limit without a row, a maximum below the minimum or a span beyond 16 bits has no range.
    r.GravMin = 2.5f;
    r.RadMax = 10;
    r.TempMin = -32768;
    r.TempMax = 32767;
    RaceRanges bad = computeRaceRanges(&r, g);
    EXPECT_FALSE(bad.grav.has_value());
    EXPECT_FALSE(bad.rad.has_value());
    EXPECT_TRUE(bad.temp.has_value()) << "a quarter of the span fits";
    r.RadMin = -32768;
    r.RadMax = 32767;
    EXPECT_FALSE(computeRaceRanges(&r, g).rad.has_value());
    EXPECT_FALSE(computeRaceRanges(nullptr, g).temp.has_value());
}
