#pragma once
// Reading a new turn's files into a running program: the map file, the planets report and the
// export files, while the players table (with any race edits not yet saved) stays as it is.

#include <optional>
#include <string>
#include <vector>

#include "app/programstate.h"
#include "io/planetloader.h"

namespace vornex {

// A turn read from the game's files and not yet shown.
struct TurnRead {
    Map planets;
    Diagnostics diags;
    PlanetsRead read;
    // Why the files give no turn to show (the file and the reason), or nullopt.
    std::optional<Diagnostic> refusal;
};

TurnRead readTurn(const Game& game);

struct TurnReload {
    bool ok = false;
    std::vector<int16_t> changed; // IDs of the planets that changed as a player sees them
    int planets = 0;              // planets after the reload
    std::string error;            // why nothing was reloaded: "file: reason"
};

// The planets whose changes a player sees, by ID: owner, report age, population, value,
// defences, starbase, installations, minerals, environment, a planet that appeared or went (or
// moved, or was renamed).
std::vector<int16_t> changedPlanets(const Map& before, const Map& after);

// Shows the turn: replaces the planets and their notes (the notes of gravity.csv and player.inf
// stay). A refused turn changes nothing and `error` says why. The selection, the view and the
// click mode are not touched.
TurnReload applyTurn(ProgramState& state, TurnRead turn);

// readTurn and applyTurn in one.
TurnReload reloadTurnFiles(ProgramState& state);

} // namespace vornex
