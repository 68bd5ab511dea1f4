#pragma once
// The reference for the cold-load benchmark: the same files read into the same records in the most
// straightforward way (whole file into a string, lines and tabs split by hand, std::from_chars for
// the numbers, std::unordered_map for the name index). It skips the diagnostics and odd cases the
// real loader handles; it is a yardstick, not a second loader.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/planet.h"
#include "model/player.h"

namespace vornex::bench {

struct PlainTables {
    std::unordered_map<std::string, int> gravityClicks; // gravity text -> clicks
    std::vector<Player> players;
    std::vector<std::unique_ptr<Planet>> planets;    // map file order
    std::unordered_map<std::string, Planet*> byName; // lower-case name -> planet
};

// Loads gravity.csv, player.inf, game.map, game.pN and export.p1 .. export.p16 from folder (ending in '/').
PlainTables plainLoad(const std::string& folder, const std::string& game, int player);

} // namespace vornex::bench
