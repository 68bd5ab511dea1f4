#include "app/startup.h"

#include <QDir>
#include <algorithm>

#include "base/numeric.h"
#include "io/planetloader.h"
#include "io/tables.h"

namespace vornex {

namespace {

constexpr const char* kStartup = "Startup";
constexpr const char* kSettings = "Settings";
constexpr const char* kDisplay = "Display";

// Order matters: SaveSettings writes the table from top to bottom.
const std::vector<SettingDef> kTable = {
    {kStartup, "FileLocations", ""}, // default from defaultFileLocation()
    {kDisplay, "XStart", "0"},         {kDisplay, "YStart", "0"},
    {kDisplay, "Zoom", "2000"},        {kDisplay, "ClickOption", "Planets"},
    {kDisplay, "PlanetSelected", "1"}, {kSettings, "YourNumber", "-1"},
    {kSettings, "GameName", "game"},
};

const SettingDef& def(std::string_view section, std::string_view key)
{
    for (const auto& d : kTable)
        if (section == d.section && key == d.key) return d;
    throw std::logic_error("unknown setting");
}

std::string readText(const SettingsStore& store, std::string_view section, std::string_view key)
{
    const SettingDef& d = def(section, key);
    return store.read(kApplication, d.section, d.key, settingDefault(d));
}

// A stored number that is not one (or does not fit 16 bits) counts as absent.
int16_t readInt16(const SettingsStore& store, std::string_view section, std::string_view key)
{
    const SettingDef& d = def(section, key);
    if (auto v = num::parseInt16(store.read(kApplication, d.section, d.key, d.defaultValue))) return *v;
    return *num::parseInt16(d.defaultValue);
}

void write(SettingsStore& store, std::string_view section, std::string_view key, const std::string& value)
{
    const SettingDef& d = def(section, key);
    store.write(kApplication, d.section, d.key, value);
}

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

const std::vector<SettingDef>& settingsTable()
{
    return kTable;
}

std::string settingDefault(const SettingDef& d)
{
    if (std::string_view(d.section) == kStartup && std::string_view(d.key) == "FileLocations")
        return defaultFileLocation();
    return d.defaultValue;
}

StartupResult Main(ProgramState& state, SettingsStore& settings, Prompter& prompter,
                   const std::function<bool(const std::string&)>& fileExists)
{
    // The folder: asked until gravity.csv is found there. The answer is used as typed, so a folder
    // without its final separator is asked again.
    state.FileLocation = readText(settings, kStartup, "FileLocations");
    while (!fileExists(state.FileLocation + "gravity.csv")) {
        auto answer = prompter.ask("Enter location of files (e.g. c:\\vornex\\)", "Missing files!");
        if (!answer) return StartupResult::Cancelled;
        state.FileLocation = *answer;
    }

    // The player number: -1 means none yet. An answer that is not a number is asked again.
    state.YourNumber = readInt16(settings, kSettings, "YourNumber");
    while (state.YourNumber == -1) {
        auto answer = prompter.ask("Enter your race number", "Race Number");
        if (!answer) return StartupResult::Cancelled;
        if (auto n = num::parseInt16(*answer)) state.YourNumber = *n;
    }

    // The game name: asked until the planets report of this player is found. A stored number is
    // the report's suffix as it is stored ("04" names game.p04), so the file tested is the one the
    // planet loader then reads.
    state.GameName = readText(settings, kSettings, "GameName");
    const std::string suffix =
        reportSuffix(readText(settings, kSettings, "YourNumber")).value_or(num::intText(state.YourNumber));
    while (!fileExists(state.FileLocation + state.GameName + ".p" + suffix)) {
        auto answer = prompter.ask("Enter your game name.", "Game Name");
        if (!answer) return StartupResult::Cancelled;
        state.GameName = *answer;
    }

    state.Zoom = readInt16(settings, kDisplay, "Zoom");
    // The view divides by the zoom: a stored zoom below 1 would leave no map to show.
    if (state.Zoom < 1) state.Zoom = *num::parseInt16(def(kDisplay, "Zoom").defaultValue);
    state.XStart = readInt16(settings, kDisplay, "XStart");
    state.YStart = readInt16(settings, kDisplay, "YStart");

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

    state.ClickOption = readText(settings, kDisplay, "ClickOption");
    state.Dragging = 0;
    state.PlanetSelected = readInt16(settings, kDisplay, "PlanetSelected");
    return StartupResult::Ready;
}

void writeGameSettings(SettingsStore& settings, const std::string& folder, int16_t player, const std::string& game)
{
    write(settings, kStartup, "FileLocations", folder);
    write(settings, kSettings, "YourNumber", num::intText(player));
    write(settings, kSettings, "GameName", game);
}

void SaveSettings(const ProgramState& state, SettingsStore& settings)
{
    using num::intText;
    write(settings, kStartup, "FileLocations", state.FileLocation);
    write(settings, kDisplay, "XStart", intText(state.XStart));
    write(settings, kDisplay, "YStart", intText(state.YStart));
    write(settings, kDisplay, "Zoom", intText(state.Zoom));
    write(settings, kDisplay, "ClickOption", state.ClickOption);
    write(settings, kDisplay, "PlanetSelected", intText(state.PlanetSelected));
    write(settings, kSettings, "YourNumber", intText(state.YourNumber));
    write(settings, kSettings, "GameName", state.GameName);
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
