#pragma once
#include <string>

namespace vornex {

// True for an existing regular file (a link to one included); false for a folder, a missing path,
// a path through a missing folder, or anything that cannot be examined. Never opens the file.
bool FileExists(const std::string& path);

// True when anything at all is at path: a file, a folder, or a symbolic link, even one that leads
// nowhere. Tells a file that is missing from one that is there but cannot be read.
bool pathIsTaken(const std::string& path);

}  // namespace vornex
