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

enum class StartupResult { Ready, Cancelled };

// The start-up sequence: reads the settings, asks for the folder, the player number and the game
// name until the game files are found, reads the view settings, loads gravity table, players table
// and planets, reads click mode and selected planet. Cancelling any question returns Cancelled
// with no setting written. fileExists is FileExists outside tests.
StartupResult startGame(ProgramState& state, SettingsStore& settings, Prompter& prompter,
                        const std::function<bool(const std::string&)>& fileExists);

// Writes the game folder, player number and game name that startGame reads, so that it finds the game
// without asking.
void writeGameSettings(SettingsStore& settings, const std::string& folder, int16_t player, const std::string& game);

// Writes the persisted settings from the state, in the documented order.
void SaveSettings(const ProgramState& state, SettingsStore& settings);

// Saves nothing; reloads the players table and then the planets (after a race-name change).
// Diagnostics of the reload replace the earlier ones of those files. Cancelled when the user
// cancels the planet loader's question: the planets and their diagnostics then stay as they were.
LoadOutcome reloadPlayersAndPlanets(ProgramState& state, SettingsStore& settings, Prompter& prompter);

} // namespace vornex
