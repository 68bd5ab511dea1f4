#pragma once

namespace vornex::bench {

// Removes the history benchmarks' store folder, when they made one.
void removeHistoryFixture();

} // namespace vornex::bench
