#include "analysis/nearestown.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// Division by a fixed positive divisor for dividends from 0 to 2^17: a multiplication by the
// reciprocal, put right where rounding left it one off. Far cheaper than a division per planet.
class Divider {
public:
    explicit Divider(int32_t divisor) : m_divisor(divisor), m_reciprocal(1.0 / divisor) {}
    int32_t operator()(int32_t n) const
    {
        int32_t q = int32_t(n * m_reciprocal);
        if ((q + 1) * m_divisor <= n)
            ++q;
        else if (q * m_divisor > n)
            --q;
        return q;
    }

private:
    int32_t m_divisor;
    double m_reciprocal;
};

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
        // About two points a cell when they are spread evenly: a cell's candidates are then found
        // within two rings, and a cell serves many planets.
        const double cells = std::max(1.0, own.size() / 2.0);
        // A whole number of parts to a cell side (see nearestAll).
        m_cell = std::max(1, int32_t(std::ceil(std::sqrt(width * height / cells))));
        m_cell += (kSplit - m_cell % kSplit) % kSplit;
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

    // The nearest own point of every query. Queries are taken by quarter cell: for each quarter the
    // few points that can be nearest to any point of it are found once (those no farther from it
    // than the point whose farthest corner is nearest), and each of its queries looks at those
    // alone. Queries outside the grid search ring by ring.
    void nearestAll(const std::vector<MapPoint>& queries, std::vector<int>& result) const
    {
        const int32_t part = m_cell / kSplit, partColumns = m_columns * kSplit;
        const size_t parts = size_t(partColumns) * size_t(m_rows) * size_t(kSplit);
        const int32_t right = m_x0 + m_columns * m_cell - 1, bottom = m_y0 + m_rows * m_cell - 1;
        const Divider inPart(part);
        std::vector<int32_t> first(parts + 1, 0), partOf(queries.size(), -1);
        for (size_t i = 0; i < queries.size(); ++i) {
            const MapPoint q = queries[i];
            if (q.x < m_x0 || q.y < m_y0 || q.x > right || q.y > bottom) {
                result[i] = nearest(q);
                continue;
            }
            partOf[i] = inPart(q.y - m_y0) * partColumns + inPart(q.x - m_x0);
            ++first[size_t(partOf[i]) + 1];
        }
        for (size_t c = 1; c < first.size(); ++c)
            first[c] += first[c - 1];
        std::vector<int32_t> order(size_t(first.back())), next(first.begin(), first.end() - 1);
        for (size_t i = 0; i < queries.size(); ++i)
            if (partOf[i] >= 0) order[size_t(next[size_t(partOf[i])]++)] = int32_t(i);
        std::vector<Item> candidates;
        std::vector<std::pair<Item, int64_t>> seen;
        for (size_t c = 0; c < parts; ++c) {
            if (first[c] == first[c + 1]) continue;
            const int32_t px = int32_t(c % size_t(partColumns)), py = int32_t(c / size_t(partColumns));
            const int32_t x0 = m_x0 + px * part, y0 = m_y0 + py * part;
            const Area area{x0, x0 + part - 1, y0, y0 + part - 1};
            candidatesOf(px / kSplit, py / kSplit, area, candidates, seen);
            for (int32_t k = first[c]; k < first[c + 1]; ++k) {
                const MapPoint q = queries[size_t(order[size_t(k)])];
                int64_t best = std::numeric_limits<int64_t>::max();
                int32_t bestIndex = -1;
                for (const Item& it : candidates)
                    consider(it, q, best, bestIndex);
                result[size_t(order[size_t(k)])] = bestIndex;
            }
        }
    }

    int nearest(MapPoint q) const
    {
        const int32_t cx = floorDiv(q.x - m_x0, m_cell), cy = floorDiv(q.y - m_y0, m_cell);
        int64_t best = std::numeric_limits<int64_t>::max();
        int32_t bestIndex = -1;
        // The first ring that touches the grid.
        int32_t r = std::max({0, cx - (m_columns - 1), -cx, cy - (m_rows - 1), -cy});
        scanRing(q, cx, cy, r, best, bestIndex);
        while (!finished(q, cx, cy, r, best, bestIndex))
            scanRing(q, cx, cy, ++r, best, bestIndex);
        return bestIndex;
    }

