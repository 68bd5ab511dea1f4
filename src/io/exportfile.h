#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "io/textfile.h"
#include "model/collections.h"

namespace vornex {

// What the export dialog asks for: the sixteen race captions (player 1..16) with their boxes, and
// whether reported uninhabited planets go too.
struct ExportSelection {
    std::array<std::string, 16> captions;
    std::array<bool, 16> checked{};
    bool uninhabited = true;
};

// The export file's text (UTF-8, CR LF lines): first, for every planet in order, one record per
// checked box whose caption equals its owner; then, if asked, every uninhabited planet that has a
// report. *count receives the number of records.
std::string exportText(const Map& planets, const ExportSelection& selection, int* count = nullptr);

// Writes the export file at path (the user's own, Game::exportFile()) atomically in Windows-1252. A
// text with a character that has no Windows-1252 form fails the write, with the old file left as
// it was.
WriteResult WriteExportFile(const std::string& path, const Map& planets, const ExportSelection& selection,
                            int* count = nullptr);

} // namespace vornex

namespace vornex {

// The records of exportText that other copies cannot use: a planet name that list output cannot
// carry unchanged (a double quote is written as an apostrophe), so the reader finds no planet of
// that name. Returns their count; *names receives each such planet name once, in planet order.
int unusableExportRecords(const Map& planets, const ExportSelection& selection,
                          std::vector<std::string>* names = nullptr);

} // namespace vornex
