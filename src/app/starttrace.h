#pragma once
// With VORNEX_TRACE_FIRST_PAINT set in the environment, the program says on standard error how long
// after the process started each step of its start-up came and how much CPU time it had used by
// then: "vornexinfo: first map paint 84.2 ms after start (61.3 ms CPU), window 1184x780". The
// start-up figures of the README and `make bench` are measured with it. Where the process's start
// cannot be read (neither Linux nor Windows) it says nothing.

#include <string>

namespace vornex {

// Whether the variable is set.
bool startTraceOn();
// Writes the line for this step (each step once); `more` follows the figures after a comma.
void traceStartStep(const char* step, const std::string& more = std::string());

} // namespace vornex
