#pragma once
// What changed between two turns, planet by planet, in the order a player reads it: planets that
// changed hands first, then colonies lost and gained, first reports, and jumps of population and
// defences, the largest first.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "history/planetstate.h"

namespace vornex::history {

enum class ChangeKind {
    Taken,       // one race's planet is now another's
    Lost,        // a race's planet has no owner now
    Colonised,   // a planet without owner now has one
    FirstReport, // reported for the first time
    Population,  // population jumped (see kPopulationJump)
    Defences,    // defences jumped (see kDefenceJump)
};

// A population change of at least this many colonists and a quarter of the larger figure is a jump.
inline constexpr int32_t kPopulationJump = 5000;
// A change of the defence coverage by at least this many percentage points is a jump.
inline constexpr int16_t kDefenceJump = 10;

struct Change {
    int16_t planet = 0;
    std::string name;
    ChangeKind kind = ChangeKind::Taken;
    std::string from, to; // owners for Taken/Lost/Colonised, figures for the jumps
    int64_t size = 0;     // how big: population at stake, or the jump itself
    int64_t delta = 0;    // the jump, signed (population and defences only)
    std::string text;     // one line, e.g. "Kethari took Helion from Draconae"
};

// The word of a kind in the command line's output: "taken", "lost", "colonised", "first report",
// "population", "defences".
const char* kindWord(ChangeKind kind);

using NameOf = std::function<std::string(int16_t planet)>;

// The changes from `before` to `after` (planets by number), most important first.
std::vector<Change> listChanges(const std::unordered_map<int16_t, PlanetState>& before,
                                const std::unordered_map<int16_t, PlanetState>& after, const NameOf& nameOf);

// Colonies gained and lost per race (planets taken count for both races).
struct RaceTally {
    int gained = 0, lost = 0;
};
std::map<std::string, RaceTally> raceTallies(const std::vector<Change>& changes);

// The biggest changes in a few words, for a status line: "Kethari took Helion from Draconae;
// Vornexi lost Ixzan; 3 more changes". Empty when there are none.
std::string summary(const std::vector<Change>& changes, size_t named = 2);

} // namespace vornex::history
