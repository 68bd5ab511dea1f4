// vornexinfo-report: the planets of a game with their habitability for one player, as a table on
// standard output. See --help.
#include <cstdio>
#include <string>
#include <vector>

#include "reporttable.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    vornex::report::RunResult r = vornex::report::run(args);
    std::fwrite(r.err.data(), 1, r.err.size(), stderr);
    std::fwrite(r.out.data(), 1, r.out.size(), stdout);
    std::fflush(stdout);
    return std::ferror(stdout) ? 1 : r.status;
}
