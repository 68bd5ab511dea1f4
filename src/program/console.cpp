#include "program/console.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#endif

namespace vornex {

#ifdef _WIN32
namespace {

// A stream that the starting program redirected (to a file or a pipe) keeps its target.
bool hasTarget(DWORD stream)
{
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void attachParentConsole()
{
    const bool out = hasTarget(STD_OUTPUT_HANDLE);
    const bool err = hasTarget(STD_ERROR_HANDLE);
    if (out && err) return;
    // Started from Explorer there is no parent console, and the program stays silent. Access denied
    // means the process has a console already.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
    if (!out) std::freopen("CONOUT$", "w", stdout);
    if (!err) std::freopen("CONOUT$", "w", stderr);
}
#else
void attachParentConsole() {}
#endif

} // namespace vornex
