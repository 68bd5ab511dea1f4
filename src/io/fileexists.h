#pragma once
#include <string>

namespace vornex {

// True for an existing regular file (a link to one included); false for a folder, a missing path,
// a path through a missing folder, or anything that cannot be examined. Never opens the file.
bool FileExists(const std::string& path);

}  // namespace vornex
