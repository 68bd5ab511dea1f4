#include "analysis/view.h"

#include <algorithm>
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

// Whether x - start is a 16-bit number.
bool difference16(int16_t x, int16_t start)
{
    const int32_t d = static_cast<int32_t>(x) - start;
    return d >= INT16_MIN && d <= INT16_MAX;
}

} // namespace

ViewStep viewStepOfMode(std::string_view mode)
{
    if (mode == "Zoom In") return ViewStep::ZoomIn;
    if (mode == "Zoom Out") return ViewStep::ZoomOut;
    return ViewStep::Keep;
}

std::optional<View> stepView(const View& view, ViewStep step, int16_t x, int16_t y, std::string* why)
{
    View next = view;
    if (step == ViewStep::ZoomIn) {
        auto z = num::tryInt16(view.Zoom / 2.0);
        if (!z || *z < 1) {
            setWhy(why, "cannot zoom in any further");
            return std::nullopt;
        }
        next.Zoom = *z;
    } else if (step == ViewStep::ZoomOut) {
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

namespace {

// The visible square's side in logical pixels, and its offset from the surface's corner in device
// pixels (whole pixels, so that it never changes with the view).
double squareSide(const Surface& surface)
{
    return std::min(surface.width, surface.height);
}

long long squareOffset(double length, const Surface& surface)
{
    return static_cast<long long>(std::floor((length - squareSide(surface)) * surface.pixelRatio / 2));
}

} // namespace

std::optional<MapGrid> mapGrid(const View& view, const Surface& surface)
{
    if (view.Zoom < 1 || !(surface.pixelRatio > 0) || !(surface.width > 0) || !(surface.height > 0))
        return std::nullopt;
    MapGrid grid;
    grid.sx = grid.sy = squareSide(surface) * surface.pixelRatio / view.Zoom;
    grid.offsetX = squareOffset(surface.width, surface);
    grid.offsetY = squareOffset(surface.height, surface);
    grid.originX = gridPixel(view.XStart, grid.sx) - grid.offsetX;
    grid.originY = gridPixel(view.YStart, grid.sy) - grid.offsetY;
    return grid;
}

double pixelsPerUnit(const View& view, const Surface& surface)
{
    if (view.Zoom < 1 || !(surface.width > 0) || !(surface.height > 0)) return 0;
    return squareSide(surface) / view.Zoom;
}

std::optional<Point2> mapToSurface(const View& view, const Surface& surface, int16_t x, int16_t y)
{
    auto grid = mapGrid(view, surface);
    if (!grid || !difference16(x, view.XStart) || !difference16(y, view.YStart)) return std::nullopt;
    return Point2{(x * grid->sx - double(grid->originX)) / surface.pixelRatio,
                  (y * grid->sy - double(grid->originY)) / surface.pixelRatio};
}

std::optional<Point2> surfaceToMap(const View& view, const Surface& surface, Point2 at)
{
    auto grid = mapGrid(view, surface);
    if (!grid) return std::nullopt;
    return Point2{(at.x * surface.pixelRatio + double(grid->originX)) / grid->sx,
                  (at.y * surface.pixelRatio + double(grid->originY)) / grid->sy};
}

Point2 viewPosition(const View& view, const Surface& surface, Point2 at)
{
    // Single precision, Zoom units across the square; a square smaller than a pixel counts as one.
    const float zoom = view.Zoom;
    const float side = float(std::max(1.0, std::floor(squareSide(surface))));
    const double ratio = surface.pixelRatio > 0 ? surface.pixelRatio : 1.0;
    const float left = float(double(squareOffset(surface.width, surface)) / ratio);
    const float top = float(double(squareOffset(surface.height, surface)) / ratio);
    const float x = (float(at.x) - left) * zoom / side;
    const float y = (float(at.y) - top) * zoom / side;
    return Point2{x, y};
}

Point2 viewToSurface(const View& view, const Surface& surface, Point2 position)
{
    if (view.Zoom < 1) return Point2{};
    const double ratio = surface.pixelRatio > 0 ? surface.pixelRatio : 1.0;
    const double side = std::max(1.0, std::floor(squareSide(surface)));
    return Point2{position.x * side / view.Zoom + double(squareOffset(surface.width, surface)) / ratio,
                  position.y * side / view.Zoom + double(squareOffset(surface.height, surface)) / ratio};
}

Point2 pointerMapPoint(const View& view, const Surface& surface, Point2 at)
{
    const Point2 v = viewPosition(view, surface, at);
    return Point2{std::floor(v.x) + view.XStart, std::floor(v.y) + view.YStart};
}

int pixelLimit(const View& view, const Surface& surface, double pixels)
{
    if (!(pixelsPerUnit(view, surface) > 0)) return 0;
    const double units = std::ceil(pixels * view.Zoom / squareSide(surface));
    return units >= INT16_MAX ? INT16_MAX : units < 0 ? 0 : static_cast<int>(units);
}

std::optional<int16_t> planetDistance(const Planet& a, const Planet& b)
{
    double dx = static_cast<double>(a.Xcord) - b.Xcord;
    double dy = static_cast<double>(a.Ycord) - b.Ycord;
    return num::tryInt16(std::sqrt(dy * dy + dx * dx));
}

} // namespace vornex
