#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "io/diagnostics.h"
#include "io/interfaces.h"
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

// The suffix N of the planets report game.pN for the stored text of "Settings"/"YourNumber": the
// number as it is stored ("4", "04", "-3", "2.5"), blanks around it left out. nullopt when the
// setting holds -1 or no number: the player has to be asked.
std::optional<std::string> reportSuffix(std::string_view stored);

enum class LoadOutcome { Loaded, Cancelled };

// Builds the planet table from folder + gameName + ".map", the planets report folder + gameName +
// ".p" + N and the export files folder + "export.p1" .. "export.p16". N is reportSuffix of the
// setting "Settings"/"YourNumber"; when there is none the prompter asks (until the answer is a
// number), the answer's number is written to the setting and the answer is N.
// Bad lines are rejected with diagnostics; a map file, report or export file that cannot be read
// as a whole is one diagnostic with line 0, its reason ending in what follows from it.
// Cancelled only when the user cancels the player-number question; `planets` is then unchanged.
LoadOutcome LoadPlanets(Map& planets, const std::string& folder, const std::string& gameName, SettingsStore& settings,
                        Prompter& prompter, Diagnostics& diags);

// Merges one export file's text (already decoded to UTF-8) into the planets: a record replaces the
// ten exported fields of its planet when the planet was never reported or the record is strictly
// more recent. fileName is used for diagnostics.
void MergeExportFile(Map& planets, std::string_view text, const std::string& fileName, Diagnostics& diags);

} // namespace vornex
