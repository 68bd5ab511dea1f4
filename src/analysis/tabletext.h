#pragma once
// The planet table written out: tab-separated text and JSON for scripts, exactly as the cells are;
// CSV for spreadsheets. The one CSV writer of the program (the report tool and the window's Save as
// CSV both use it).
//
// CSV files start with a UTF-8 byte order mark, so that spreadsheet programs read accents, and end
// lines with CR LF. A text cell that begins with = + - @, a tab or a carriage return would be taken
// for a formula by a spreadsheet (a planet or race name from a team-mate's export file can be
// anything): such a cell is written quoted with an apostrophe in front, as OWASP advises for
// CSV injection. Number cells are written as they are.

#include <string>
#include <vector>

#include "analysis/planettable.h"

namespace vornex {

enum class TableFormat { Tsv, Csv, Json };

inline constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The rows in these columns, heading first (JSON: an array of objects keyed by the headings, empty
// number cells null).
std::string writePlanetTable(const std::vector<PlanetRow>& rows, const std::vector<const PlanetColumn*>& columns,
                             TableFormat format);

// Any table of text cells in the format, heading first: the same writer for every table of the
// program. numeric[k] says whether column k holds figures.
std::string writeTable(const std::vector<std::string>& headings, const std::vector<bool>& numeric,
                       const std::vector<std::vector<std::string>>& cells, TableFormat format);

// One CSV cell: quoted when it holds a comma, a quote, a line break or a blank at either end; a
// text cell that a spreadsheet would run as a formula is quoted and begins with an apostrophe.
std::string csvCell(const std::string& text, bool numeric);

} // namespace vornex
