#pragma once
// The game being followed: its folder, its name and the player number whose planets report is read.
// Every file of a game is named here, so start-up, reloading, watching, saving, exporting and the
// report command all read and write the same files.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornex {

// A player number as it names the planets report: `suffix` is the text as given, blanks around it
// left out ("04" names game.p04), `number` the player slot it stands for (4).
struct PlayerNumber {
    std::string suffix;
    int16_t number = 0;
    bool operator==(const PlayerNumber&) const = default;
};

// How much a player number may be. Typed: what a user types (the Open Game dialog, the command
// lines): digits, a minus sign before them at most, nothing else ("1e0" and "0.99999999999999999" are not
// whole numbers, though they read as 1). Stored: the stored setting, which earlier versions wrote
// from any number typed: a fraction is taken too and names the slot of its number rounded half to
// even ("2.5": slot 2, report game.p2.5).
enum class PlayerText { Typed, Stored };

// The one reading of a player number. nullopt for a text that is no number of that kind, a number
// outside 16 bits, and -1, which means that no number has been given yet.
std::optional<PlayerNumber> parsePlayerNumber(std::string_view text, PlayerText kind = PlayerText::Typed);

// The player number in the suffix a new number is stored with: "4".
PlayerNumber playerNumberOf(int16_t number);

// Why a game name cannot name the game's files, or nullopt when it can. A name must stay inside
// the game folder: no path separator and no "..", and it is not empty.
std::optional<std::string> gameNameProblem(std::string_view name);

struct Game {
    std::string folder; // ends in a path separator
    std::string name;   // base name of the map file and the planets report
    PlayerNumber player;

    bool operator==(const Game&) const = default;

    int16_t playerNumber() const { return player.number; }
    std::string mapFile() const { return folder + name + ".map"; }
    std::string reportFile() const { return folder + name + ".p" + player.suffix; }
    // export.p1 .. export.p16; exportFile() is the user's own.
    std::string exportFile(int number) const;
    std::string exportFile() const { return exportFile(player.number); }
    std::string gravityFile() const { return folder + "gravity.csv"; }
    std::string playersFile() const { return folder + "player.inf"; }
    // The files a turn is read from: the map file, the planets report, export.p1 .. export.p16.
    std::vector<std::string> turnFiles() const;
};

// The folder with a path separator at its end (the system's own when it has none).
std::string withFolderSeparator(std::string folder);

} // namespace vornex
