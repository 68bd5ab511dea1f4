// The game's map file: fuzzed bytes as galaxy.map, loaded with a small fixed report.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz_common.h"
#include "io/planetloader.h"
#include "model/keyfold.h"

namespace {
const char kReport[] =
    "Planet Name\tOwner\tStarbase\tReport Age\tPopulation\tValue\tProduction Q\tMines\tFactories\tDef %\t"
    "S Iron\tS Bora\tS Germ\tIron MR\tBora MR\tGerm MR\tIron MC\tBora MC\tGerm MC\tResources\tGrav\tTemp\tRad\t"
    "Grav Orig\tTemp Orig\tRad Orig\tTerra\r\n"
    "Alpha\tKethri\t\t0\t12000\t45%\t\t10\t12\t5%\t100\t200\t300\t1\t2\t3\t40\t50\t60\t77\t1.25g\t-120\xB0"
    "C\t45mR\t1.25g\t-120\xB0"
    "C\t45mR\t0%\r\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vornex;
    using namespace vornex::fuzz;
    const std::string& folder = scratchFolder();
    static bool once = [&] {
        writeBytes(folder + "g.p1", kReport);
        return true;
    }();
    (void)once;
    writeBytes(folder + "g.map", std::string_view(reinterpret_cast<const char*>(data), size));

    Diagnostics diags;
    const Map planets = loadScratchGame(diags);

    // Every stored planet is reachable by its key, and keys are unique.
    std::set<std::string> keys;
    for (const PlanetPtr& p : planets) {
        VORNEX_FUZZ_CHECK(p != nullptr);
        VORNEX_FUZZ_CHECK(keys.insert(foldKey(p->PlanetName)).second);
    }
    for (const Diagnostic& d : diags)
        (void)d.text();
    return 0;
}
