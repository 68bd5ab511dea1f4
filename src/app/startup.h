#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/programstate.h"
#include "io/interfaces.h"
#include "io/planetloader.h"
#include "io/settingstable.h"

namespace vornex {

// "c:\program files\vornex\" on Windows; a folder under the user's home elsewhere.
std::string defaultFileLocation();

// The folder question's prompt, with an example folder of this system.
std::string folderPrompt();

enum class StartupResult { Ready, Cancelled, Demo };

// The start-up sequence: reads the settings, asks for the folder, the player number and the game
// name until the game files are found (each asked once at most each time round), reads the view
// settings, loads gravity table, players table and planets, reads click mode and selected planet.
// Cancelling any question returns Cancelled, choosing the demo galaxy at the folder question Demo,
// both with no setting written. fileExists is FileExists outside tests.
StartupResult startGame(ProgramState& state, SettingsStore& settings, Prompter& prompter,
                        const std::function<bool(const std::string&)>& fileExists);

// The steps of startGame, for a start that reads the files while the window is being built.
// findGame: the questions, until `game` names files that are there (nothing else is read).
StartupResult findGame(Game& game, SettingsStore& settings, Prompter& prompter,
                       const std::function<bool(const std::string&)>& fileExists);
// The view as stored: zoom, origin, click mode and selected planet.
MapView storedView(const SettingsStore& settings);

// A game's tables as read from its files, with what the loaders noted.
struct GameTables {
    Gravities gravities;
    Players players;
    Map planets;
    Diagnostics diagnostics;
};
// Reads gravity table, players table and planets, as startGame does.
GameTables readGameTables(const Game& game);
// Makes them the state's (the notes of earlier loads go).
void takeTables(ProgramState& state, GameTables tables);

// Writes the game folder, player number and game name that startGame reads, so that it finds the game
// without asking.
void writeGameSettings(SettingsStore& settings, const Game& game);

// Writes the persisted settings from the state, in the documented order. The player number is
// written as it names the planets report ("04" stays "04").
void SaveSettings(const ProgramState& state, SettingsStore& settings);

// Saves nothing; reloads the players table and then the planets (after a race-name change).
// Diagnostics of the reload replace the earlier ones of those files. The planets stay as they
// were (and false is returned) when the files read give no turn to show.
bool reloadPlayersAndPlanets(ProgramState& state);

} // namespace vornex
