#pragma once
// Which turn a load shows, found from how far the reports aged since the last recorded turn: a
// planet whose report did not change ages by exactly the years in between, so turns the player
// skipped still count. The game files carry no turn number of their own.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "history/planetstate.h"

namespace vornex::history {

struct TurnCount {
    enum class Kind { First, Next, Same, Older };
    Kind kind = Kind::First;
    int32_t turn = 1;
    bool ambiguous = false; // no report stayed the same: the turn is a guess, and `how` says so
    std::string how;        // how the number was found, in the user's words
};

// last: the planets as of lastTurn, by planet number (empty when nothing is recorded yet).
TurnCount countTurn(const std::unordered_map<int16_t, PlanetState>& last, int32_t lastTurn,
                    const std::vector<Observation>& now);

} // namespace vornex::history
