#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vornex {

// One rejected line or record of an input file.
struct Diagnostic {
    std::string file;    // file name as opened (full path)
    int64_t line = 0;    // 1-based line number; 0 when the whole file is concerned
    std::string reason;  // short, user-readable

    // "file:line: reason" (or "file: reason" for line 0).
    std::string text() const;
};

using Diagnostics = std::vector<Diagnostic>;

}  // namespace vornex
