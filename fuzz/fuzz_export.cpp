// An export file merged into a loaded galaxy.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_common.h"
#include "io/codepage.h"
#include "io/planetloader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vornex;
    Map planets;
    const char* names[] = {"Alpha", "Beta", "S\xC3\xA9raphin Prime", "Gamma 7", ""};
    int16_t id = 1;
    for (const char* n : names) {
        PlanetPtr p = planets.Add(n);
        p->ID = id++;
        p->PlanetName = n;
        p->Owner = "Uninhabited";
        p->ReportAge = id % 2 ? -1 : 3;
    }
    std::string text = decodeFileText(std::string_view(reinterpret_cast<const char*>(data), size));
    Diagnostics diags;
    MergeExportFile(planets, text, "export.p1", diags);
    VORNEX_FUZZ_CHECK(planets.Count() == 5);
    for (const Diagnostic& d : diags)
        (void)d.text();
    return 0;
}
