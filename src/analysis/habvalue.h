#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "model/collections.h"

namespace vornex {

// The rating of an environment for a race and the terraform marker positions it places.
struct HabResult {
    // 0..100 inside the race's tolerance, -45..-1 outside; 0 on any failure.
    int rating = 0;
    // Where the terraformed planet lies on the gravity, temperature and radiation scales, in clicks
    // (-50 to 50 across the scale), for each dimension that was finished before a failure; nullopt
    // for the others.
    std::array<std::optional<double>, 3> markerClicks;
    bool failed = false;
};

// Clicks of a gravity value: the gravity table row keyed by gravityKey(g), or nullopt.
std::optional<int16_t> gravityClicks(float g, const Gravities& gravities);

// The race's side of a rating (the centre and half-width of each of its ranges), worked out once
// so that rating many planets for one race does not repeat it. A dimension whose range cannot be
// measured (a limit without a gravity row, a figure beyond 16 bits) fails the ratings that reach it.
struct HabRace {
    struct Range {
        int16_t centre = 0;
        int16_t halfWidth = 0;
        bool ok = false;
    };
    bool present = false;        // false: no such player
    std::array<Range, 3> ranges; // gravity, temperature, radiation
    int16_t gravTerra = 0, tempTerra = 0, radTerra = 0;
};
HabRace prepareHabRace(const Player* race, const Gravities& gravities);

// Habitability of (gravity, temperature in degrees, radiation in units) for race, after
// terraforming by tGrav, tTemp, tRad clicks. race may be null (no such player): rating 0, no marker.
// Markers are placed at centre -/+ remaining clicks: where the terraformed planet lies on its scale,
// also for races whose range is not centred.
HabResult HabValue(float gravity, int16_t temperature, int16_t radiation, int16_t tGrav, int16_t tTemp, int16_t tRad,
                   const Player* race, const Gravities& gravities);
// The same with the race prepared: the result is identical.
HabResult HabValue(float gravity, int16_t temperature, int16_t radiation, int16_t tGrav, int16_t tTemp, int16_t tRad,
                   const HabRace& race, const Gravities& gravities);

} // namespace vornex
