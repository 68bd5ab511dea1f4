#pragma once
#include <cstdint>
#include <string>

namespace vornex::bench {

// Prints the peak memory of loading the galaxy in the folder (its files `galaxyBytes` long) and of
// loading each kind of file that is nearly all faults, 20 MB of it.
void printHostilePeaks(const std::string& galaxyFolder, uint64_t galaxyBytes);

} // namespace vornex::bench
