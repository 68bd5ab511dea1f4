#pragma once
#include <string>

#include "io/diagnostics.h"
#include "io/textfile.h"
#include "model/collections.h"

namespace vornex {

// folder is FileLocation: the game folder, ending in its path separator; file names are appended.

// Both files are read with list input, items counted across lines: a record is a run of items
// and need not match a line. A file that cannot be read at all (missing, unreadable, UTF-16) is one
// diagnostic with line 0.

// gravity.csv: records of two list items (gravity text, clicks). A record whose clicks are not an
// int16 number, or whose key is already there, is rejected with a diagnostic; the first of
// duplicates stays.
Gravities LoadGravities(const std::string& folder, Diagnostics& diags);

// player.inf: records of thirteen list items, player n being the n-th record, completed to sixteen
// players without key. Bad records (numbers that do not convert, a race name already taken) are
// rejected with a diagnostic and leave their slot empty, so later players keep their numbers; the
// bytes of a rejected record are kept with its slot. A last record that falls short of thirteen
// items gets no slot and is kept for the end of the file. A missing file counts as an empty one; a
// file that exists but cannot be read, or of which no record could be read, gives a table that
// refuses to be saved.
Players LoadPlayers(const std::string& folder, Diagnostics& diags);

// Writes player.inf (one Player::Export line per record, store order, Windows-1252, CR LF),
// replacing it atomically; the previous file is kept as player.inf.bak. A slot left empty by a
// rejected record and not filled in since is written as that record's bytes, unchanged, so no
// record is lost by saving. Nothing is written (the result says why) for a table loaded from a file
// that could not be read, or when a text holds a character with no Windows-1252 form.
WriteResult SavePlayers(const std::string& folder, const Players& players);

// The bytes SavePlayers writes. A character with no Windows-1252 form becomes '?', and *why (when
// given) names the first such character; SavePlayers refuses to write such bytes.
std::string playersFileBytes(const Players& players, std::string* why = nullptr);

} // namespace vornex
