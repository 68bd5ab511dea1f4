#include "io/diagnostics.h"

namespace vornex {

std::string Diagnostic::text() const
{
    if (line <= 0) return file + ": " + reason;
    return file + ":" + std::to_string(line) + ": " + reason;
}

} // namespace vornex