private:
    struct Item {
        MapPoint p;
        int32_t index;
    };
    struct Area {
        int32_t x0, x1, y0, y1;
    };
    // Queries are grouped by parts of a cell, kSplit by kSplit to a cell: a part has fewer
    // candidates than its cell.
    static constexpr int32_t kSplit = 2;

    // The points that can be nearest to a point of area (a part of cell (cx, cy)), nearer rings
    // first: every point whose distance to the area is at most the smallest distance from a point to the
    // area's farthest corner. seen: room for the points looked at, kept between calls.
    void candidatesOf(int32_t cx, int32_t cy, const Area& area, std::vector<Item>& out,
                      std::vector<std::pair<Item, int64_t>>& seen) const
    {
        const int64_t x0 = area.x0, x1 = area.x1, y0 = area.y0, y1 = area.y1;
        seen.clear();
        int64_t bound = std::numeric_limits<int64_t>::max();
        for (int32_t r = 0;; ++r) {
            forRing(cx, cy, r, [&](const Item& it) {
                const int64_t dx = std::max({x0 - it.p.x, int64_t(0), it.p.x - x1});
                const int64_t dy = std::max({y0 - it.p.y, int64_t(0), it.p.y - y1});
                const int64_t fx = std::max(std::abs(it.p.x - x0), std::abs(it.p.x - x1));
                const int64_t fy = std::max(std::abs(it.p.y - y0), std::abs(it.p.y - y1));
                bound = std::min(bound, fx * fx + fy * fy);
                seen.emplace_back(it, dx * dx + dy * dy);
            });
            if (cx - r <= 0 && cy - r <= 0 && cx + r >= m_columns - 1 && cy + r >= m_rows - 1) break;
            // A point beyond ring r lies at least r cells and one unit away from the cell, and so
            // from the area.
            const int64_t beyond = int64_t(r) * m_cell + 1;
            if (bound < beyond * beyond) break;
        }
        out.clear();
        for (const auto& [item, nearest2] : seen)
            if (nearest2 <= bound) out.push_back(item);
    }

    template <typename Visit> void forRing(int32_t cx, int32_t cy, int32_t r, Visit visit) const
    {
        auto cell = [&](int32_t column, int32_t row) {
            if (column < 0 || row < 0 || column >= m_columns || row >= m_rows) return;
            const size_t c = size_t(row) * size_t(m_columns) + size_t(column);
            for (int32_t k = m_start[c]; k < m_start[c + 1]; ++k)
                visit(m_items[size_t(k)]);
        };
        if (r == 0) return cell(cx, cy);
        for (int32_t x = std::max(cx - r, 0); x <= std::min(cx + r, m_columns - 1); ++x) {
            cell(x, cy - r);
            cell(x, cy + r);
        }
        for (int32_t y = std::max(cy - r + 1, 0); y <= std::min(cy + r - 1, m_rows - 1); ++y) {
            cell(cx - r, y);
            cell(cx + r, y);
        }
    }

    static void consider(const Item& it, MapPoint q, int64_t& best, int32_t& bestIndex)
    {
        const int64_t d = squaredDistance(it.p, q.x, q.y);
        if (d < best || (d == best && it.index < bestIndex)) {
            best = d;
            bestIndex = it.index;
        }
    }

    // Whether the rings 0..r around cell (cx, cy) are enough: they cover the grid, or every point
    // outside them lies farther than the best. One exactly that far may still be an earlier point
    // of equal distance, so only a nearer best stops.
    bool finished(MapPoint q, int32_t cx, int32_t cy, int32_t r, int64_t best, int32_t bestIndex) const
    {
        if (cx - r <= 0 && cy - r <= 0 && cx + r >= m_columns - 1 && cy + r >= m_rows - 1) return true;
        const int64_t left = int64_t(m_x0) + int64_t(cx - r) * m_cell, right = left + int64_t(2 * r + 1) * m_cell;
        const int64_t top = int64_t(m_y0) + int64_t(cy - r) * m_cell, bottom = top + int64_t(2 * r + 1) * m_cell;
        const int64_t gap = std::min({q.x - left + 1, right - q.x, q.y - top + 1, bottom - q.y});
        return bestIndex >= 0 && best < gap * gap;
    }

    void scanCell(MapPoint q, int32_t column, int32_t row, int64_t& best, int32_t& bestIndex) const
    {
        if (column < 0 || row < 0 || column >= m_columns || row >= m_rows) return;
        const size_t c = size_t(row) * size_t(m_columns) + size_t(column);
        for (int32_t k = m_start[c]; k < m_start[c + 1]; ++k)
            consider(m_items[size_t(k)], q, best, bestIndex);
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
    OwnGrid(own).nearestAll(queries, result);
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

} // namespace vornex
