#include "io/fileexists.h"

#include <filesystem>
#include <system_error>

namespace vornex {

bool FileExists(const std::string& path)
{
    if (path.empty()) return false;
    std::error_code ec;
    // status() follows links, so a link to a regular file counts and a dangling link does not.
    auto st = std::filesystem::status(path, ec);
    if (ec) return false;
    return std::filesystem::is_regular_file(st);
}

} // namespace vornex
