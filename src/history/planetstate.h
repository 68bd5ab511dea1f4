#pragma once
// One planet as the history keeps it: the figures the planet panel and the planet table show, and
// where they came from. The report's age is kept as the turn of the report (the turn recorded minus
// the age), which stays the same while nobody reports the planet again: a planet nobody looked at
// is no change.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/collections.h"

namespace vornex::history {

struct PlanetState {
    int16_t planet = 0;       // the planet's number (ID)
    bool reported = false;    // false: never reported; the figures are then those of the map alone
    int32_t reportedTurn = 0; // the turn the report was made in (turn recorded minus report age)
    std::string owner, starbase;
    int32_t population = 0;
    int16_t value = 0, defences = 0, mines = 0, factories = 0;
    std::array<int32_t, 3> surface{};       // ironium, boranium, germanium
    std::array<int16_t, 3> miningRate{};    // the same order
    std::array<int16_t, 3> concentration{}; // the same order
    std::string grav, temp, rad;
    std::string source; // "report", "export.pN" or "map"

    bool operator==(const PlanetState&) const = default;
};

// Everything but the report's turn is the same.
bool sameFigures(const PlanetState& a, const PlanetState& b);

// A planet as loaded now, with its report age (-1: never reported) still to be turned into a turn.
struct Observation {
    PlanetState state; // reportedTurn not set yet
    int16_t age = -1;
    std::string name;
};

// The planets of a loaded galaxy in table order.
std::vector<Observation> observe(const Map& planets);

// The report age at turn (-1 for a planet never reported).
int32_t ageAt(const PlanetState& state, int32_t turn);

// True for an owner text that names no race: empty or "Uninhabited".
bool noOwner(const std::string& owner);

} // namespace vornex::history
