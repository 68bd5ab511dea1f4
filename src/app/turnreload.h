#pragma once
// Reading a new turn's files into a running program: the map file, the planets report and the
// export files, while the players table (with any race edits not yet saved) stays as it is.

#include <string>

#include "app/programstate.h"

namespace vornex {

struct TurnReload {
    bool ok = false;
    int changed = 0;   // planets added, removed or with any figure different
    int planets = 0;   // planets after the reload
    std::string error; // why nothing was reloaded
};

// Loads the planets of state's game again. When the map file or the planets report cannot be read
// (missing, a folder, a pipe) or gives no planet, the galaxy stays as it was and `error` names the
// file and the reason. The planets' notes
// replace the earlier ones of those files; the selection, view and click mode are not touched.
TurnReload reloadTurnFiles(ProgramState& state);

// The files the planets come from, for watching: map file, planets report, export files.
std::vector<std::string> turnFiles(const ProgramState& state);

} // namespace vornex
