#pragma once
// The races of a game as the map's legend, the "Races" view and the range circles see them: your
// race first, then the other players' races by player number.

#include <cstdint>
#include <string>
#include <vector>

#include "model/collections.h"

namespace vornex {

struct RaceSummary {
    std::string race;   // the race name, as planets name their owner
    std::string player; // the player's name
    int16_t number = 0; // player number
    int32_t colour = 0; // the player's colour, 0x00BBGGRR
    bool yours = false;
    int planets = 0;          // planets it owns
    long long population = 0; // their population
    long long value = 0;      // the sum of their values
    int reportedThisTurn = 0; // of its planets, those whose report is of this turn (report age 0)
};

// One entry per player with a race name (a race named twice counts once, under its first player):
// yourNumber's race first, then by player number.
std::vector<RaceSummary> raceSummaries(const Map& planets, const Players& players, int16_t yourNumber);

// A world of yours with the ranges its report gives, in map units.
struct OwnRanges {
    int16_t x = 0, y = 0;
    int16_t scanner = 0;     // 0 when the report gives none
    int16_t penetration = 0; // penetrating scanner range
};

// The planets owned by ownRace, in collection order, with their scanner ranges.
std::vector<OwnRanges> ownRanges(const Map& planets, const std::string& ownRace);

} // namespace vornex
