#include "io/diagnostics.h"

namespace vornex {

std::string Diagnostic::text() const
{
    if (line <= 0) return file + ": " + reason;
    return file + ":" + std::to_string(line) + ": " + reason;
}

std::string_view Diagnostic::cause() const
{
    const std::string_view r = reason;
    return r.substr(0, r.find(" \xE2\x80\x94 "));
}

} // namespace vornex
