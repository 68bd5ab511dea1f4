// The planets report: fuzzed bytes as galaxy.p1 over a small fixed map file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_common.h"
#include "io/planetloader.h"

namespace {
const char kMap[] = "#\tX\tY\tName\r\n"
                    "1\t1234\t1500\tAlpha\r\n"
                    "2\t1300\t1600\tBeta\r\n"
                    "3\t1400.5\t2000.5\tS\xE9raphin Prime\r\n"
                    "4\t1010\t2990\tGamma 7\r\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vornex;
    using namespace vornex::fuzz;
    const std::string& folder = scratchFolder();
    static bool once = [&] {
        writeBytes(folder + "g.map", kMap);
        return true;
    }();
    (void)once;
    writeBytes(folder + "g.p1", std::string_view(reinterpret_cast<const char*>(data), size));

    Diagnostics diags;
    const Map planets = loadScratchGame(diags);
    // The report never adds planets to those of the map file.
    VORNEX_FUZZ_CHECK(planets.Count() == 4);
    for (const PlanetPtr& p : planets)
        VORNEX_FUZZ_CHECK(!p->Owner.empty());
    for (const Diagnostic& d : diags)
        (void)d.text();
    return 0;
}
