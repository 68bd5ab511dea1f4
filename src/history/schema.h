#pragma once
// The store's tables and how a store of an earlier version is brought up to date. Each version is
// one step; a new store goes through every step, so the oldest path is the one always taken.
//
// Version 1: meta (game identity), turns, planet_states (a planet's figures from the turn they
//            changed on).
// Version 2: where the figures came from (planet_states.source) and the notes per planet.
// Version 3: planet_states keyed by turn, then planet.

#include "history/database.h"

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

} // namespace vornex::history
