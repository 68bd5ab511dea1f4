#pragma once
// Distance to your worlds: for every planet, the nearest planet your race owns, measured as the
// distance tool measures (straight line, rounded half to even into 16 bits).
//
// The search puts your worlds into a grid of square cells and looks at the cells around a planet
// ring by ring until no unseen cell can hold a nearer world, so a galaxy of 32767 planets with a
// thousand worlds of yours needs no loop over every pair. nearestPointsPlain is that loop, kept as
// the reference the grid is checked and timed against.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/collections.h"

namespace vornex {

struct MapPoint {
    int16_t x = 0;
    int16_t y = 0;
};

// For each query point the index into `own` of the nearest own point by straight-line distance, the
// lowest index among equally near ones; -1 for every query when `own` is empty.
std::vector<int> nearestPoints(const std::vector<MapPoint>& own, const std::vector<MapPoint>& queries);
std::vector<int> nearestPointsPlain(const std::vector<MapPoint>& own, const std::vector<MapPoint>& queries);

struct NearestOwn {
    PlanetPtr world;                 // null when you own no planet
    std::optional<int16_t> distance; // empty when there is no world or the distance leaves 16 bits
};

// The nearest world of ownRace for every planet, in collection order. Your worlds are the planets
// whose owner is exactly ownRace; an empty ownRace owns nothing. A world of yours is its own
// nearest, at distance 0.
std::vector<NearestOwn> nearestOwnWorlds(const Map& planets, const std::string& ownRace);

} // namespace vornex
