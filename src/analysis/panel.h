#pragma once
// Everything the planet panel shows for a planet, computed without widgets: texts, clicks on the
// environment scale (-50 to 50) and fractions of the mineral chart. Each value that cannot be
// computed (a missing table row, a text that is no number, an overflow, no player) is nullopt: the
// panel then shows that figure empty, never another planet's.

#include <array>
#include <optional>
#include <string>

#include "analysis/habvalue.h"
#include "model/collections.h"

namespace vornex {

// One mineral's row of the chart, in fractions of its full width (0 to 1).
struct MineralRow {
    std::string tooltip;                 // "Boranium - Surface: 1200 - Concentration: 45 - Mining Rate: 30"
    std::optional<double> surface;       // S / 5000: a full bar stands for 5000 units
    std::optional<double> mining;        // (S + R) / 5000: surface plus a year's mining
    std::optional<double> concentration; // C / 100
};

struct PanelValues {
    bool reported = false; // ReportAge != -1; when false only the title and coordinates apply

    std::string xcord, ycord, title; // title: PlanetName + " Summary"
    // Texts of the reported branch, in the panel's words.
    std::string def, factories, mines, owner, population, population1, reportAge, resources;
    std::string surfaceBora, surfaceGerm, surfaceIron, capacity, scanner;
    std::string grav, temp, rad; // "1.5g", "-120°C", "45mR"
    // Minerals in the order Boranium, Germanium, Ironium.
    std::array<MineralRow, 3> minerals;
    // Where the environment lies on the click scale: the gravity's clicks, the temperature / 4,
    // the radiation - 50.
    std::optional<double> gravClicks, tempClicks, radClicks;
    // Ratings without and with the race's terraforming, and the texts they give.
    std::optional<HabResult> hab;            // HabValue(g, t, r, 0, 0, 0)
    std::optional<HabResult> habTerra;       // HabValue(g, t, r, GravTerra, TempTerra, RadTerra)
    std::optional<std::string> habitability; // "-12"
    std::optional<std::string> valueLine;    // "Value: 45% (67%)"
};

// The two ratings alone, without any of the panel's texts: for callers that show only the figures
// (the planet table, the report tool). computePanel takes its ratings from here, so both agree.
struct PanelRatings {
    std::optional<HabResult> hab, habTerra;
};
PanelRatings computeRatings(const Planet& planet, const Player* race, const Gravities& gravities);
PanelRatings computeRatings(const Planet& planet, const HabRace& race, const Gravities& gravities);

// race is player YourNumber, or null when there is none.
PanelValues computePanel(const Planet& planet, const Player* race, const Gravities& gravities);

// The race's habitable ranges on the click scale, (lowest, highest) as stored: a limit beyond the
// scale is kept. nullopt for a range that cannot be measured (a limit without a gravity row, a
// maximum below the minimum, a span beyond 16 bits) or without a race.
struct RaceRanges {
    std::optional<std::pair<double, double>> grav, temp, rad;
};
RaceRanges computeRaceRanges(const Player* race, const Gravities& gravities);

} // namespace vornex
