#include "io/platform.h"
#include "io/platformfault.h"

#include <atomic>
#include <filesystem>
#include <system_error>
#include <utility>

// What the POSIX and the Windows branches share; each branch is in its own file
// (platform_posix.cpp, platform_windows.cpp) and compiles to nothing on the other system.

namespace vornex::platform {

namespace {

std::atomic<Step> g_faultStep{Step::None};
std::atomic<int> g_faultPass{0};

std::filesystem::path pathOf(const std::string& utf8)
{
    // Paths are UTF-8 throughout; a plain std::string would be read in the ANSI code page on Windows.
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace

bool makeFolders(const std::string& path, SysError& err)
{
    std::error_code ec;
    std::filesystem::create_directories(pathOf(path), ec);
    std::error_code probe;
    if (std::filesystem::is_directory(pathOf(path), probe)) return true;
    err.text = ec ? ec.message() : "not a folder";
    err.notFound = false;
    return false;
}

bool renameWithoutReplacing(const std::string& from, const std::string& to, SysError& err)
{
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(pathOf(to), ec))) {
        err.text = "a file of that name is already there";
        err.notFound = false;
        return false;
    }
    std::filesystem::rename(pathOf(from), pathOf(to), ec);
    if (!ec) return true;
    err.text = ec.message();
    err.notFound = ec == std::errc::no_such_file_or_directory;
    return false;
}

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
