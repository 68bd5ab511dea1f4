#include "app/startup.h"

#include <QDir>
#include <algorithm>

#include "app/gamechoice.h"
#include "app/turnreload.h"
#include "base/numeric.h"
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

std::string folderPrompt()
{
#ifdef _WIN32
    return "Enter location of files (e.g. c:\\vornex\\)";
#else
    return "Enter location of files (e.g. ~/vornex)";
#endif
}

StartupResult findGame(Game& game, SettingsStore& settings, Prompter& prompter,
                       const std::function<bool(const std::string&)>& fileExists)
{
    // The folder: asked until gravity.csv is found there. A folder typed without its final
    // separator, relative or starting with "~" is made whole first.
    game.folder = readSetting(settings, FileLocations, defaultFileLocation());
    std::string why;
    while (!fileExists(game.gravityFile())) {
        const FolderAnswer answer = prompter.askFolder(folderPrompt(), "Missing files!", why);
        if (answer.kind == FolderAnswer::Kind::Cancel) return StartupResult::Cancelled;
        if (answer.kind == FolderAnswer::Kind::Demo) return StartupResult::Demo;
        game.folder = normalFolder(QString::fromStdString(answer.folder));
        why = folderProblem(QString::fromStdString(answer.folder)).toStdString();
    }

    // The player number, as stored: "04" names the report game.p04. None stored (or -1): asked
    // once, until the answer is a player number from 1 to 16.
    std::optional<PlayerNumber> player = parsePlayerNumber(readSetting(settings, YourNumber), PlayerText::Stored);
    while (!player) {
        auto answer = prompter.ask("Enter your race number", "Race Number");
        if (!answer) return StartupResult::Cancelled;
        player = typedPlayerNumber(QString::fromStdString(*answer));
    }
    game.player = *player;

    // The game name: asked until the planets report of this player is found in the folder.
    game.name = readSetting(settings, GameName);
    while (gameNameProblem(game.name) || !fileExists(game.reportFile())) {
        auto answer = prompter.ask("Enter your game name.", "Game Name");
        if (!answer) return StartupResult::Cancelled;
        game.name = *answer;
    }
    return StartupResult::Ready;
}

MapView storedView(const SettingsStore& settings)
{
    MapView view;
    view.Zoom = readInt16Setting(settings, Zoom);
    // The view divides by the zoom: a stored zoom below 1 would leave no map to show.
    if (view.Zoom < 1) view.Zoom = *num::parseInt16(Zoom.defaultValue);
    view.XStart = readInt16Setting(settings, XStart);
    view.YStart = readInt16Setting(settings, YStart);
    // A click mode that is not one of the four is the first.
    view.clickMode = clickModeNamed(readSetting(settings, ClickOption)).value_or(ClickMode::Planets);
    view.dragging = false;
    view.PlanetSelected = readInt16Setting(settings, PlanetSelected);
    return view;
}

GameTables readGameTables(const Game& game)
{
    GameTables t;
    t.gravities = LoadGravities(game.folder, t.diagnostics);
    t.players = LoadPlayers(game.folder, t.diagnostics);
    LoadPlanets(t.planets, game, t.diagnostics);
    return t;
}

void takeTables(ProgramState& state, GameTables tables)
{
    state.AllGravities = std::move(tables.gravities);
    state.AllPlayers = std::move(tables.players);
    state.AllPlanets = std::move(tables.planets);
    state.diagnostics = std::move(tables.diagnostics);
}

StartupResult startGame(ProgramState& state, SettingsStore& settings, Prompter& prompter,
                        const std::function<bool(const std::string&)>& fileExists)
{
    Game game;
    const StartupResult found = findGame(game, settings, prompter, fileExists);
    if (found != StartupResult::Ready) return found;
    state.game = game;
    state.view = storedView(settings);
    takeTables(state, readGameTables(game));
    return StartupResult::Ready;
}

void writeGameSettings(SettingsStore& settings, const Game& game)
{
    writeSetting(settings, FileLocations, game.folder);
    writeSetting(settings, YourNumber, game.player.suffix);
    writeSetting(settings, GameName, game.name);
}

void SaveSettings(const ProgramState& state, SettingsStore& settings)
{
    using num::intText;
    writeSetting(settings, FileLocations, state.game.folder);
    writeSetting(settings, XStart, intText(state.view.XStart));
    writeSetting(settings, YStart, intText(state.view.YStart));
    writeSetting(settings, Zoom, intText(state.view.Zoom));
    writeSetting(settings, ClickOption, clickModeName(state.view.clickMode));
    writeSetting(settings, PlanetSelected, intText(state.view.PlanetSelected));
    writeSetting(settings, YourNumber, state.game.player.suffix);
    writeSetting(settings, GameName, state.game.name);
}

bool reloadPlayersAndPlanets(ProgramState& state)
{
    Diagnostics playerDiags;
    state.AllPlayers = LoadPlayers(state.game.folder, playerDiags);
    const std::string playersFile = state.game.playersFile();
    std::erase_if(state.diagnostics, [&](const Diagnostic& d) { return d.file == playersFile; });
    state.diagnostics.insert(state.diagnostics.end(), playerDiags.begin(), playerDiags.end());
    return applyTurn(state, readTurn(state.game)).ok;
}

} // namespace vornex
