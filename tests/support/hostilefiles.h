#pragma once
// Game folders whose files are nearly all faults (a map of line feeds, a report of blank lines, an
// export of empty records, tables of empty items), and the peak memory of loading one, measured in
// a child process that also runs under a limit of its address space. For the tests and the
// benchmarks; POSIX only (fork).
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

#if defined(__unix__)
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#define VORNEX_CAN_MEASURE_PEAK 1
#endif

namespace vornex::test {

// One hostile file of about `bytes` bytes: its name in the game folder "hostile" of player 3, what
// it is, and its text: a valid start, the same faulty piece again and again, and a line at the end
// (blank lines at the very end of a file are no records, so they would not be faults).
// `times` is how many times its size a load of the file may hold at most: a few for a file whose
// lines are only noted, more for player.inf, where every record keeps its player slot (as a valid
// record does) so that the players after it keep their numbers.
struct HostileFile {
    const char* name;
    const char* what;
    std::string head;
    std::string piece;
    std::string tail;
    int times;
};

inline const HostileFile kHostileFiles[] = {
    {"hostile.map", "map file of line feeds", "#\tX\tY\tName\r\n1\t1100\t2900\tA\r\n", "\n", "2\t1200\t2800\tB\r\n", 3},
    {"hostile.p3", "planets report of blank lines", "Planet Name\tOwner\r\n", "  \r\n", "A\r\n", 3},
    {"export.p3", "export file of empty records", "", ",,,,,,,,,\r\n", "", 3},
    {"gravity.csv", "gravity table of empty items", "1,0\r\n", ",", "", 3},
    {"player.inf", "players table of empty records", "", ",,,,,,,,,,,,\r\n", "", 40},
};

// Writes file + enough copies of its piece to make about `bytes` bytes, and the other files of a
// small game beside it (unless it is one of them).
inline void writeHostileFolder(const std::string& folder, const HostileFile& file, size_t bytes)
{
    const std::string others[][2] = {{"hostile.map", "#\tX\tY\tName\r\n1\t1100\t2900\tA\r\n"},
                                     {"hostile.p3", "Planet Name\tOwner\r\n"},
                                     {"gravity.csv", "1,0\r\n"}};
    for (const auto& o : others)
        if (o[0] != file.name) std::ofstream(folder + o[0], std::ios::binary) << o[1];
    std::string text = file.head;
    text.reserve(bytes + file.piece.size());
    while (text.size() < bytes)
        text += file.piece;
    text += file.tail;
    std::ofstream(folder + file.name, std::ios::binary) << text;
}

// What loading in a child gave: whether it ran to its end (false when it ran out of memory or
// crashed), how many bytes of memory it held at most beyond what the process held before, and the
// number of notes the load made.
struct PeakLoad {
    bool finished = false;
    int64_t peakBytes = -1; // -1 when the system does not tell
    int64_t notes = -1;
};

#ifdef VORNEX_CAN_MEASURE_PEAK
namespace detail {
inline int64_t statusKilobytes(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::stoll(line.substr(key.size()));
    return -1;
}
} // namespace detail

// Runs load() in a child process whose address space may grow by at most `limitBytes`. load returns
// the number of notes it made.
inline PeakLoad measurePeakLoad(const std::function<int64_t()>& load, uint64_t limitBytes)
{
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        close(fds[0]);
        const int64_t size = detail::statusKilobytes("VmSize");
        if (size > 0) {
            const rlimit limit{static_cast<rlim_t>(size) * 1024 + limitBytes,
                               static_cast<rlim_t>(size) * 1024 + limitBytes};
            setrlimit(RLIMIT_AS, &limit);
        }
        // Memory the parent freed but still holds would serve the load unseen: give it back, then
        // start the peak again from what is held now (the peak so far is the parent's).
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
        std::ofstream("/proc/self/clear_refs") << "5";
        const int64_t before = detail::statusKilobytes("VmRSS");
        int64_t result[2] = {-1, -1};
        try {
            result[1] = load();
            const int64_t peak = detail::statusKilobytes("VmHWM");
            if (before >= 0 && peak >= 0) result[0] = (peak - before) * 1024;
        } catch (...) {
            _exit(3);
        }
        const bool written = write(fds[1], result, sizeof result) == static_cast<ssize_t>(sizeof result);
        _exit(written ? 0 : 4);
    }
    close(fds[1]);
    int64_t result[2] = {-1, -1};
    const bool read_ = read(fds[0], result, sizeof result) == static_cast<ssize_t>(sizeof result);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    PeakLoad out;
    out.finished = read_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (out.finished) {
        out.peakBytes = result[0];
        out.notes = result[1];
    }
    return out;
}
#endif

} // namespace vornex::test
