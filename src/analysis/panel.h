#pragma once
// Everything the planet panel shows for a planet, computed without widgets. Each value that a
// step of the panel cannot compute (a missing table row, a text that is no number, an overflow, no
// player) is nullopt: the panel then leaves that control as it was.

#include <array>
#include <optional>
#include <string>

#include "analysis/habvalue.h"
#include "model/collections.h"

namespace vornex {

struct MineralRow {
    std::string tooltip;                // "Boranium - Surface: 1200 - Concentration: 45 - Mining Rate: 30"
    std::optional<double> concLeft;     // MinSingle(2 * C, 202) + 66
    std::optional<double> surfaceWidth; // MinSingle(S * 202 / 5000, 202)
    std::optional<double> miningWidth;  // MinSingle((S + R) * 202 / 5000, 202)
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
    // Value markers (left edges) of the gravity, temperature and radiation rows.
    std::optional<double> gravLeft, tempLeft, radLeft;
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

// The race's range bars on the environment strips (left edge, width) in window pixels.
struct RaceBars {
    std::optional<std::pair<double, double>> grav, temp, rad;
};
RaceBars computeRaceBars(const Player* race, const Gravities& gravities);

} // namespace vornex
