// player.inf: any bytes load into sixteen or more players; what SavePlayers would write from them
// loads back without losing a record.
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
    for (int n = 1; n <= 16; ++n)
        VORNEX_FUZZ_CHECK(players.At(n) && players.At(n)->Number == n);

    // What SavePlayers writes loads back into as many players (the lines the first load could not
    // take are written back as they were) and gives every player the loader took the same record
    // again; only a race name that meets another one once its double quotes became apostrophes
    // may be refused the second time, which keeps its record as the slot's unread line.
    if (!players.UnreadableReason().empty()) return 0; // SavePlayers leaves such a file as it is
    std::string why;
    const std::string once = playersFileBytes(players, &why);
    if (!why.empty()) return 0; // a text Windows-1252 cannot carry: SavePlayers writes nothing
    writeBytes(folder + "player.inf", once);
    Diagnostics diags2;
    Players again = LoadPlayers(folder, diags2);
    VORNEX_FUZZ_CHECK(again.Count() == players.Count());
    for (int64_t n = 1; n <= players.Count(); ++n) {
        if (players.UnreadLine(n)) continue;
        const Player& before = *players.At(n);
        const Player& after = *again.At(n);
        VORNEX_FUZZ_CHECK(before.Export() == after.Export() || again.UnreadLine(n));
    }
    return 0;
}
