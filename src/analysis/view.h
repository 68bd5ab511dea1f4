#pragma once
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

// The view after CentreMap(action, x, y): "Zoom In" halves Zoom (half to even), "Zoom Out" doubles
// it, anything else keeps it; then the map point under view position (x, y) becomes the centre.
// nullopt with *why set when a step would take Zoom outside 1..32767 or XStart/YStart (or the sums
// x + XStart, y + YStart) outside 16 bits; the caller then keeps its view.
std::optional<View> centreMap(const View& view, std::string_view action, int16_t x, int16_t y,
                              std::string* why = nullptr);

// One drag step: the view position (nx, ny) that CentreMap "Move" is called with when the pointer
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

}  // namespace vornex
