#pragma once
// How planets look on the map: colours, disc and ring sizes, and which race a planet belongs to.
// Shared by the layers that draw planets.

#include <QColor>
#include <algorithm>
#include <optional>
#include <string>

#include "app/programstate.h"

namespace vornex::ui::mapstyle {

QColor lightGrey();
QColor red();
QColor white();
QColor peach();
inline const char* const kUninhabited = "Uninhabited";

// Disc radii in map units (known race, any other planet) and the selection ring's; they grow with
// the zoom up to a cap in logical pixels, so that close up neighbours stay apart.
constexpr double kKnownRadius = 4;
constexpr double kOtherRadius = 2;
constexpr double kRingRadius = 6;
constexpr double kKnownCap = 6; // 12 pixels across
constexpr double kOtherCap = 3;
constexpr double kRingCap = 8;   // the ring stays two pixels outside the largest disc
constexpr double kRingLeast = 5; // and never shrinks below 10 pixels across: the selection shows at any zoom
// Outline width in logical pixels.
constexpr double kPenWidth = 1.0;

// Radius in logical pixels at `unit` logical pixels per map unit.
inline double discRadius(bool known, double unit)
{
    return known ? std::min(kKnownRadius * unit, kKnownCap) : std::min(kOtherRadius * unit, kOtherCap);
}
inline double ringRadius(double unit)
{
    return std::clamp(kRingRadius * unit, kRingLeast, kRingCap);
}

// The player whose race name is exactly owner (case counts), walking the table in order; never
// for "Uninhabited".
const Player* knownRace(const ProgramState& state, const std::string& owner);
// The colour of the player stored under the owner's name (table key, letter case ignored).
std::optional<QColor> keyedColour(const ProgramState& state, const std::string& owner);

// One planet's disc: a known race's colour, otherwise a grey fill with a grey outline (never
// reported) or a red one.
struct PlanetLook {
    QColor outline;
    QColor fill;
    bool known = false;
};
PlanetLook lookOf(const ProgramState& state, const Planet& planet);

} // namespace vornex::ui::mapstyle
