#pragma once
#include "model/collections.h"

namespace vornex::bench {

// Registers nearest_own and nearest_own_plain on the rows of the planet table of these planets, a
// thousand of which are made yours.
void registerNearestOwn(const Map& planets, const Player* race, const Gravities& gravities);

} // namespace vornex::bench
