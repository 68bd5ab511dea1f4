// vornex_coldload: one load of the galaxy in a fresh process, as a user's start-up does it. The
// benchmark starts it once per measurement; it prints the CPU time of the load and the minor page
// faults it caused.
//
//   vornex_coldload real FOLDER     the program's loaders
//   vornex_coldload plain FOLDER    the plain reference parser
//   vornex_coldload compare FOLDER  both, then the number of planets whose records differ

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include <sys/resource.h>

#include "galaxy.h"
#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "io/platform.h"
#include "io/settingstable.h"
#include "io/tables.h"
#include "plainloader.h"

using namespace vornex;
using namespace vornex::bench;

namespace {

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

long minorFaults()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

struct RealTables {
    Gravities gravities;
    Players players;
    Map planets;
    Diagnostics diags;
};

void loadReal(const std::string& folder, RealTables& t)
{
    t.gravities = LoadGravities(folder, t.diags);
    t.players = LoadPlayers(folder, t.diags);
    LoadPlanets(t.planets, Game{folder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)}, t.diags);
}

bool same(const Planet& a, const Planet& b)
{
    return a.ID == b.ID && a.Xcord == b.Xcord && a.Ycord == b.Ycord && a.PlanetName == b.PlanetName &&
           a.Owner == b.Owner && a.ReportAge == b.ReportAge && a.Population == b.Population && a.Value == b.Value &&
           a.Def == b.Def && a.StarbaseType == b.StarbaseType && a.SurfaceIron == b.SurfaceIron &&
           a.RateGerm == b.RateGerm && a.ConcentrationBora == b.ConcentrationBora && a.Grav == b.Grav &&
           a.Temp == b.Temp && a.Rad == b.Rad && a.Route == b.Route && a.PacketDamage == b.PacketDamage;
}

} // namespace

int main(int argc, char** argv)
{
    // The heap as the programs set it up, for both parsers alike: what is compared is the parsing.
    platform::prepareHeapForLoading();
    if (argc != 3) {
        std::fprintf(stderr, "usage: vornex_coldload real|plain|compare FOLDER\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::string folder = argv[2];
    if (mode == "compare") {
        RealTables real;
        loadReal(folder, real);
        PlainTables plain = plainLoad(folder, kGalaxyGame, kGalaxyPlayer);
        int differ = 0;
        if (size_t(real.planets.Count()) != plain.planets.size()) {
            std::printf("planets %d against %zu\n", real.planets.Count(), plain.planets.size());
            return 1;
        }
        size_t i = 0;
        for (const PlanetPtr& p : real.planets)
            differ += same(*p, *plain.planets[i++]) ? 0 : 1;
        std::printf("%zu planets, %d differ, %d players against %zu\n", plain.planets.size(), differ,
                    real.players.Count(), plain.players.size());
        return differ == 0 ? 0 : 1;
    }
    const long faults0 = minorFaults();
    const double t0 = cpuSeconds();
    size_t count = 0;
    if (mode == "real") {
        static RealTables t; // left to the process's end, as the program's tables are
        loadReal(folder, t);
        count = size_t(t.planets.Count());
    } else if (mode == "plain") {
        static PlainTables t;
        t = plainLoad(folder, kGalaxyGame, kGalaxyPlayer);
        count = t.planets.size();
    } else {
        return 2;
    }
    const double t1 = cpuSeconds();
    std::printf("%.9f %ld %zu\n", t1 - t0, minorFaults() - faults0, count);
    std::fflush(stdout);
    std::_Exit(0);
}
