#include "io/fileexists.h"

#include "io/platform.h"

namespace vornex {

bool FileExists(const std::string& path)
{
    if (path.empty()) return false;
    // Links are followed, so a link to a regular file counts and a dangling link does not.
    const platform::PathInfo info = platform::inspect(path);
    return info.resolves && info.kind == platform::FileKind::Regular;
}

bool pathIsTaken(const std::string& path)
{
    return !path.empty() && platform::inspect(path).exists;
}

} // namespace vornex
