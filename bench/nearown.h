#pragma once
#include "model/collections.h"

namespace vornex::bench {

// Registers nearest_own and nearest_own_plain on a copy of these planets of which a thousand are
// made yours.
void registerNearestOwn(const Map& planets);

} // namespace vornex::bench
