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
    // Left edge (window pixels) of the gravity, temperature and radiation terraform markers, for
    // each dimension that was finished before a failure; nullopt for the others.
    std::array<std::optional<double>, 3> markerLeft;
    bool failed = false;
};

// Clicks of a gravity value: the gravity table row keyed by gravityKey(g), or nullopt.
std::optional<int16_t> gravityClicks(float g, const Gravities& gravities);

// Habitability of (gravity, temperature in degrees, radiation in units) for race, after
// terraforming by tGrav, tTemp, tRad clicks. race may be null (no such player): rating 0, no marker.
// Markers are placed at 167 + 2 * (centre -/+ remaining): where the terraformed planet lies on its
// bar, also for races whose range is not centred.
HabResult HabValue(float gravity, int16_t temperature, int16_t radiation, int16_t tGrav, int16_t tTemp,
                   int16_t tRad, const Player* race, const Gravities& gravities);

}  // namespace vornex
