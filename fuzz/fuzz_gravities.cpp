// gravity.csv: any bytes load; every stored row is found by its key.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_common.h"
#include "io/tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vornex;
    using namespace vornex::fuzz;
    const std::string& folder = scratchFolder();
    writeBytes(folder + "gravity.csv", std::string_view(reinterpret_cast<const char*>(data), size));
    Diagnostics diags;
    Gravities gravities = LoadGravities(folder, diags);
    for (int i = 1; i <= gravities.Count(); ++i)
        VORNEX_FUZZ_CHECK(gravities.Item(i) != nullptr);
    for (const Diagnostic& d : diags)
        (void)d.text();
    return 0;
}
