#pragma once
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/collections.h"

namespace vornex {

// The visible square of the galaxy: Zoom map units wide and high, top-left corner at
// (XStart, YStart) in map coordinates.
struct View {
    int16_t Zoom = 2000;
    int16_t XStart = 0;
    int16_t YStart = 0;
    bool operator==(const View&) const = default;
};

inline constexpr int kNearestPlanetLimit = 100;

// Where the map is drawn: its logical size and the device pixels per logical pixel.
struct Surface {
    double width = 0;
    double height = 0;
    double pixelRatio = 1.0;
};

// A point on the surface in logical pixels, or on the map in (fractional) map units.
struct Point2 {
    double x = 0;
    double y = 0;
    bool operator==(const Point2&) const = default;
};

// The drawing's grid for a view on a surface. One map unit is the same number of pixels across and
// down: the visible square of Zoom units spans the surface's shorter side and sits in the middle of
// the longer one, which shows more of the galaxy on both sides. sx and sy (equal) are device pixels
// per map unit; the surface's top-left device pixel is grid pixel (originX, originY). The square's
// corner sits on a whole device pixel (at most half a pixel from the exact view), so a drag moves
// the whole picture by whole pixels and kept pictures can be shifted instead of redrawn.
struct MapGrid {
    double sx = 0;
    double sy = 0;
    long long originX = 0; // gridPixel(XStart, sx) - offsetX
    long long originY = 0;
    long long offsetX = 0; // device pixels from the surface's left edge to the square's
    long long offsetY = 0;
};

// Device pixel of map coordinate v on a grid of this scale: v * scale rounded half up.
inline long long gridPixel(int v, double scale)
{
    return static_cast<long long>(std::floor(v * scale + 0.5));
}

// The grid, or nullopt when there is nothing to place on: Zoom below 1, or a surface without
// area or pixel ratio.
std::optional<MapGrid> mapGrid(const View& view, const Surface& surface);

// Where map point (x, y) lies on the surface, in logical pixels on the grid above. nullopt when
// there is no grid or the 16-bit differences x - XStart, y - YStart overflow.
std::optional<Point2> mapToSurface(const View& view, const Surface& surface, int16_t x, int16_t y);

// And back: the (fractional) map point at a surface point; mapToSurface's exact inverse.
std::optional<Point2> surfaceToMap(const View& view, const Surface& surface, Point2 at);

// The view position of a surface point (Zoom units across the width and down the height), in
// in single precision, as clicks and drags are read; no whole-pixel placement.
Point2 viewPosition(const View& view, const Surface& surface, Point2 at);
// The surface point of a view position.
Point2 viewToSurface(const View& view, const Surface& surface, Point2 position);

// The map point a click at this surface point means and the status bar shows: the floor of the
// view position plus the view's corner (may lie outside 16 bits; the callers check).
Point2 pointerMapPoint(const View& view, const Surface& surface, Point2 at);

// The logical pixels per map unit on this surface (0 without a view).
double pixelsPerUnit(const View& view, const Surface& surface);

// The nearest-planet limit (in map units, for nearestPlanet) that stands for a distance in
// logical pixels on this surface: the smallest whole number of map units not below it, so that a
// whole distance is below the limit exactly when it is below the pixel distance. 0 without a view.
int pixelLimit(const View& view, const Surface& surface, double pixels);

// What a move of the view does to the zoom.
enum class ViewStep { Keep, ZoomIn, ZoomOut };

// The step a click on the map takes in a click mode: "Zoom In" and "Zoom Out" (exactly, case
// counts) their zoom steps; every other mode keeps the zoom.
ViewStep viewStepOfMode(std::string_view mode);

// The view after a step about view position (x, y): ZoomIn halves Zoom (half to even), ZoomOut
// doubles it, Keep keeps it; then the map point under (x, y) becomes the centre. nullopt with *why
// set when a step would take Zoom outside 1..32767 or XStart/YStart (or the sums x + XStart,
// y + YStart) outside 16 bits; the caller then keeps its view.
std::optional<View> stepView(const View& view, ViewStep step, int16_t x, int16_t y, std::string* why = nullptr);

// One drag step: the view position (nx, ny) that the view is centred on (ViewStep::Keep) when the pointer
// moved from (dragX, dragY) to (x, y): nx = Zoom / 2 + x - dragX, ny likewise, half to even.
// nullopt when it does not fit in 16 bits.
std::optional<std::pair<int16_t, int16_t>> dragTarget(const View& view, double x, double y, int16_t dragX,
                                                      int16_t dragY);

// ID of the planet nearest (x, y) by |dx| + |dy|, strictly below limit; the first in collection
// order on ties. Planets whose differences or sum leave 16 bits are no candidates.
std::optional<int16_t> nearestPlanet(const Map& planets, int16_t x, int16_t y, int limit = kNearestPlanetLimit);

// Straight-line distance between two planets, rounded half to even into 16 bits; nullopt on
// overflow.
std::optional<int16_t> planetDistance(const Planet& a, const Planet& b);

} // namespace vornex
