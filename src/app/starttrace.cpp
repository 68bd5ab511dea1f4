#include "app/starttrace.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

#ifdef __linux__
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace vornex {

namespace {

struct Since {
    double elapsed = 0; // seconds since the process started
    double cpu = 0;     // CPU seconds of the process
};

#ifdef __linux__
bool sinceStart(Since& since)
{
    timespec now{}, cpu{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    // Field 22 of /proc/self/stat: the process's start in clock ticks since boot.
    std::ifstream stat("/proc/self/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos || close + 2 > text.size()) return false;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    char* end = nullptr;
    const double ticks = std::strtod(field.c_str(), &end);
    if (field.empty() || *end != '\0') return false;
    since.elapsed = double(now.tv_sec) + double(now.tv_nsec) * 1e-9 - ticks / double(sysconf(_SC_CLK_TCK));
    since.cpu = double(cpu.tv_sec) + double(cpu.tv_nsec) * 1e-9;
    return true;
}
#elif defined(_WIN32)
double seconds(const FILETIME& t) // 100 ns units
{
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
}

bool sinceStart(Since& since)
{
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return false;
    GetSystemTimeAsFileTime(&now);
    since.elapsed = seconds(now) - seconds(created);
    since.cpu = seconds(kernel) + seconds(user);
    return true;
}
#else
bool sinceStart(Since&)
{
    return false;
}
#endif

} // namespace

bool startTraceOn()
{
    static const bool on = [] {
        const char* value = std::getenv("VORNEX_TRACE_FIRST_PAINT");
        return value && *value;
    }();
    return on;
}

void traceStartStep(const char* step, const std::string& more)
{
    if (!startTraceOn()) return;
    Since since;
    if (!sinceStart(since)) return;
    static std::mutex guard;
    static std::set<std::string> done;
    const std::lock_guard<std::mutex> lock(guard);
    if (!done.insert(step).second) return;
    std::fprintf(stderr, "vornexinfo: %s %.1f ms after start (%.1f ms CPU)%s%s\n", step, since.elapsed * 1e3,
                 since.cpu * 1e3, more.empty() ? "" : ", ", more.c_str());
    std::fflush(stderr);
}

} // namespace vornex
