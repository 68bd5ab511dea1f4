#include "analysis/panel.h"

#include "analysis/numbertext.h"
#include "base/numeric.h"

namespace vornex {

namespace {

using num::intText;

MineralRow mineralRow(const char* word, int32_t surface, int16_t concentration, int16_t rate)
{
    MineralRow row;
    row.tooltip = std::string(word) + " - Surface: " + intText(surface) +
                  " - Concentration: " + intText(concentration) + " - Mining Rate: " + intText(rate);
    // Each figure is worked out on its own: one that overflows leaves only its own control alone.
    try {
        float twice = static_cast<float>(num::mul16(2, concentration));
        row.concLeft = static_cast<double>(MinSingle(twice, 202.0f)) + 66.0;
    } catch (const OverflowError&) {
    }
    // A full bar of 202 pixels stands for 5000 units.
    try {
        float width = num::toSingle(num::mul32(surface, 202) / 5000.0);
        row.surfaceWidth = MinSingle(width, 202.0f);
    } catch (const OverflowError&) {
    }
    try {
        float width = num::toSingle(num::mul32(num::add32(surface, rate), 202) / 5000.0);
        row.miningWidth = MinSingle(width, 202.0f);
    } catch (const OverflowError&) {
    }
    return row;
}

} // namespace

PanelRatings computeRatings(const Planet& planet, const Player* race, const Gravities& gravities)
{
    return computeRatings(planet, prepareHabRace(race, gravities), gravities);
}

PanelRatings computeRatings(const Planet& planet, const HabRace& race, const Gravities& gravities)
{
    PanelRatings out;
    // A planet never reported has no environment to rate.
    if (planet.ReportAge == -1) return out;
    // The two ratings need the environment as numbers; a text that is none drops both.
    auto g = num::parseSingle(planet.Grav);
    auto t = num::parseInt16(planet.Temp);
    auto r = num::parseInt16(planet.Rad);
    if (!(g && t && r)) return out;
    out.hab = HabValue(*g, *t, *r, 0, 0, 0, race, gravities);
    if (race.present)
        out.habTerra = HabValue(*g, *t, *r, race.gravTerra, race.tempTerra, race.radTerra, race, gravities);
    return out;
}

PanelValues computePanel(const Planet& planet, const Player* race, const Gravities& gravities)
{
    PanelValues v;
    v.xcord = intText(planet.Xcord);
    v.ycord = intText(planet.Ycord);
    v.title = planet.PlanetName + " Summary";
    v.reported = planet.ReportAge != -1;
    if (!v.reported) return v;

    v.minerals[0] = mineralRow("Boranium", planet.SurfaceBora, planet.ConcentrationBora, planet.RateBora);
    v.minerals[1] = mineralRow("Germanium", planet.SurfaceGerm, planet.ConcentrationGerm, planet.RateGerm);
    v.minerals[2] = mineralRow("Iron", planet.SurfaceIron, planet.ConcentrationIron, planet.RateIron);

    v.def = intText(planet.Def);
    v.factories = intText(planet.Factories);
    v.mines = intText(planet.Mines);
    v.owner = planet.Owner;
    v.population = intText(planet.Population);
    v.population1 = "Population: " + intText(planet.Population);
    v.reportAge = "Report is " + intText(planet.ReportAge) + " years old";
    v.resources = intText(planet.Resources);
    v.surfaceBora = intText(planet.SurfaceBora);
    v.surfaceGerm = intText(planet.SurfaceGerm);
    v.surfaceIron = intText(planet.SurfaceIron);
    v.capacity = intText(planet.Capacity);
    v.scanner = intText(planet.Scanner) + "(" + intText(planet.Penetration) + ")";
    v.grav = planet.Grav + "g";
    v.temp = planet.Temp + "\xC2\xB0"
                           "C";
    v.rad = planet.Rad + "mR";

    // Value markers: the 7-pixel "+" centred at 75 + p, p running 0..200 across the scale.
    if (auto row = gravities.Item(FixNumberText(planet.Grav))) {
        try {
            v.gravLeft = num::add16(num::mul16(num::add16(row->Clicks, 50), 2), 72);
        } catch (const OverflowError&) {
        }
    }
    if (auto t = num::parseStrict(planet.Temp)) v.tempLeft = (*t + 200.0) / 2.0 + 72.0;
    if (auto r = num::parseStrict(planet.Rad)) v.radLeft = 2.0 * *r + 72.0;

    PanelRatings ratings = computeRatings(planet, race, gravities);
    v.hab = ratings.hab;
    v.habTerra = ratings.habTerra;
    if (v.hab) v.habitability = intText(v.hab->rating);
    if (v.habTerra) v.valueLine = "Value: " + intText(planet.Value) + "% (" + intText(v.habTerra->rating) + "%)";
    return v;
}

RaceBars computeRaceBars(const Player* race, const Gravities& gravities)
{
    RaceBars bars;
    if (!race) return bars;
    // Bars show the limits as stored. A limit that has no table row, a width that would be negative
    // (maximum below minimum) or a figure that leaves 16 bits leaves that bar as it was.
    try {
        auto mn = gravityClicks(race->GravMin, gravities);
        auto mx = gravityClicks(race->GravMax, gravities);
        if (mn && mx) {
            int16_t left = num::add16(num::mul16(2, num::add16(*mn, 50)), 75);
            int16_t width = num::mul16(2, num::sub16(*mx, *mn));
            if (width >= 0) bars.grav = std::make_pair(double(left), double(width));
        }
    } catch (const OverflowError&) {
    }
    {
        double left = (race->TempMin + 200.0) / 2.0 + 75.0;
        double width = (static_cast<double>(race->TempMax) - race->TempMin) / 2.0;
        if (width >= 0) bars.temp = std::make_pair(left, width);
    }
    try {
        int16_t left = num::add16(num::mul16(2, race->RadMin), 75);
        int16_t width = num::mul16(2, num::sub16(race->RadMax, race->RadMin));
        if (width >= 0) bars.rad = std::make_pair(double(left), double(width));
    } catch (const OverflowError&) {
    }
    return bars;
}

} // namespace vornex
