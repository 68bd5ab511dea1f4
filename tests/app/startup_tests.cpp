// Start-up questions, settings defaults and writing, reloading, and the QSettings store.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "analysis/panel.h"
#include "app/qsettingsstore.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "reporttable.h"
#include "support/fakes.h"

using namespace vornex;

namespace {

using MemoryStore = test::FakeSettings;

// Checks that each question has its own words; any question past the script fails the test.
class ScriptedPrompter : public test::ScriptedPrompter {
public:
    ScriptedPrompter() { strict = true; }
    std::optional<std::string> ask(const std::string& prompt, const std::string& title) override
    {
        const std::map<std::string, std::string> prompts = {
            {"Missing files!", "Enter location of files (e.g. c:\\vornex\\)"},
            {"Race Number", "Enter your race number"},
            {"Game Name", "Enter your game name."},
            {"Player Number", "Please enter your player number"}};
        auto expected = prompts.find(title);
        EXPECT_TRUE(expected != prompts.end() && expected->second == prompt) << title << ": " << prompt;
        return test::ScriptedPrompter::ask(prompt, title);
    }
};

struct FakeFiles {
    std::set<std::string> files;
    std::function<bool(const std::string&)> fn() const
    {
        return [this](const std::string& p) { return files.count(p) > 0; };
    }
};

using Titles = std::vector<std::string>;

} // namespace

TEST(Startup, EmptyStoreAsksTheNumberAndTheLoaderAsksAgain)
{
    const std::string dir = defaultFileLocation();
    FakeFiles files{{dir + "gravity.csv", dir + "game.p2"}};
    MemoryStore store;
    ScriptedPrompter ask;
    ask.answers = {"2", "2"};
    ProgramState state;
    ASSERT_EQ(startGame(state, store, ask, files.fn()), StartupResult::Ready);
    EXPECT_EQ(ask.titles, (Titles{"Race Number", "Player Number"}));
    EXPECT_EQ(state.FileLocation, dir);
    EXPECT_EQ(state.YourNumber, 2);
    EXPECT_EQ(state.GameName, "game");
    EXPECT_EQ(state.Zoom, 2000);
    EXPECT_EQ(state.XStart, 0);
    EXPECT_EQ(state.YStart, 0);
    EXPECT_EQ(state.ClickOption, "Planets");
    EXPECT_EQ(state.PlanetSelected, 1);
    EXPECT_EQ(state.Dragging, 0);
    EXPECT_EQ(state.AllPlayers.Count(), 16); // a missing player.inf counts as empty
    // Only the loader's answer reaches the store; start-up's answers wait for SaveSettings.
    ASSERT_EQ(store.writes.size(), 1u);
    EXPECT_EQ(store.writes[0], std::make_tuple(std::string("Settings"), std::string("YourNumber"), std::string("2")));
}

TEST(Startup, AnswersAreTestedAsTypedAndAskedAgain)
{
    FakeFiles files{{"/g/gravity.csv", "/g/alpha.p3"}};
    MemoryStore store;
    store.values["Settings/YourNumber"] = "junk"; // not a number: as if absent
    ScriptedPrompter ask;
    // Folder without its separator fails; the number "abc" and an empty answer are asked again;
    // the game name "game" has no report for player 3.
    // The loader then asks for the stored number, which is still "junk": cancelled there.
    ask.answers = {"/g", "/g/", "abc", "", "3", "game", "alpha", std::nullopt};
    ProgramState state;
    EXPECT_EQ(startGame(state, store, ask, files.fn()), StartupResult::Cancelled);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(ask.titles, (Titles{"Missing files!", "Missing files!", "Race Number", "Race Number", "Race Number",
                                  "Game Name", "Game Name", "Player Number"}));
    EXPECT_EQ(state.FileLocation, "/g/");
    EXPECT_EQ(state.YourNumber, 3);
    EXPECT_EQ(state.GameName, "alpha");
}

TEST(Startup, StoredNumbersAreUsedWithoutQuestions)
{
    FakeFiles files{{"/g/gravity.csv", "/g/game.p-3"}};
    MemoryStore store;
    store.values = {{"Startup/FileLocations", "/g/"}, {"Settings/YourNumber", " -3 "}, {"Display/Zoom", "0"},
                    {"Display/XStart", "12.5"},       {"Display/YStart", "99999"},     {"Display/ClickOption", "Move"},
                    {"Display/PlanetSelected", "x"}};
    ScriptedPrompter ask;
    ProgramState state;
    // -3 names no player slot, yet it is the number as stored: no question, the report game.p-3.
    EXPECT_EQ(startGame(state, store, ask, files.fn()), StartupResult::Ready);
    EXPECT_TRUE(ask.titles.empty());
    EXPECT_EQ(state.YourNumber, -3);
    EXPECT_EQ(state.Zoom, 2000); // a zoom below 1 would leave no map
    EXPECT_EQ(state.XStart, 12); // half to even
    EXPECT_EQ(state.YStart, 0);  // out of 16 bits: the default
    EXPECT_TRUE(store.writes.empty());
}

