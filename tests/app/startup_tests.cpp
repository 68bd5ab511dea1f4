// Start-up questions, settings defaults and writing, reloading, and the QSettings store.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "analysis/panel.h"
#include "app/gamechoice.h"
#include "app/qsettingsstore.h"
#include "app/startup.h"
#include "app/turnreload.h"
#include "io/fileexists.h"
#include "reporttable.h"
#include "support/fakes.h"
#include "support/folders.h"

using namespace vornex;

namespace {

using MemoryStore = test::FakeSettings;

// Checks that each question has its own words; any question past the script fails the test.
// The folder question also records why it was asked again.
class ScriptedPrompter : public test::ScriptedPrompter {
public:
    std::vector<std::string> whys;
    ScriptedPrompter() { strict = true; }
    std::optional<std::string> ask(const std::string& prompt, const std::string& title) override
    {
        const std::map<std::string, std::string> prompts = {{"Missing files!", folderPrompt()},
                                                            {"Race Number", "Enter your race number"},
                                                            {"Game Name", "Enter your game name."}};
        auto expected = prompts.find(title);
        EXPECT_TRUE(expected != prompts.end() && expected->second == prompt) << title << ": " << prompt;
        return test::ScriptedPrompter::ask(prompt, title);
    }
    FolderAnswer askFolder(const std::string& prompt, const std::string& title, const std::string& why) override
    {
        whys.push_back(why);
        return Prompter::askFolder(prompt, title, why);
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

TEST(Startup, EmptyStoreAsksTheNumberOnce)
{
    const std::string dir = defaultFileLocation();
    FakeFiles files{{dir + "gravity.csv", dir + "game.p2"}};
    MemoryStore store;
    ScriptedPrompter ask;
    ask.answers = {"2"};
    ProgramState state;
    ASSERT_EQ(startGame(state, store, ask, files.fn()), StartupResult::Ready);
    EXPECT_EQ(ask.titles, (Titles{"Race Number"}));
    EXPECT_EQ(state.game.folder, dir);
    EXPECT_EQ(state.yourNumber(), 2);
    EXPECT_EQ(state.game.name, "game");
    EXPECT_EQ(state.view.Zoom, 2000);
    EXPECT_EQ(state.view.XStart, 0);
    EXPECT_EQ(state.view.YStart, 0);
    EXPECT_EQ(state.view.clickMode, ClickMode::Planets);
    EXPECT_EQ(state.view.PlanetSelected, 1);
    EXPECT_FALSE(state.view.dragging);
    EXPECT_EQ(state.AllPlayers.Count(), 16); // a missing player.inf counts as empty
    // Start-up's answers wait for SaveSettings.
    EXPECT_TRUE(store.writes.empty());
}

TEST(Startup, AnswersAreMadeWholeTestedAndAskedAgainWithTheReason)
{
    const std::string g = test::keptFolder("/g");
    FakeFiles files{{g + "gravity.csv", g + "alpha.p3", g + "../g/alpha.p3"}};
    MemoryStore store;
    store.values["Settings/YourNumber"] = "junk"; // not a number: as if absent
    ScriptedPrompter ask;
    // A folder without its separator is taken; the numbers "abc", "", "2.5" and "17" are asked
    // again; the game name "game" has no report for player 3, and "../g/alpha" leaves the folder.
    ask.answers = {"/nowhere", "/g", "abc", "", "2.5", "17", " 3 ", "game", "../g/alpha", "alpha"};
    ProgramState state;
    EXPECT_EQ(startGame(state, store, ask, files.fn()), StartupResult::Ready);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(ask.titles, (Titles{"Missing files!", "Missing files!", "Race Number", "Race Number", "Race Number",
                                  "Race Number", "Race Number", "Game Name", "Game Name", "Game Name"}));
    ASSERT_EQ(ask.whys.size(), 2u);
    EXPECT_EQ(ask.whys[0], "");
    EXPECT_EQ(ask.whys[1], "No such folder.");
    EXPECT_EQ(state.game.folder, g);
    EXPECT_EQ(state.game.player, (PlayerNumber{"3", 3}));
    EXPECT_EQ(state.game.name, "alpha");

    // A relative folder and one under "~" are made absolute, so that they hold from any folder.
    EXPECT_EQ(normalFolder("og2"), test::keptFolder(QDir::current().absoluteFilePath("og2")));
    EXPECT_EQ(normalFolder("~/vornex"), test::keptFolder(QDir::homePath() + "/vornex"));
    EXPECT_EQ(normalFolder("  "), "");
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
    EXPECT_EQ(state.game.player, (PlayerNumber{"-3", -3}));
    EXPECT_EQ(state.view.Zoom, 2000); // a zoom below 1 would leave no map
    EXPECT_EQ(state.view.XStart, 12); // half to even
    EXPECT_EQ(state.view.YStart, 0);  // out of 16 bits: the default
    EXPECT_TRUE(store.writes.empty());
}

TEST(Startup, StoredPlayerNumberIsTheReportSuffixAsStoredForReloadSaveAndTheReport)
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
        EXPECT_EQ(state.game.reportFile(), dir + "game.p" + c.stored);
        PlanetPtr planet = state.AllPlanets.Item("Alpha");
        EXPECT_EQ(planet->ReportAge, c.age) << c.stored;
        // A reload reads the same report, and saving keeps the number as it was stored.
        planet->ReportAge = 99;
        ASSERT_TRUE(reloadTurnFiles(state).ok) << c.stored;
        EXPECT_EQ(state.AllPlanets.Item("Alpha")->ReportAge, c.age) << c.stored;
        SaveSettings(state, store);
        EXPECT_EQ(store.values["Settings/YourNumber"], c.stored);

        // The panel's two ratings, and the report's, for every planet. The report command takes
        // whole numbers only.
        if (!parsePlayerNumber(c.stored)) {
            EXPECT_EQ(report::run({"--folder", dir, "--player", c.stored}).status, 2);
            continue;
        }
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
    state.game = Game{"c:\\program files\\vornex\\", "game", PlayerNumber{"-1", -1}};
    state.view.Zoom = 2000;
    state.view.clickMode = ClickMode::Planets;
    state.view.PlanetSelected = 1;
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

TEST(Startup, LoadsARealFolderAndReloadsKeepTheTablesNotesAndRefuseAnEmptyTurn)
{
    // The fixture, with a rejected line in gravity.csv and in player.inf.
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString() + "/";
    const std::string fixture = std::string(VORNEX_TEST_DATA_DIR) + "report/";
    for (const char* f : {"gravity.csv", "player.inf", "game.map", "game.p1", "export.p2"})
        std::filesystem::copy_file(fixture + f, dir + f);
    std::ofstream(dir + "gravity.csv", std::ios::binary | std::ios::app) << "9,lots\r\n";
    std::ofstream(dir + "player.inf", std::ios::binary | std::ios::app)
        << "\"Cy\",\"Rocky\",\"Home\",red,0.5,1.5,-80,80,30,70,10,0,0\r\n";
    MemoryStore store;
    store.values = {{"Startup/FileLocations", dir}, {"Settings/YourNumber", "1"}};
    ScriptedPrompter ask;
    ProgramState state;
    ASSERT_EQ(startGame(state, store, ask, FileExists), StartupResult::Ready);
    EXPECT_TRUE(ask.titles.empty());
    EXPECT_EQ(state.AllGravities.Count(), 5);
    EXPECT_EQ(state.AllPlanets.Count(), 6);
    EXPECT_EQ(state.AllPlayers.Item(1)->RaceName, "Humanoid");
    auto notesOf = [&](const std::string& file) {
        return std::count_if(state.diagnostics.begin(), state.diagnostics.end(),
                             [&](const Diagnostic& d) { return d.file == dir + file; });
    };
    // A bad map line, a report line for an unknown planet, and the two tables' lines.
    const std::vector<long> notes = {notesOf("game.map"), notesOf("game.p1"), notesOf("gravity.csv"),
                                     notesOf("player.inf")};
    EXPECT_EQ(notes, (std::vector<long>{1, 1, 1, 1}));
    auto sameNotes = [&] {
        return std::vector<long>{notesOf("game.map"), notesOf("game.p1"), notesOf("gravity.csv"),
                                 notesOf("player.inf")} == notes;
    };

    state.AllPlanets.Item(1)->Owner = "changed";
    EXPECT_TRUE(reloadTurnFiles(state).ok);
    EXPECT_EQ(state.AllPlanets.Item(1)->Owner, "Humanoid");
    EXPECT_TRUE(sameNotes());
    state.AllPlanets.Item(1)->Owner = "changed";
    EXPECT_TRUE(reloadPlayersAndPlanets(state));
    EXPECT_EQ(state.AllPlanets.Item(1)->Owner, "Humanoid");
    EXPECT_TRUE(sameNotes());

    // A planets report with its headings only is no turn: the players are new, the planets and
    // their notes stay as they were.
    std::ofstream(dir + "game.p1", std::ios::binary) << "Name\r\n";
    state.AllPlanets.Item(1)->Owner = "kept";
    state.AllPlayers.Item(1)->RaceName = "edited";
    EXPECT_FALSE(reloadPlayersAndPlanets(state));
    EXPECT_EQ(state.AllPlanets.Item(1)->Owner, "kept");
    EXPECT_EQ(state.AllPlayers.Item(1)->RaceName, "Humanoid");
    EXPECT_TRUE(sameNotes());
    const TurnReload refused = reloadTurnFiles(state);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, dir + "game.p1: the planets report lists no planet");
    EXPECT_EQ(state.AllPlanets.Item(1)->Owner, "kept");
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
