#pragma once
// The history commands of vornexinfo-report: --record (record the folder's turn in the game's
// history store), --changes (what changed in the last turn, or since turn N) and --history PLANET
// (one planet's turns).

#include "reporttable.h"

namespace vornex::report {

// Runs the history options for the loaded planets; result already carries the loaders' notes.
// Status 1 when the turn could not be recorded or the store cannot be used.
RunResult runHistory(const Options& options, const Map& planets, RunResult result);

} // namespace vornex::report
