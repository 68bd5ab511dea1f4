#pragma once
// One planet as a line of the planet table: the figures the planet panel shows for it, in the
// window's table and in vornexinfo-report alike.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/habvalue.h"
#include "model/collections.h"

namespace vornex {

// The first cache line holds what the distance to your worlds reads and writes for every row (the
// position, the owner's start, the result), so that pass over a large galaxy touches one line a row.
struct alignas(64) PlanetRow {
    int16_t x = 0, y = 0;
    int16_t id = 0;
    // Distance to the nearest world of your race and that world's name; empty without one.
    std::optional<int> nearOwn;
    std::string nearOwnName;
    std::string owner;
    std::string name;
    int16_t reportAge = 0;
    int16_t value = 0;
    int32_t population = 0;
    // Empty where the planet panel computes no rating (never reported, environment not a number).
    std::optional<int> hab, habTerra;
    std::optional<int> distance; // only with a reference planet
    // Name and owner as they are compared when sorting (letter case ignored).
    std::string nameKey, ownerKey;
    // Where the figures come from ("report", "export.p3", "map") and the player's note (noteKey:
    // letter case ignored, for the filter).
    std::string source, note, noteKey;
};

// The row of `planet` rated for race (player YourNumber, null when there is none); the distance
// from `from` when it is given and fits 16 bits. The nearest own world is left empty.
PlanetRow planetRow(const Planet& planet, const Player* race, const Gravities& gravities, const Planet* from = nullptr);
// The same for many rows of one race: prepareHabRace once, then a row per planet.
PlanetRow planetRow(const Planet& planet, const HabRace& race, const Gravities& gravities,
                    const Planet* from = nullptr);

// A row per planet in collection order, rated for race, with the distances from `from` when it is
// given and to the nearest world of race's race name.
std::vector<PlanetRow> planetRows(const Map& planets, const Player* race, const Gravities& gravities,
                                  const Planet* from = nullptr);

// Each row's distance to the nearest world of ownRace (the rows whose owner is exactly ownRace; an
// empty ownRace owns nothing) and that world's name, measured as the distance tool measures (straight
// line, rounded half to even; empty beyond 16 bits); the first world in row order among equally near
// ones. A world is its own nearest, at 0.
void setNearestOwn(std::vector<PlanetRow>& rows, const std::string& ownRace);

// The distances of the rows from `from` again (null clears them), after another planet was chosen.
void setDistances(std::vector<PlanetRow>& rows, const Planet* from);

// Highest first, rows without a figure last: the order of the rating columns.
bool higherFirst(const std::optional<int>& a, const std::optional<int>& b);

} // namespace vornex
