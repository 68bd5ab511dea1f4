#include "io/platform.h"
#include "io/platformfault.h"

#include <atomic>
#include <utility>

// What the POSIX and the Windows branches share; each branch is in its own file
// (platform_posix.cpp, platform_windows.cpp) and compiles to nothing on the other system.

namespace vornex::platform {

namespace {

std::atomic<Step> g_faultStep{Step::None};
std::atomic<int> g_faultPass{0};

} // namespace

bool faultAt(Step step)
{
    if (g_faultStep.load() != step) return false;
    return g_faultPass.fetch_sub(1) <= 0;
}

void injectFaultForTesting(Step step, int pass)
{
    g_faultPass = pass;
    g_faultStep = step;
}

File::File(File&& other) noexcept : m_native(std::exchange(other.m_native, -1)) {}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        SysError ignored;
        close(ignored);
        m_native = std::exchange(other.m_native, -1);
    }
    return *this;
}

File::~File()
{
    SysError ignored;
    close(ignored);
}

} // namespace vornex::platform