TEST(Startup, StoredPlayerNumberIsTheReportSuffixAsStoredAndTheReportAgrees)
{
    // Reports for several spellings of a number; each is told apart by Alpha's report age.
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString() + "/";
    const std::string fixture = std::string(VORNEX_TEST_DATA_DIR) + "report/";
    for (const char* f : {"gravity.csv", "player.inf", "game.map"})
        std::filesystem::copy_file(fixture + f, dir + f);
    std::ifstream in(fixture + "game.p1", std::ios::binary);
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string alpha = "Alpha\tHumanoid\t\t0\t";
    ASSERT_NE(report.find(alpha), std::string::npos);
    auto writeReport = [&](const std::string& suffix, int age) {
        std::string text = report;
        text.replace(text.find(alpha), alpha.size(), "Alpha\tHumanoid\t\t" + std::to_string(age) + "\t");
        std::ofstream(dir + "game.p" + suffix, std::ios::binary) << text;
    };
    for (auto [suffix, age] :
         std::vector<std::pair<std::string, int>>{{"04", 4}, {"4", 40}, {"-3", 3}, {"17", 17}, {"2.5", 25}, {"2", 20}})
        writeReport(suffix, age);

    struct Case {
        std::string stored;
        int age;           // of the report that must be read
        bool namesAPlayer; // a slot of player.inf with a race
    };
    for (const Case& c : std::vector<Case>{{"04", 4, false}, {"-3", 3, false}, {"17", 17, false}, {"2.5", 25, true}}) {
        MemoryStore store;
        store.values = {{"Startup/FileLocations", dir}, {"Settings/YourNumber", c.stored}};
        ScriptedPrompter ask; // any question fails the test
        ProgramState state;
        ASSERT_EQ(startGame(state, store, ask, FileExists), StartupResult::Ready) << c.stored;
        EXPECT_TRUE(ask.titles.empty()) << c.stored;
        EXPECT_TRUE(store.writes.empty()) << c.stored;
        PlanetPtr planet = state.AllPlanets.Item("Alpha");
        EXPECT_EQ(planet->ReportAge, c.age) << c.stored;

        // The panel's two ratings, and the report's, for every planet.
        report::RunResult r = report::run({"--folder", dir, "--player", c.stored});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find("has no race") == std::string::npos, c.namesAPlayer) << c.stored << ": " << r.err;
        std::istringstream rows(r.out);
        std::string line;
        std::getline(rows, line);
        int compared = 0;
        while (std::getline(rows, line)) {
            std::vector<std::string> cells;
            std::stringstream cs(line);
            for (std::string cell; std::getline(cs, cell, '\t');)
                cells.push_back(cell);
            cells.resize(10);
            const PanelValues v =
                computePanel(*state.AllPlanets.Item(cells[1]), state.yourPlayer().get(), state.AllGravities);
            auto text = [](const std::optional<HabResult>& h) { return h ? std::to_string(h->rating) : ""; };
            EXPECT_EQ(cells[5], std::to_string(state.AllPlanets.Item(cells[1])->ReportAge)) << line;
            EXPECT_EQ(cells[8], text(v.hab)) << c.stored << ": " << line;
            EXPECT_EQ(cells[9], text(v.habTerra)) << c.stored << ": " << line;
            ++compared;
        }
        EXPECT_EQ(compared, state.AllPlanets.Count());
    }
}

TEST(Startup, CancellingAnyQuestionEndsWithoutWritingSettings)
{
    // Folder question.
    {
        MemoryStore store;
        ScriptedPrompter ask;
        ask.answers = {"/nowhere/", std::nullopt};
        ProgramState state;
        FakeFiles none;
        EXPECT_EQ(startGame(state, store, ask, none.fn()), StartupResult::Cancelled);
        EXPECT_EQ(ask.titles.size(), 2u);
        EXPECT_TRUE(store.writes.empty());
    }
    // Number question.
    {
        MemoryStore store;
        store.values["Startup/FileLocations"] = "/g/";
        ScriptedPrompter ask;
        ask.answers = {std::nullopt};
        ProgramState state;
        FakeFiles files{{"/g/gravity.csv"}};
        EXPECT_EQ(startGame(state, store, ask, files.fn()), StartupResult::Cancelled);
        EXPECT_EQ(ask.titles, (Titles{"Race Number"}));
        EXPECT_TRUE(store.writes.empty());
    }
    // Game question, which would otherwise repeat without end for a number without report.
    {
        MemoryStore store;
        store.values = {{"Startup/FileLocations", "/g/"}, {"Settings/YourNumber", "5"}};
        ScriptedPrompter ask;
        ask.answers = {"game", "other", std::nullopt};
        ProgramState state;
        FakeFiles files{{"/g/gravity.csv", "/g/game.p4"}};
        EXPECT_EQ(startGame(state, store, ask, files.fn()), StartupResult::Cancelled);
        EXPECT_EQ(ask.titles, (Titles{"Game Name", "Game Name", "Game Name"}));
        EXPECT_TRUE(store.writes.empty());
    }
}

