#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vornex {

// One rejected line or record of an input file.
struct Diagnostic {
    std::string file;   // file name as opened (full path)
    int64_t line = 0;   // 1-based line number; 0 when the whole file is concerned
    std::string reason; // short, user-readable

    // "file:line: reason" (or "file: reason" for line 0).
    std::string text() const;

    // The reason without what follows from it: a whole file that could not be read says why and,
    // after a dash, what the program does without it ("file not found — ...").
    std::string_view cause() const;
};

using Diagnostics = std::vector<Diagnostic>;

} // namespace vornex
