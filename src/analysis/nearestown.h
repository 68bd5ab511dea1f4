#pragma once
// The nearest of a set of points for each of many: the search behind the planet table's distance to
// your worlds (setNearestOwn in planetrows.h).
//
// The search puts your worlds into a grid of square cells. For each quarter of a cell it finds once
// the few worlds that can be nearest to a point of it, and each planet there looks at those alone; a
// planet outside the grid searches the cells ring by ring until no unseen cell can hold a nearer
// world. So a galaxy of 32767 planets with a thousand worlds of yours needs no loop over every
// pair. nearestPointsPlain is that loop, kept as the reference the grid is checked against.

#include <cmath>
#include <cstdint>
#include <optional>
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

// The straight-line distance whose square is `squared`, rounded half to even into 16 bits as the
// distance tool rounds (planetDistance in view.h); empty beyond 16 bits. Worked out in whole
// numbers: the root lies above n + 1/2 exactly when squared > n * n + n, and no whole number has a
// root ending in exactly one half, so there is never a tie to round to even.
inline std::optional<int> roundedDistance(int64_t squared)
{
    int64_t n = int64_t(std::sqrt(double(squared)));
    // The floating root may land one off a whole number; put n right.
    while (n * n > squared)
        --n;
    while ((n + 1) * (n + 1) <= squared)
        ++n;
    if (squared - n * n > n) ++n;
    if (n > 32767) return std::nullopt;
    return int(n);
}

} // namespace vornex
