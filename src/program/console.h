#pragma once

namespace vornex {

// On Windows the map program has no console window of its own. Started from a console, it writes
// --help, --version, its errors and the demo's summary there: this attaches the parent's console to
// the standard streams that are not already redirected. Elsewhere it does nothing.
void attachParentConsole();

} // namespace vornex
