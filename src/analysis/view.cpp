#include "analysis/view.h"

#include <cmath>

#include "base/numeric.h"

namespace vornex {

namespace {

void setWhy(std::string* why, const char* text)
{
    if (why) *why = text;
}

// |a - b| when both the difference and its magnitude fit in 16 bits.
std::optional<int32_t> absDiff16(int16_t a, int16_t b)
{
    int32_t d = static_cast<int32_t>(a) - b;
    if (d < INT16_MIN || d > INT16_MAX) return std::nullopt;
    d = d < 0 ? -d : d;
    if (d > INT16_MAX) return std::nullopt;
    return d;
}

} // namespace

std::optional<View> centreMap(const View& view, std::string_view action, int16_t x, int16_t y, std::string* why)
{
    View next = view;
    if (action == "Zoom In") {
        auto z = num::tryInt16(view.Zoom / 2.0);
        if (!z || *z < 1) {
            setWhy(why, "cannot zoom in any further");
            return std::nullopt;
        }
        next.Zoom = *z;
    } else if (action == "Zoom Out") {
        int32_t z = static_cast<int32_t>(view.Zoom) * 2;
        if (z < 1 || z > INT16_MAX) {
            setWhy(why, "cannot zoom out any further");
            return std::nullopt;
        }
        next.Zoom = static_cast<int16_t>(z);
    }
    if (next.Zoom < 1) {
        setWhy(why, "the zoom is not a positive number");
        return std::nullopt;
    }
    // The map point under (x, y) becomes the centre of the new square.
    int32_t mapX = static_cast<int32_t>(x) + view.XStart;
    int32_t mapY = static_cast<int32_t>(y) + view.YStart;
    if (mapX < INT16_MIN || mapX > INT16_MAX || mapY < INT16_MIN || mapY > INT16_MAX) {
        setWhy(why, "the point lies outside the map's coordinate range");
        return std::nullopt;
    }
    auto xs = num::tryInt16(mapX - next.Zoom / 2.0);
    auto ys = num::tryInt16(mapY - next.Zoom / 2.0);
    if (!xs || !ys) {
        setWhy(why, "the view would leave the map's coordinate range");
        return std::nullopt;
    }
    next.XStart = *xs;
    next.YStart = *ys;
    return next;
}

std::optional<std::pair<int16_t, int16_t>> dragTarget(const View& view, double x, double y, int16_t dragX,
                                                      int16_t dragY)
{
    auto nx = num::tryInt16(view.Zoom / 2.0 + x - dragX);
    auto ny = num::tryInt16(view.Zoom / 2.0 + y - dragY);
    if (!nx || !ny) return std::nullopt;
    return std::make_pair(*nx, *ny);
}

std::optional<int16_t> nearestPlanet(const Map& planets, int16_t x, int16_t y, int limit)
{
    std::optional<int16_t> best;
    int32_t bestDistance = limit;
    for (const auto& planet : planets) {
        auto dx = absDiff16(planet->Xcord, x);
        auto dy = absDiff16(planet->Ycord, y);
        if (!dx || !dy) continue;
        int32_t d = *dx + *dy;
        if (d > INT16_MAX) continue;
        if (d < bestDistance) {
            bestDistance = d;
            best = planet->ID;
        }
    }
    return best;
}

std::optional<int16_t> planetDistance(const Planet& a, const Planet& b)
{
    double dx = static_cast<double>(a.Xcord) - b.Xcord;
    double dy = static_cast<double>(a.Ycord) - b.Ycord;
    return num::tryInt16(std::sqrt(dy * dy + dx * dx));
}

} // namespace vornex
