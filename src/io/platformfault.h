#pragma once
#include "io/platform.h"

namespace vornex::platform {

// True when the fault set by injectFaultForTesting says this call of step must fail. Only the
// platform files use it.
bool faultAt(Step step);

} // namespace vornex::platform
