// player.inf: any bytes load into sixteen or more players; what SavePlayers would write from them
// loads back and writes the same bytes again.
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
    writeBytes(folder + "player.inf", std::string_view(reinterpret_cast<const char*>(data), size));
    Diagnostics diags;
    Players players = LoadPlayers(folder, diags);
    VORNEX_FUZZ_CHECK(players.Count() >= 16);
    for (int n = 1; n <= 16; ++n) VORNEX_FUZZ_CHECK(players.At(n) && players.At(n)->Number == n);

    std::string once = playersFileBytes(players);
    writeBytes(folder + "player.inf", once);
    Diagnostics diags2;
    Players again = LoadPlayers(folder, diags2);
    VORNEX_FUZZ_CHECK(diags2.empty());
    VORNEX_FUZZ_CHECK(again.Count() == players.Count());
    VORNEX_FUZZ_CHECK(playersFileBytes(again) == once);
    return 0;
}
