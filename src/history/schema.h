#pragma once
// The store's tables and how a store of an earlier version is brought up to date. Each version is
// one step; a new store goes through every step, so the oldest path is the one always taken.
//
// Version 1: meta (game identity), turns, planet_states (a planet's figures from the turn they
//            changed on).
// Version 2: where the figures came from (planet_states.source) and the notes per planet.
// Version 3: planet_states keyed by turn, then planet.

#include <cstdint>
#include <string_view>

#include "history/database.h"
#include "history/planetstate.h"

namespace vornex::history {

inline constexpr int kSchemaVersion = 3;

// The store's version: 0 for a new, empty file. Throws StoreError when the file is not a database,
// or is a database of something else (reported as not a database).
int schemaVersion(Database& db);

// Brings the store from its version up to toVersion, each step in its own transaction. A store of a
// later version than this program knows throws StoreError (the file is not touched).
void upgradeSchema(Database& db, int toVersion = kSchemaVersion);

// The columns of planet_states after `planet, turn`, in the order the store reads and writes them.
inline constexpr const char* kStateColumns =
    "reported, reported_turn, owner, starbase, population, value, defences, mines, factories, "
    "surface_iron, surface_bora, surface_germ, rate_iron, rate_bora, rate_germ, conc_iron, conc_bora, conc_germ, "
    "grav, temp, rad, source";
inline constexpr int kStateColumnCount = 22;

// Hands put() the figures of s in the order of kStateColumns, whole numbers as int64_t and texts as
// std::string_view; reportedTurn goes into reported_turn.
template <typename Put> void putStateColumns(const PlanetState& s, int64_t reportedTurn, Put&& put)
{
    put(int64_t(s.reported ? 1 : 0));
    put(reportedTurn);
    put(std::string_view(s.owner));
    put(std::string_view(s.starbase));
    for (int64_t v :
         {int64_t(s.population), int64_t(s.value), int64_t(s.defences), int64_t(s.mines), int64_t(s.factories)})
        put(v);
    for (auto v : s.surface)
        put(int64_t(v));
    for (auto v : s.miningRate)
        put(int64_t(v));
    for (auto v : s.concentration)
        put(int64_t(v));
    for (const std::string* text : {&s.grav, &s.temp, &s.rad, &s.source})
        put(std::string_view(*text));
}

} // namespace vornex::history