TEST(Startup, SaveSettingsWritesEveryValueInOrder)
{
    ProgramState state;
    state.FileLocation = "c:\\program files\\vornex\\";
    state.Zoom = 2000;
    state.ClickOption = "Planets";
    state.PlanetSelected = 1;
    state.YourNumber = -1;
    state.GameName = "game";
    MemoryStore store;
    SaveSettings(state, store);
    using W = std::tuple<std::string, std::string, std::string>;
    EXPECT_EQ(store.writes, (std::vector<W>{{"Startup", "FileLocations", "c:\\program files\\vornex\\"},
                                            {"Display", "XStart", "0"},
                                            {"Display", "YStart", "0"},
                                            {"Display", "Zoom", "2000"},
                                            {"Display", "ClickOption", "Planets"},
                                            {"Display", "PlanetSelected", "1"},
                                            {"Settings", "YourNumber", "-1"},
                                            {"Settings", "GameName", "game"}}));
    // The table lists the same keys in the same order.
    const auto& table = settingsTable();
    ASSERT_EQ(table.size(), store.writes.size());
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(std::get<1>(store.writes[i]), table[i].key);
}

TEST(Startup, LoadsARealFolderAndReloadReplacesItsDiagnostics)
{
    const std::string dir = std::string(VORNEX_TEST_DATA_DIR) + "report/";
    MemoryStore store;
    store.values = {{"Startup/FileLocations", dir}, {"Settings/YourNumber", "1"}};
    ScriptedPrompter ask;
    ProgramState state;
    ASSERT_EQ(startGame(state, store, ask, FileExists), StartupResult::Ready);
    EXPECT_TRUE(ask.titles.empty());
    EXPECT_EQ(state.AllGravities.Count(), 5);
    EXPECT_EQ(state.AllPlanets.Count(), 6);
    EXPECT_EQ(state.AllPlayers.Item(1)->RaceName, "Humanoid");
    const size_t diagnostics = state.diagnostics.size();
    EXPECT_EQ(diagnostics, 2u); // a bad map line and a report line for an unknown planet
    state.AllPlanets.Item(1)->Owner = "changed";
    EXPECT_EQ(reloadPlayersAndPlanets(state, store, ask), LoadOutcome::Loaded);
    EXPECT_EQ(state.AllPlanets.Item(1)->Owner, "Humanoid");
    EXPECT_EQ(state.diagnostics.size(), diagnostics);

    // The loader's own player-number question cancelled: the players are new, the planets and
    // their notes stay as they were.
    store.values["Settings/YourNumber"] = "-1";
    ask.answers = {std::nullopt};
    state.AllPlanets.Item(1)->Owner = "kept";
    state.AllPlayers.Item(1)->RaceName = "edited";
    EXPECT_EQ(reloadPlayersAndPlanets(state, store, ask), LoadOutcome::Cancelled);
    EXPECT_EQ(state.AllPlanets.Item(1)->Owner, "kept");
    EXPECT_EQ(state.AllPlayers.Item(1)->RaceName, "Humanoid");
    EXPECT_EQ(state.diagnostics.size(), diagnostics);
}

TEST(QSettingsStore, IniFileRoundTripKeepsTextsAndDefaults)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string ini = tmp.filePath("settings.ini").toStdString();
    {
        QSettingsStore store(ini);
        store.write("VornexTools", "Startup", "FileLocations", "c:\\games, old\\");
        store.write("VornexTools", "Display", "Zoom", "2000");
        store.write("VornexTools", "Display", "ClickOption", "Zoom In");
        store.write("Other", "Display", "Zoom", "5");
        store.sync();
    }
    QSettingsStore store(ini);
    EXPECT_EQ(store.read("VornexTools", "Startup", "FileLocations", "d"), "c:\\games, old\\");
    EXPECT_EQ(store.read("VornexTools", "Display", "Zoom", "d"), "2000");
    EXPECT_EQ(store.read("VornexTools", "Display", "ClickOption", "d"), "Zoom In");
    EXPECT_EQ(store.read("VornexTools", "Display", "XStart", "0"), "0");
    EXPECT_EQ(store.read("Other", "Display", "Zoom", "d"), "5");
}
