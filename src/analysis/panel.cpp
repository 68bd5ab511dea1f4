#include "analysis/panel.h"

#include <algorithm>
#include <cstdint>

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
    // Each figure is worked out on its own: one that overflows leaves only its own figure empty.
    row.surface = std::min(surface / 5000.0, 1.0);
    try {
        row.mining = std::min(num::add32(surface, rate) / 5000.0, 1.0);
    } catch (const OverflowError&) {
    }
    row.concentration = std::min(concentration / 100.0, 1.0);
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

    // Where the environment lies on the scale of clicks.
    if (auto row = gravities.Item(FixNumberText(planet.Grav))) v.gravClicks = row->Clicks;
    if (auto t = num::parseStrict(planet.Temp)) v.tempClicks = *t / 4.0;
    if (auto r = num::parseStrict(planet.Rad)) v.radClicks = *r - 50.0;

    PanelRatings ratings = computeRatings(planet, race, gravities);
    v.hab = ratings.hab;
    v.habTerra = ratings.habTerra;
    if (v.hab) v.habitability = intText(v.hab->rating);
    if (v.habTerra) v.valueLine = "Value: " + intText(planet.Value) + "% (" + intText(v.habTerra->rating) + "%)";
    return v;
}

RaceRanges computeRaceRanges(const Player* race, const Gravities& gravities)
{
    RaceRanges ranges;
    if (!race) return ranges;
    // (low, high) when the span high - low is a 16-bit number of clicks that is not negative.
    auto range = [](double low, double high) -> std::optional<std::pair<double, double>> {
        const double span = high - low;
        if (span < 0 || span > INT16_MAX) return std::nullopt;
        return std::make_pair(low, high);
    };
    auto mn = gravityClicks(race->GravMin, gravities);
    auto mx = gravityClicks(race->GravMax, gravities);
    if (mn && mx) ranges.grav = range(*mn, *mx);
    ranges.temp = range(race->TempMin / 4.0, race->TempMax / 4.0);
    ranges.rad = range(race->RadMin - 50.0, race->RadMax - 50.0);
    return ranges;
}

} // namespace vornex
