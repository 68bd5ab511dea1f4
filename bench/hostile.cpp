// Peak memory of loading files that are nearly all faults, against loading the generated galaxy:
// each load runs in a child process, and the memory it held at most beyond what the process held
// before is printed with the file's size.
#include "hostile.h"

#include <cstdio>

#include "galaxy.h"
#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "io/settingstable.h"
#include "io/tables.h"
#include "support/hostilefiles.h"

namespace vornex::bench {

namespace {

int64_t loadFolder(const std::string& folder, const char* game, const char* player)
{
    Diagnostics diags;
    Gravities gravities = LoadGravities(folder, diags);
    Players players = LoadPlayers(folder, diags);
    Map planets;
    LoadPlanets(planets, Game{folder, game, *parsePlayerNumber(player)}, diags);
    return static_cast<int64_t>(diags.size());
}

void printPeak(const char* what, double fileBytes, const test::PeakLoad& peak)
{
    constexpr double kMB = 1024.0 * 1024.0;
    if (!peak.finished) {
        std::printf("peak %s (%.1f MB): the load did not finish (out of memory?)\n", what, fileBytes / kMB);
    } else if (peak.peakBytes < 0) {
        std::printf("peak %s (%.1f MB): not measurable here\n", what, fileBytes / kMB);
    } else {
        std::printf("peak %s (%.1f MB): %.1f MB, %.2f times the files, %lld notes\n", what, fileBytes / kMB,
                    double(peak.peakBytes) / kMB, double(peak.peakBytes) / fileBytes,
                    static_cast<long long>(peak.notes));
    }
}

} // namespace

void printHostilePeaks(const std::string& galaxyFolder, uint64_t galaxyBytes)
{
#ifdef VORNEX_CAN_MEASURE_PEAK
    // No load may take more than 2 GB of address space.
    constexpr uint64_t kLimit = 2ull << 30;
    printPeak("galaxy, the baseline", double(galaxyBytes),
              test::measurePeakLoad([&] { return loadFolder(galaxyFolder, kGalaxyGame, "1"); }, kLimit));
    constexpr size_t kBytes = 20u << 20;
    for (const test::HostileFile& file : test::kHostileFiles) {
        const std::string folder = makeTempFolder("vornex-hostile-");
        test::writeHostileFolder(folder, file, kBytes);
        printPeak(file.what, double(kBytes),
                  test::measurePeakLoad([&] { return loadFolder(folder, "hostile", "3"); }, kLimit));
        removeFolder(folder);
    }
#else
    (void)galaxyFolder;
    (void)galaxyBytes;
    std::printf("peak memory of loads: not measurable here\n");
#endif
}

} // namespace vornex::bench
