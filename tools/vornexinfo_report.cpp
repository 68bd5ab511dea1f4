// vornexinfo-report: the planets of a game with their habitability for one player, as a table on
// standard output. See --help.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "io/platform.h"
#include "reporttable.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv)
{
    vornex::platform::prepareHeapForLoading();
#ifdef _WIN32
    // The table is the same bytes on every system: no CR added before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    // Answered before anything else is checked, so that it works whatever else is on the line.
    if (std::find(args.begin(), args.end(), "--version") != args.end()) {
        std::printf("vornexinfo-report %s\n", VORNEX_VERSION);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    vornex::report::RunResult r = vornex::report::run(args);
    std::fwrite(r.err.data(), 1, r.err.size(), stderr);
    std::fwrite(r.out.data(), 1, r.out.size(), stdout);
    std::fflush(stdout);
    return std::ferror(stdout) ? 1 : r.status;
}
