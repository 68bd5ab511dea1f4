#pragma once
// The start of the real program on the largest galaxy against the toolkit's own start
// (first_paint, first_paint_empty), and the peak memory of the window with everything shown and of
// the report command: each measurement a fresh process of this build, with settings of its own in
// a scratch folder, never the user's.

#include <string>

namespace vornex::bench {

// Registers first_paint (each iteration starts the empty window and the real program once,
// interleaved) and peak_memory, on the galaxy in folder (game kGalaxyGame, player kGalaxyPlayer).
void registerStartup(const std::string& galaxyFolder);

// Prints the ratio and memory lines of what ran ("ratio first_paint 2.41 (target 3) ok", ...);
// returns how many targets were missed.
int reportStartup();

// Removes the scratch folders.
void removeStartupFolders();

} // namespace vornex::bench
