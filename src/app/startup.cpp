#include "app/startup.h"

#include <QDir>
#include <algorithm>

#include "base/numeric.h"
#include "io/planetloader.h"
#include "io/tables.h"

namespace vornex {

namespace {

using namespace setting;

} // namespace

std::string defaultFileLocation()
{
#ifdef _WIN32
    return "c:\\program files\\vornex\\";
#else
    // Game files live in a plain folder in the user's home, ~/vornex/.
    return QDir::homePath().toStdString() + "/vornex/";
#endif
}

StartupResult startGame(ProgramState& state, SettingsStore& settings, Prompter& prompter,
                        const std::function<bool(const std::string&)>& fileExists)
{
    // The folder: asked until gravity.csv is found there. The answer is used as typed, so a folder
    // without its final separator is asked again.
    state.FileLocation = readSetting(settings, FileLocations, defaultFileLocation());
    while (!fileExists(state.FileLocation + "gravity.csv")) {
        auto answer = prompter.ask("Enter location of files (e.g. c:\\vornex\\)", "Missing files!");
        if (!answer) return StartupResult::Cancelled;
        state.FileLocation = *answer;
    }

    // The player number: -1 means none yet. An answer that is not a number is asked again.
    state.YourNumber = readInt16Setting(settings, YourNumber);
    while (state.YourNumber == -1) {
        auto answer = prompter.ask("Enter your race number", "Race Number");
        if (!answer) return StartupResult::Cancelled;
        if (auto n = num::parseInt16(*answer)) state.YourNumber = *n;
    }

    // The game name: asked until the planets report of this player is found. A stored number is
    // the report's suffix as it is stored ("04" names game.p04), so the file tested is the one the
    // planet loader then reads.
    state.GameName = readSetting(settings, GameName);
    const std::string suffix = reportSuffix(readSetting(settings, YourNumber)).value_or(num::intText(state.YourNumber));
    while (!fileExists(state.FileLocation + state.GameName + ".p" + suffix)) {
        auto answer = prompter.ask("Enter your game name.", "Game Name");
        if (!answer) return StartupResult::Cancelled;
        state.GameName = *answer;
    }

    state.Zoom = readInt16Setting(settings, Zoom);
    // The view divides by the zoom: a stored zoom below 1 would leave no map to show.
    if (state.Zoom < 1) state.Zoom = *num::parseInt16(Zoom.defaultValue);
    state.XStart = readInt16Setting(settings, XStart);
    state.YStart = readInt16Setting(settings, YStart);

    Diagnostics diags;
    Gravities gravities = LoadGravities(state.FileLocation, diags);
    Players players = LoadPlayers(state.FileLocation, diags);
    Map planets;
    if (LoadPlanets(planets, state.FileLocation, state.GameName, settings, prompter, diags) == LoadOutcome::Cancelled)
        return StartupResult::Cancelled;
    state.AllGravities = std::move(gravities);
    state.AllPlayers = std::move(players);
    state.AllPlanets = std::move(planets);
    state.diagnostics = std::move(diags);

    state.ClickOption = readSetting(settings, ClickOption);
    state.Dragging = 0;
    state.PlanetSelected = readInt16Setting(settings, PlanetSelected);
    return StartupResult::Ready;
}

void writeGameSettings(SettingsStore& settings, const std::string& folder, int16_t player, const std::string& game)
{
    writeSetting(settings, FileLocations, folder);
    writeSetting(settings, YourNumber, num::intText(player));
    writeSetting(settings, GameName, game);
}

void SaveSettings(const ProgramState& state, SettingsStore& settings)
{
    using num::intText;
    writeSetting(settings, FileLocations, state.FileLocation);
    writeSetting(settings, XStart, intText(state.XStart));
    writeSetting(settings, YStart, intText(state.YStart));
    writeSetting(settings, Zoom, intText(state.Zoom));
    writeSetting(settings, ClickOption, state.ClickOption);
    writeSetting(settings, PlanetSelected, intText(state.PlanetSelected));
    writeSetting(settings, YourNumber, intText(state.YourNumber));
    writeSetting(settings, GameName, state.GameName);
}

LoadOutcome reloadPlayersAndPlanets(ProgramState& state, SettingsStore& settings, Prompter& prompter)
{
    Diagnostics playerDiags;
    state.AllPlayers = LoadPlayers(state.FileLocation, playerDiags);
    Map planets;
    Diagnostics planetDiags;
    const LoadOutcome outcome =
        LoadPlanets(planets, state.FileLocation, state.GameName, settings, prompter, planetDiags);
    if (outcome == LoadOutcome::Loaded) state.AllPlanets = std::move(planets);
    // The gravity table is never reloaded: keep its notes. The planets' notes are replaced only
    // when the planets were.
    const std::string gravityFile = state.FileLocation + "gravity.csv";
    const std::string playersFile = state.FileLocation + "player.inf";
    std::erase_if(state.diagnostics, [&](const Diagnostic& d) {
        return d.file == playersFile || (outcome == LoadOutcome::Loaded && d.file != gravityFile);
    });
    state.diagnostics.insert(state.diagnostics.end(), playerDiags.begin(), playerDiags.end());
    state.diagnostics.insert(state.diagnostics.end(), planetDiags.begin(), planetDiags.end());
    return outcome;
}

} // namespace vornex
