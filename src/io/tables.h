#pragma once
#include <string>

#include "io/diagnostics.h"
#include "io/textfile.h"
#include "model/collections.h"

namespace vornex {

// folder is FileLocation: the game folder, ending in its path separator; file names are appended.

// gravity.csv: records of two list items (gravity text, clicks). A line that is not exactly two
// items, whose clicks are not an int16 number, or whose key is already there is rejected with a
// diagnostic; the first of duplicates stays. A missing file gives an empty table and a diagnostic.
Gravities LoadGravities(const std::string& folder, Diagnostics& diags);

// player.inf: one record of thirteen list items per line, player n on the n-th record line,
// completed to sixteen players without key. Bad records (item count, numbers that do not convert,
// a race name already taken) are rejected with a diagnostic and leave their slot empty, so later
// players keep their numbers; the rejected line is kept with the table. A missing file counts as an
// empty one; a file that exists but cannot be read gives an empty table that refuses to be saved.
Players LoadPlayers(const std::string& folder, Diagnostics& diags);

// Writes player.inf (one Player::Export line per record, store order, Windows-1252, CR LF),
// replacing it atomically; the previous file is kept as player.inf.bak. A slot left empty by a
// rejected line and not filled in since is written as that line, unchanged, so no record is lost
// by saving. A table loaded from an unreadable file is not written (the result says why).
WriteResult SavePlayers(const std::string& folder, const Players& players);

// The bytes SavePlayers writes.
std::string playersFileBytes(const Players& players);

}  // namespace vornex
