#pragma once
// For tests: a disk that fills up. Once armed, SQLite's writes succeed `passes` times and then fail
// as a full disk would, until disarmed. It sits between SQLite and the system's own file layer, so
// the store meets the failure exactly where a real full disk would show it.

namespace vornex::history {

// passes < 0 disarms.
void failWritesForTesting(int passes);

} // namespace vornex::history
