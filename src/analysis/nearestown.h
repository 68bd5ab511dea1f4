#pragma once
// The nearest of a set of points for each of many: the search behind the planet table's distance to
// your worlds (setNearestOwn in planetrows.h).
//
// The search puts your worlds into a grid of square cells. For each cell it finds once the few
// worlds that can be nearest to a point of it, and each planet in the cell looks at those alone; a
// planet outside the grid searches the cells ring by ring until no unseen cell can hold a nearer
// world. So a galaxy of 32767 planets with a thousand worlds of yours needs no loop over every
// pair. nearestPointsPlain is that loop, kept as the reference the grid is checked against.

#include <cstdint>
#include <vector>

namespace vornex {

struct MapPoint {
    int16_t x = 0;
    int16_t y = 0;
};

// For each query point the index into `own` of the nearest own point by straight-line distance, the
// lowest index among equally near ones; -1 for every query when `own` is empty.
std::vector<int> nearestPoints(const std::vector<MapPoint>& own, const std::vector<MapPoint>& queries);
std::vector<int> nearestPointsPlain(const std::vector<MapPoint>& own, const std::vector<MapPoint>& queries);

} // namespace vornex
