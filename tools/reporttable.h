#pragma once
// The planet table of vornexinfo-report: which planets of a game are worth settling, as the planet
// panel rates them for one player. No Qt, no display.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/planetrows.h"
#include "analysis/tabletext.h"
#include "model/collections.h"

namespace vornex::report {

using Format = TableFormat;
enum class SortKey { Collection, Hab, HabTerra, Value, Distance, Name, Id, NearOwn };

struct Options {
    std::string folder;
    int16_t player = 0;     // the player slot whose race rates the planets
    std::string playerText; // --player as given: the suffix of the planets report
    std::string game = "game";
    SortKey sort = SortKey::Collection;
    std::optional<std::string> owner;
    bool reportedOnly = false;
    std::optional<std::string> from;
    bool nearOwn = false;      // the columns NearOwn and NearOwnName
    std::optional<int> within; // only planets at most this far from one of your worlds
    Format format = Format::Tsv;
    bool help = false;
    // The game's history (see historycommands.h).
    bool record = false, changes = false;
    std::optional<int32_t> since;
    std::optional<std::string> history; // a planet's turns
    std::string historyFolder;          // empty: the user's data folder
};

// Options from the command-line arguments (without the program name), or nullopt with a one-line
// reason in *error.
std::optional<Options> parseArguments(const std::vector<std::string>& args, std::string* error);

// The text of --help.
std::string usageText();

// One planet of the table: the same row the window's planet table shows.
using Row = PlanetRow;

// One row per planet in collection order, rated for race (player N, null if there is none);
// distances from `from` when it is given, and to the nearest world of race.
std::vector<Row> buildRows(const Map& planets, const Player* race, const Gravities& gravities,
                           const Planet* from = nullptr);

// --owner, --reported and --within, then --sort in the order the window's first click on that
// column gives (stable; empty cells last; ratings break ties by nearness to your worlds).
void filterAndSort(std::vector<Row>& rows, const Options& options);

// The table as text, header first. withDistance adds the Distance column, withNearOwn NearOwn and
// NearOwnName.
std::string formatTable(const std::vector<Row>& rows, Format format, bool withDistance, bool withNearOwn = false);

// The reference planet of --from: the first planet with exactly that name, otherwise the planet
// whose ID the text gives; nullptr when there is none.
PlanetPtr findReference(const Map& planets, const std::string& text);

// The whole program: status 0 and the table on out; status 2 with a one-line message on err and
// nothing on out for a usage error or a required game file (gravity.csv, the map file, the planets
// report) that cannot be read. Rejected input lines go to err as
// "file:line: reason" while the table still comes.
struct RunResult {
    int status = 0;
    std::string out;
    std::string err;
};
RunResult run(const std::vector<std::string>& args);

} // namespace vornex::report
