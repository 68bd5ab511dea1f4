#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/diagnostics.h"
#include "io/game.h"
#include "model/collections.h"

namespace vornex {

// The value of the longest leading part of the text that reads as a decimal number (sign, digits,
// one full stop, exponent), blanks and tabs skipped wherever they stand; 0 when there is none.
double LeadingValue(std::string_view text);

// Takes the first tab-ended field off the line and returns it, one trailing "%" dropped. The line
// must contain a tab; without one the whole line is the field and the line becomes empty.
std::string NextField(std::string& line);

// The fourth field of a tab-ended line; the line itself is unchanged.
std::string NameField(std::string line);

// Empty text gives 0; otherwise the last unitLength characters (characters, not bytes) are dropped
// and the rest must read as a decimal number. nullopt when the text is shorter than its unit or the
// rest is not a number.
std::optional<double> UnitValue(std::string_view text, int unitLength);

// What a load of the planets found, beyond the table itself.
struct PlanetsRead {
    int32_t mapPlanets = 0;  // planets taken from the map file
    int64_t reportLines = 0; // lines of the planets report taken
    // The files read whose last line has no line end: most likely still being written.
    std::vector<std::string> unfinished;
};

// Builds the planet table from game.mapFile(), game.reportFile() and the export files
// game.exportFile(1) .. game.exportFile(16) that exist. Never asks and never writes: the player
// number is the game's. Bad lines are rejected with diagnostics; a map file, report or export file
// that cannot be read as a whole is one diagnostic with line 0, its reason ending in what follows
// from it.
PlanetsRead LoadPlanets(Map& planets, const Game& game, Diagnostics& diags);

// Why the planets read cannot stand for a turn of the game: the map file gave no planet, or the
// planets report gave no line (missing, empty, only its heading, UTF-16, no line readable). A
// diagnostic naming the file and the reason (line 0); nullopt when the turn can be shown.
// diags are those of the same load.
std::optional<Diagnostic> turnRefusal(const PlanetsRead& read, const Game& game, const Diagnostics& diags);

// Merges one export file's text (already decoded to UTF-8) into the planets: a record replaces the
// ten exported fields of its planet when the planet was never reported or the record is strictly
// more recent. fileName is used for diagnostics.
void MergeExportFile(Map& planets, std::string_view text, const std::string& fileName, Diagnostics& diags);

} // namespace vornex
