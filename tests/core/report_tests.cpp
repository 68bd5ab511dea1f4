// The planet report: options, table building and formats, and the program run on a fixture folder.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <sys/stat.h>

#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "reporttable.h"
#include "support/reportcommand.h"
#include "support/scratchfolder.h"

using namespace vornex;
using namespace vornex::report;

namespace {

const std::string kFixture = std::string(VORNEX_TEST_DATA_DIR) + "report";

std::string slurp(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the real executable; arguments are passed quoted to the shell (single quotes, or double
// quotes for the Windows command interpreter, which also wants the whole line quoted once more).
RunResult runExe(const std::vector<std::string>& args)
{
    const std::string q = test::shellQuote();
    auto dir = std::filesystem::temp_directory_path() / ("vornex-report-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string cmd = test::reportCommand(args);
    cmd += " >" + q + (dir / "out").string() + q + " 2>" + q + (dir / "err").string() + q;
#ifdef _WIN32
    cmd = "\"" + cmd + "\"";
    const int raw = std::system(cmd.c_str());
    RunResult r;
    r.status = raw;
#else
    int raw = std::system(cmd.c_str());
    RunResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    r.out = slurp(dir / "out");
    r.err = slurp(dir / "err");
    std::filesystem::remove_all(dir);
    return r;
}

Row row(int16_t id, std::string name, std::optional<int> hab, std::optional<int> terra, int16_t value = 0,
        int16_t age = 0)
{
    Row r;
    r.id = id;
    r.name = std::move(name);
    r.hab = hab;
    r.habTerra = terra;
    r.value = value;
    r.reportAge = age;
    r.owner = "Uninhabited";
    return r;
}

// A folder with the fixture's gravity.csv and player.inf, and the given map file and report of
// player 1 (Windows-1252 bytes).
void craftGame(const test::ScratchFolder& dir, const std::string& mapLines, const std::string& reportLines)
{
    dir.copyFrom(kFixture + "/gravity.csv", "gravity.csv");
    dir.copyFrom(kFixture + "/player.inf", "player.inf");
    dir.write("game.map", "#\tX\tY\tName\r\n" + mapLines);
    dir.write("game.p1", "Name\r\n" + reportLines);
}

// A planets report line of the 27 required fields.
std::string line27(const std::string& name, const std::string& owner, const std::string& age)
{
    std::string l = name + "\t" + owner + "\t\t" + age + "\t1000\t50";
    for (int f = 7; f <= 27; ++f)
        l += f == 21   ? "\t1g"
             : f == 22 ? "\t0\xB0"
                         "C"
             : f == 23 ? "\t50mR"
                       : "\t0";
    return l + "\r\n";
}

// What the window's loader makes of the crafted game, and the report's table of it: name ->
// (owner, report age) from each.
using Seen = std::map<std::string, std::pair<std::string, std::string>>;
Seen loaderView(const std::string& folder, Diagnostics& diags)
{
    Map planets;
    LoadPlanets(planets, Game{folder, "game", playerNumberOf(1)}, diags);
    Seen seen;
    for (const auto& p : planets)
        seen[p->PlanetName] = {p->Owner, std::to_string(p->ReportAge)};
    return seen;
}
Seen reportView(const std::string& folder, std::string* err = nullptr)
{
    RunResult r = run({"--folder", folder, "--player", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    if (err) *err = r.err;
    Seen seen;
    std::istringstream in(r.out);
    std::string line;
    std::getline(in, line); // heading
    while (std::getline(in, line)) {
        std::vector<std::string> c;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            c.push_back(cell);
        if (c.size() >= 6) seen[c[1]] = {c[4], c[5]};
    }
    return seen;
}

} // namespace

TEST(ReportAndLoader, DuplicatesLetterCaseAndBlanksAgree)
{
    test::ScratchFolder dir;
    // Š, Œ, Ž, Ÿ on the map; their small letters in the report. "Trail " ends in a blank, and the
    // report line without it names no planet. Dup is reported twice: the later line stands.
    craftGame(dir,
              "1\t1100\t2900\t\x8A"
              "ar\r\n2\t1200\t2900\tTrail \r\n3\t1300\t2900\t\x8C"
              "il\r\n"
              "4\t1400\t2900\t\x8E"
              "el\r\n5\t1500\t2900\t\x9F\r\n6\t1600\t2900\tDup\r\n",
              line27("\x9A"
                     "ar",
                     "Humanoid", "2") +
                  line27("Trail ", "Insectoid", "1") +
                  line27("\x9C"
                         "il",
                         "Humanoid", "3") +
                  line27("\x9E"
                         "el",
                         "Humanoid", "4") +
                  line27("\xFF", "Humanoid", "5") + line27("Dup", "Humanoid", "7") + line27("Dup", "Insectoid", "6") +
                  line27("Trail", "Humanoid", "0"));
    Diagnostics diags;
    const Seen loaded = loaderView(dir.folder(), diags);
    const Seen expected = {{"Šar", {"Humanoid", "2"}}, {"Trail ", {"Insectoid", "1"}}, {"Œil", {"Humanoid", "3"}},
                           {"Žel", {"Humanoid", "4"}}, {"Ÿ", {"Humanoid", "5"}},       {"Dup", {"Insectoid", "6"}}};
    EXPECT_EQ(loaded, expected);
    ASSERT_EQ(diags.size(), 1u);
    EXPECT_EQ(diags[0].line, 9);
    EXPECT_NE(diags[0].reason.find("\"Trail\" is not in the map file"), std::string::npos);
    std::string err;
    EXPECT_EQ(reportView(dir.folder(), &err), expected);
    EXPECT_NE(err.find(diags[0].text()), std::string::npos) << err;
}

TEST(ReportAndLoader, ExportRecordsOfNegativeAgeAreIgnored)
{
    // -1 means never reported: as an age it would beat every real report.
    test::ScratchFolder dir;
    craftGame(dir, "1\t1100\t2900\tAlpha\r\n2\t1200\t2900\tBeta\r\n3\t1300\t2900\tGamma\r\n",
              line27("Alpha", "Humanoid", "3") + line27("Gamma", "Humanoid", "4"));
    dir.write("export.p2", "\"Alpha\",\"Insectoid\",-1,9,9,9,\"\",\"1\",\"0\",\"50\"\r\n"
                           "\"Beta\",\"Insectoid\",-32768,9,9,9,\"\",\"1\",\"0\",\"50\"\r\n"
                           "\"Gamma\",\"Insectoid\",2,9,9,9,\"\",\"1\",\"0\",\"50\"\r\n");
    Diagnostics diags;
    const Seen loaded = loaderView(dir.folder(), diags);
    const Seen expected = {
        {"Alpha", {"Humanoid", "3"}}, {"Beta", {"Uninhabited", "-1"}}, {"Gamma", {"Insectoid", "2"}}};
    EXPECT_EQ(loaded, expected);
    ASSERT_EQ(diags.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(diags[i].line, static_cast<int64_t>(i) + 1);
        EXPECT_NE(diags[i].reason.find("negative"), std::string::npos) << diags[i].reason;
    }
    EXPECT_EQ(reportView(dir.folder()), expected);
}

TEST(ReportRun, RequiredFileThatCannotBeReadGivesStatusTwoAndNoTable)
{
    struct Case {
        const char* file;
        std::function<void(const test::ScratchFolder&)> spoil;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"game.p1", [](const auto& d) { std::filesystem::remove(d.path("game.p1")); }, "file not found"},
        {"game.map",
         [](const auto& d) {
             std::filesystem::remove(d.path("game.map"));
             std::filesystem::create_directory(d.path("game.map"));
         },
         "is a folder"},
        {"game.map", [](const auto& d) { d.write("game.map", std::string("\xFF\xFE#\0\t\0X\0\r\0\n\0", 12)); },
         "game.map is UTF-16 text; save it as Windows-1252"},
        {"game.map", [](const auto& d) { d.write("game.map", "#\tX\tY\tName\r\n"); }, "the map file gives no planet"},
        {"game.p1", [](const auto& d) { d.write("game.p1", "heading\r\n"); }, "the planets report lists no planet"},
        {"game.p1", [](const auto& d) { d.write("game.p1", ""); }, "the planets report lists no planet"},
        {"game.p1", [](const auto& d) { d.write("game.p1", "heading\r\nNowhere\tx\r\n"); },
         "no line of the planets report could be read"},
        {"game.p1", [](const auto& d) { d.write("game.p1", std::string("\xFF\xFEh\0\r\0\n\0", 8)); },
         "game.p1 is UTF-16 text"},
#ifndef _WIN32
        {"gravity.csv",
         [](const auto& d) {
             std::filesystem::remove(d.path("gravity.csv"));
             ASSERT_EQ(::mkfifo(d.path("gravity.csv").c_str(), 0600), 0);
         },
         "not a regular file"},
#endif
    };
    for (const Case& c : cases) {
        test::ScratchFolder dir;
        craftGame(dir, "1\t1100\t2900\tAlpha\r\n", line27("Alpha", "Humanoid", "3"));
        c.spoil(dir);
        RunResult r = run({"--folder", dir.folder(), "--player", "1"});
        EXPECT_EQ(r.status, 2) << c.file;
        EXPECT_TRUE(r.out.empty()) << c.file;
        EXPECT_NE(r.err.find(dir.path(c.file) + ": " + c.reason), std::string::npos) << r.err;
    }
    // The program itself says so in its exit status.
    test::ScratchFolder dir;
    craftGame(dir, "1\t1100\t2900\tAlpha\r\n", "");
    std::filesystem::remove(dir.path("game.p1"));
    RunResult r = runExe({"--folder", dir.folder(), "--player", "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("game.p1: file not found"), std::string::npos) << r.err;
}

TEST(ReportOptions, ParsingAndUsageErrors)
{
    std::string error;
    auto o = parseArguments({"--folder", "d", "--player=3", "--sort", "distance", "--from", "Alpha", "--format", "json",
                             "--reported", "--owner", "Humanoid"},
                            &error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->player, 3);
    // The report's suffix is the number as given.
    auto padded = parseArguments({"--folder", "d", "--player", " 04"}, &error);
    ASSERT_TRUE(padded) << error;
    EXPECT_EQ(padded->player, 4);
    EXPECT_EQ(padded->playerText, "04");
    EXPECT_EQ(o->game, "game");
    EXPECT_EQ(o->sort, SortKey::Distance);
    EXPECT_EQ(o->format, Format::Json);
    EXPECT_TRUE(o->reportedOnly);
    EXPECT_EQ(o->owner, std::optional<std::string>("Humanoid"));
    EXPECT_FALSE(o->nearOwn);
    o = parseArguments({"--folder", "d", "--player", "1", "--near-own", "--within=0", "--sort", "nearown"}, &error);
    ASSERT_TRUE(o) << error;
    EXPECT_TRUE(o->nearOwn);
    EXPECT_EQ(o->within, std::optional<int>(0));
    EXPECT_EQ(o->sort, SortKey::NearOwn);

    const std::vector<std::vector<std::string>> bad = {
        {"--player", "1"},                                        // no folder
        {"--folder", "d"},                                        // no player
        {"--folder", "d", "--player", "x"},                       // not a number
        {"--folder", "d", "--player", "-1"},                      // the number of no player
        {"--folder", "d", "--player", "40000"},                   // beyond 16 bits
        {"--folder", "d", "--player", "1", "--sort", "size"},     // unknown key
        {"--folder", "d", "--player", "1", "--format", "xml"},    // unknown format
        {"--folder", "d", "--player", "1", "--sort", "distance"}, // distance without --from
        {"--folder", "d", "--player", "1", "--colour"},           // unknown option
        {"--folder", "d", "--player"},                            // missing value
        {"--folder", "d", "--player", "0.99999999999999999"},     // reads as 1, but no whole number
        {"--folder", "d", "--player", "2.5"},
        {"--folder", "d", "--player", "1e0"},
        {"--folder", "d", "--player", "1", "--game", "../other/evil"}, // names that leave the folder
        {"--folder", "d", "--player", "1", "--game", "sub/game"},
        {"--folder", "d", "--player", "1", "--game", "sub\\game"},
        {"--folder", "d", "--player", "1", "--game", ".."},
        {"--folder", "d", "--player", "1", "--game", ""},
        {"--folder", "d", "--player", "1", "--within", "-1"},  // no distance
        {"--folder", "d", "--player", "1", "--within", "2.5"}, // not whole
        {"--folder", "d", "--player", "1", "--near-own=yes"},  // a switch with a value
    };
    for (const auto& args : bad) {
        error.clear();
        EXPECT_FALSE(parseArguments(args, &error)) << args.back();
        EXPECT_FALSE(error.empty());
    }
}

TEST(ReportTable, SortingKeepsCollectionOrderOnTiesAndEmptyCellsLast)
{
    std::vector<Row> rows = {row(1, "beta", std::nullopt, std::nullopt, 5, -1), row(2, "Alpha", 40, 60, 9),
                             row(3, "gamma", 70, 60, 9), row(4, "delta", -5, 80, 1)};
    Options o;
    o.sort = SortKey::Hab;
    auto r = rows;
    filterAndSort(r, o);
    EXPECT_EQ((std::vector<int>{r[0].id, r[1].id, r[2].id, r[3].id}), (std::vector<int>{3, 2, 4, 1}));
    o.sort = SortKey::HabTerra;
    r = rows;
    filterAndSort(r, o);
    EXPECT_EQ((std::vector<int>{r[0].id, r[1].id, r[2].id, r[3].id}), (std::vector<int>{4, 2, 3, 1}));
    // A planet never reported has no known value: it goes last, as in the window.
    o.sort = SortKey::Value;
    r = rows;
    filterAndSort(r, o);
    EXPECT_EQ((std::vector<int>{r[0].id, r[1].id, r[2].id, r[3].id}), (std::vector<int>{2, 3, 4, 1}));
    o.sort = SortKey::Name; // letter case ignored
    r = rows;
    filterAndSort(r, o);
    EXPECT_EQ((std::vector<int>{r[0].id, r[1].id, r[2].id, r[3].id}), (std::vector<int>{2, 1, 4, 3}));
    o.sort = SortKey::Collection;
    o.reportedOnly = true;
    r = rows;
    filterAndSort(r, o);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].id, 2);
}

TEST(ReportTable, FormatsQuoteAndEscapeTexts)
{
    std::vector<Row> rows = {row(1, "Tab\there, \"quoted\"\nline", std::nullopt, -3)};
    std::string tsv = formatTable(rows, Format::Tsv, false);
    EXPECT_EQ(tsv, "ID\tName\tX\tY\tOwner\tReportAge\tPopulation\tValue\tHab\tHabTerra\n"
                   "1\tTab here, \"quoted\" line\t0\t0\tUninhabited\t0\t0\t0\t\t-3\n");
    std::string csv = formatTable(rows, Format::Csv, true);
    EXPECT_EQ(csv, "\xEF\xBB\xBFID,Name,X,Y,Owner,ReportAge,Population,Value,Hab,HabTerra,Distance\r\n"
                   "1,\"Tab\there, \"\"quoted\"\"\nline\",0,0,Uninhabited,0,0,0,,-3,\r\n");
    std::string json = formatTable(rows, Format::Json, false);
    EXPECT_EQ(json, "[\n  {\"ID\": 1, \"Name\": \"Tab\\there, \\\"quoted\\\"\\nline\", \"X\": 0, \"Y\": 0, "
                    "\"Owner\": \"Uninhabited\", \"ReportAge\": 0, \"Population\": 0, \"Value\": 0, "
                    "\"Hab\": null, \"HabTerra\": -3}\n]\n");
    EXPECT_EQ(formatTable({}, Format::Json, false), "[]\n");
}

TEST(ReportProgram, PrintsTheFixtureTableWithDiagnosticsOnStandardError)
{
    RunResult r = runExe({"--folder", kFixture, "--player", "1"});
    EXPECT_EQ(r.status, 0);
    // Alpha: gravity 5 of 15, the rest centred -> 91; terraforming 10 clicks of gravity -> 100.
    // Beta: gravity 25 against 15 and radiation 30 against 20 -> -20; after terraforming -10.
    // Gamma: gravity 0.75 has no table row -> 0 both. Delta: never reported. Façade: gravity
    // 15 of 15 -> 41, 5 of 15 after terraforming -> 91. Epsilon: the export file gave it a
    // gravity that is not a number.
    EXPECT_EQ(r.out, "ID\tName\tX\tY\tOwner\tReportAge\tPopulation\tValue\tHab\tHabTerra\n"
                     "1\tAlpha\t100\t100\tHumanoid\t0\t25000\t80\t91\t100\n"
                     "2\tBeta\t400\t500\tUninhabited\t2\t0\t30\t-20\t-10\n"
                     "3\tGamma\t100\t200\tInsectoid\t1\t5000\t50\t0\t0\n"
                     "4\tDelta\t500\t1000\tUninhabited\t-1\t0\t0\t\t\n"
                     "5\tFa\xC3\xA7"
                     "ade\t200\t100\tHumanoid\t4\t800\t60\t41\t91\n"
                     "6\tEpsilon\t0\t0\tHumanoid\t3\t700\t20\t\t\n");
    EXPECT_NE(r.err.find("game.map:8: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("game.p1:5: "), std::string::npos) << r.err;
}

TEST(ReportProgram, WarnsWhenPlayerNHasNoRace)
{
    // Without player.inf, player 1 has no race: the ratings are the 0 the panel would show, and
    // standard error says why.
    const auto copy = std::filesystem::temp_directory_path() / ("vornex-norace-" + std::to_string(::getpid()));
    std::filesystem::remove_all(copy);
    std::filesystem::copy(kFixture, copy);
    std::filesystem::remove(copy / "player.inf");
    RunResult r = runExe({"--folder", copy.string(), "--player", "1", "--reported"});
    std::filesystem::remove_all(copy);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning: player 1 has no race in player.inf"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("1\tAlpha\t100\t100\tHumanoid\t0\t25000\t80\t0\t0\n"), std::string::npos) << r.out;
    RunResult own = runExe({"--folder", kFixture, "--player", "1"});
    EXPECT_EQ(own.err.find("warning"), std::string::npos) << own.err;
}

TEST(ReportProgram, FiltersSortsAndMeasures)
{
    RunResult r = runExe({"--folder", kFixture + "/", "--player", "1", "--from", "Alpha", "--sort", "distance",
                          "--reported", "--format", "csv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\xEF\xBB\xBFID,Name,X,Y,Owner,ReportAge,Population,Value,Hab,HabTerra,Distance\r\n"
                     "1,Alpha,100,100,Humanoid,0,25000,80,91,100,0\r\n"
                     "3,Gamma,100,200,Insectoid,1,5000,50,0,0,100\r\n"
                     "5,Fa\xC3\xA7"
                     "ade,200,100,Humanoid,4,800,60,41,91,100\r\n"
                     "6,Epsilon,0,0,Humanoid,3,700,20,,,141\r\n"
                     "2,Beta,400,500,Uninhabited,2,0,30,-20,-10,500\r\n");
    // Player 2 reads its own report, in which only Beta is Insectoid. Its race spans gravity
    // -45..20 clicks (used as -44..20: centre -12, half-width 32), so Beta's 20 is at the edge:
    // q = 1, 0.2, 0.6 -> 100 * sqrt(0.8^2 + 0 + 0.4^2) * 0.5 * 0.9 / sqrt(3) + 0.5 = 23.7.
    RunResult p2 = runExe(
        {"--folder", kFixture, "--player", "2", "--owner", "Insectoid", "--sort", "habterra", "--format", "json"});
    EXPECT_EQ(p2.status, 0);
    EXPECT_EQ(p2.out, "[\n  {\"ID\": 2, \"Name\": \"Beta\", \"X\": 400, \"Y\": 500, \"Owner\": \"Insectoid\", "
                      "\"ReportAge\": 0, \"Population\": 9000, \"Value\": 70, \"Hab\": 24, \"HabTerra\": 24}\n]\n");
}

TEST(ReportProgram, ListsTheNearestOwnWorldAndKeepsThoseWithinReach)
{
    // Player 1's race is Humanoid: Alpha (100, 100), Fa\xC3\xA7ade (200, 100) and Epsilon (0, 0) are its
    // worlds. Beta (400, 500) is sqrt(200^2 + 400^2) = 447.2 from Fa\xC3\xA7ade, 500 from Alpha; Delta
    // (500, 1000) is 948.7 from Fa\xC3\xA7ade, beyond 500.
    RunResult r = runExe({"--folder", kFixture, "--player", "1", "--near-own", "--within", "500", "--sort", "nearown"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ID\tName\tX\tY\tOwner\tReportAge\tPopulation\tValue\tHab\tHabTerra\tNearOwn\tNearOwnName\n"
                     "1\tAlpha\t100\t100\tHumanoid\t0\t25000\t80\t91\t100\t0\tAlpha\n"
                     "5\tFa\xC3\xA7"
                     "ade\t200\t100\tHumanoid\t4\t800\t60\t41\t91\t0\tFa\xC3\xA7"
                     "ade\n"
                     "6\tEpsilon\t0\t0\tHumanoid\t3\t700\t20\t\t\t0\tEpsilon\n"
                     "3\tGamma\t100\t200\tInsectoid\t1\t5000\t50\t0\t0\t100\tAlpha\n"
                     "2\tBeta\t400\t500\tUninhabited\t2\t0\t30\t-20\t-10\t447\tFa\xC3\xA7"
                     "ade\n");
    // --within alone filters without adding the columns.
    RunResult within = run({"--folder", kFixture, "--player", "1", "--within", "100", "--format", "csv"});
    EXPECT_EQ(within.status, 0);
    EXPECT_EQ(within.out.find("NearOwn"), std::string::npos);
    EXPECT_EQ(std::count(within.out.begin(), within.out.end(), '\n'), 5) << within.out;
}

TEST(ReportProgram, UsageErrorsExitTwoWithNothingOnStandardOutput)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--folder", kFixture + "/missing", "--player", "1"},   // no such folder
        {"--folder", kFixture, "--player", "3"},                // no report game.p3
        {"--folder", kFixture, "--player", "1", "--game", "x"}, // no x.map
        {"--folder", kFixture, "--player", "1", "--from", "Nowhere"},
        {"--folder", kFixture, "--player", "1", "--bogus"},
    };
    for (const auto& args : cases) {
        RunResult r = runExe(args);
        EXPECT_EQ(r.status, 2) << args[3];
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    RunResult help = runExe({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--sort KEY"), std::string::npos);
}
