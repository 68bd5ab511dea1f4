#pragma once
// A generated galaxy of the largest size the planet numbers allow, written as the game and this
// program write their files: map file, planets report with all columns, gravity table, players
// table and sixteen export files (Windows-1252, CR LF).

#include <cstdint>
#include <string>

namespace vornex::bench {

struct GalaxyOptions {
    int planets = 32767;
    int exportFiles = 16;
    int exportRecords = 2000;
    uint32_t seed = 20261207;
    // The report lists the planets in another order than the map file, as a real report may: the
    // loader cannot rely on meeting them in map order.
    bool shuffledReport = true;
    // The map file lists the planets in another order than their numbers, after a line the loader
    // rejects: positions and numbers no longer agree, and planets must be found by number.
    bool shuffledMap = false;
};

inline constexpr const char* kGalaxyGame = "galaxy";
inline constexpr int kGalaxyPlayer = 1;

struct GalaxyFiles {
    std::string folder; // ends in '/'
    uint64_t totalBytes = 0;
};

// Writes the galaxy into folder (created if needed). Throws std::runtime_error when a file
// cannot be written.
GalaxyFiles writeGalaxy(const std::string& folder, const GalaxyOptions& options = {});

// A fresh folder under the system's temporary folder, ending in '/'.
std::string makeTempFolder(const std::string& prefix);

// Removes the folder and everything in it (best effort).
void removeFolder(const std::string& folder);

} // namespace vornex::bench
