#include "analysis/nearestown.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/numeric.h"

namespace vornex {

namespace {

int64_t squaredDistance(const MapPoint& a, int32_t x, int32_t y)
{
    const int64_t dx = int64_t(a.x) - x, dy = int64_t(a.y) - y;
    return dx * dx + dy * dy;
}

int32_t floorDiv(int32_t a, int32_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Own points sorted by cell; cell c holds items[start[c] .. start[c + 1]).
class OwnGrid {
public:
    explicit OwnGrid(const std::vector<MapPoint>& own)
    {
        auto [minX, maxX] = std::minmax_element(own.begin(), own.end(), [](auto& a, auto& b) { return a.x < b.x; });
        auto [minY, maxY] = std::minmax_element(own.begin(), own.end(), [](auto& a, auto& b) { return a.y < b.y; });
        m_x0 = minX->x;
        m_y0 = minY->y;
        const double width = double(maxX->x) - m_x0 + 1, height = double(maxY->y) - m_y0 + 1;
        // About two points a cell when they are spread evenly.
        const double cells = std::max(1.0, own.size() / 2.0);
        m_cell = std::max(1, int32_t(std::ceil(std::sqrt(width * height / cells))));
        m_columns = int32_t(width / m_cell) + 1;
        m_rows = int32_t(height / m_cell) + 1;
        std::vector<int32_t> cellOf(own.size());
        m_start.assign(size_t(m_columns) * size_t(m_rows) + 1, 0);
        for (size_t i = 0; i < own.size(); ++i) {
            cellOf[i] = (own[i].y - m_y0) / m_cell * m_columns + (own[i].x - m_x0) / m_cell;
            ++m_start[size_t(cellOf[i]) + 1];
        }
        for (size_t c = 1; c < m_start.size(); ++c)
            m_start[c] += m_start[c - 1];
        m_items.resize(own.size());
        std::vector<int32_t> next(m_start.begin(), m_start.end() - 1);
        // Filled in index order, so each cell lists its points by index.
        for (size_t i = 0; i < own.size(); ++i)
            m_items[size_t(next[size_t(cellOf[i])]++)] = {own[i], int32_t(i)};
    }

    int nearest(MapPoint q) const
    {
        const int32_t cx = floorDiv(q.x - m_x0, m_cell), cy = floorDiv(q.y - m_y0, m_cell);
        int64_t best = std::numeric_limits<int64_t>::max();
        int32_t bestIndex = -1;
        // The first ring that touches the grid.
        int32_t r = std::max({0, cx - (m_columns - 1), -cx, cy - (m_rows - 1), -cy});
        for (;; ++r) {
            scanRing(q, cx, cy, r, best, bestIndex);
            if (cx - r <= 0 && cy - r <= 0 && cx + r >= m_columns - 1 && cy + r >= m_rows - 1) break;
            // Every point outside the square of rings 0..r lies at least this far away; one exactly
            // that far may still be an earlier point of equal distance, so only a nearer best stops.
            const int64_t left = int64_t(m_x0) + int64_t(cx - r) * m_cell, right = left + int64_t(2 * r + 1) * m_cell;
            const int64_t top = int64_t(m_y0) + int64_t(cy - r) * m_cell, bottom = top + int64_t(2 * r + 1) * m_cell;
            const int64_t gap = std::min({q.x - left + 1, right - q.x, q.y - top + 1, bottom - q.y});
            if (bestIndex >= 0 && best < gap * gap) break;
        }
        return bestIndex;
    }

private:
    struct Item {
        MapPoint p;
        int32_t index;
    };

    void scanCell(MapPoint q, int32_t column, int32_t row, int64_t& best, int32_t& bestIndex) const
    {
        if (column < 0 || row < 0 || column >= m_columns || row >= m_rows) return;
        const size_t c = size_t(row) * size_t(m_columns) + size_t(column);
        for (int32_t k = m_start[c]; k < m_start[c + 1]; ++k) {
            const Item& it = m_items[size_t(k)];
            const int64_t d = squaredDistance(it.p, q.x, q.y);
            if (d < best || (d == best && it.index < bestIndex)) {
                best = d;
                bestIndex = it.index;
            }
        }
    }

    void scanRing(MapPoint q, int32_t cx, int32_t cy, int32_t r, int64_t& best, int32_t& bestIndex) const
    {
        if (r == 0) return scanCell(q, cx, cy, best, bestIndex);
        const int32_t x0 = std::max(cx - r, 0), x1 = std::min(cx + r, m_columns - 1);
        for (int32_t x = x0; x <= x1; ++x) {
            scanCell(q, x, cy - r, best, bestIndex);
            scanCell(q, x, cy + r, best, bestIndex);
        }
        const int32_t y0 = std::max(cy - r + 1, 0), y1 = std::min(cy + r - 1, m_rows - 1);
        for (int32_t y = y0; y <= y1; ++y) {
            scanCell(q, cx - r, y, best, bestIndex);
            scanCell(q, cx + r, y, best, bestIndex);
        }
    }

    int32_t m_x0 = 0, m_y0 = 0, m_cell = 1, m_columns = 1, m_rows = 1;
    std::vector<int32_t> m_start;
    std::vector<Item> m_items;
};

} // namespace

std::vector<int> nearestPoints(const std::vector<MapPoint>& own, const std::vector<MapPoint>& queries)
{
    std::vector<int> result(queries.size(), -1);
    if (own.empty()) return result;
    const OwnGrid grid(own);
    for (size_t i = 0; i < queries.size(); ++i)
        result[i] = grid.nearest(queries[i]);
    return result;
}

std::vector<int> nearestPointsPlain(const std::vector<MapPoint>& own, const std::vector<MapPoint>& queries)
{
    std::vector<int> result(queries.size(), -1);
    for (size_t i = 0; i < queries.size(); ++i) {
        int64_t best = std::numeric_limits<int64_t>::max();
        for (size_t k = 0; k < own.size(); ++k) {
            const int64_t d = squaredDistance(own[k], queries[i].x, queries[i].y);
            if (d < best) {
                best = d;
                result[i] = int(k);
            }
        }
    }
    return result;
}

std::vector<NearestOwn> nearestOwnWorlds(const Map& planets, const std::string& ownRace)
{
    std::vector<PlanetPtr> worlds;
    std::vector<MapPoint> own, all;
    all.reserve(size_t(planets.Count()));
    for (const auto& p : planets) {
        all.push_back({p->Xcord, p->Ycord});
        if (!ownRace.empty() && p->Owner == ownRace) {
            worlds.push_back(p);
            own.push_back({p->Xcord, p->Ycord});
        }
    }
    const std::vector<int> nearest = nearestPoints(own, all);
    std::vector<NearestOwn> result(all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        if (nearest[i] < 0) continue;
        const MapPoint& w = own[size_t(nearest[i])];
        result[i].world = worlds[size_t(nearest[i])];
        // The distance tool's rule: the square root rounded half to even, empty beyond 16 bits.
        result[i].distance = num::tryInt16(std::sqrt(double(squaredDistance(w, all[i].x, all[i].y))));
    }
    return result;
}

} // namespace vornex
