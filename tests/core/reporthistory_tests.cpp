// vornexinfo-report's history commands: recording the folder's turn, the changes and a planet's
// turns, in process and as two programs recording the same game at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "history/gamehistory.h"
#include "reporttable.h"
#include "support/reportcommand.h"
#include "support/scratchfolder.h"

namespace vornex::report {
namespace {

using test::ScratchFolder;

// The demo galaxy's planets report a year later: every report one year older, and the planet on
// line `grown` of the report 30000 colonists larger.
std::string aYearLater(const std::string& report, size_t grown)
{
    std::string out;
    size_t start = 0, line = 0;
    while (start < report.size()) {
        size_t end = report.find("\r\n", start);
        if (end == std::string::npos) end = report.size();
        std::string l = report.substr(start, end - start);
        if (line > 0 && !l.empty()) {
            std::vector<std::string> f;
            for (size_t a = 0, b; a <= l.size(); a = b + 1) {
                b = l.find('\t', a);
                if (b == std::string::npos) b = l.size();
                f.push_back(l.substr(a, b - a));
            }
            f[3] = std::to_string(std::stoi(f[3]) + 1);
            if (line == grown) f[4] = std::to_string(std::stoi(f[4]) + 30000);
            l = f[0];
            for (size_t k = 1; k < f.size(); ++k)
                l += "\t" + f[k];
        }
        out += l + (end < report.size() ? "\r\n" : "");
        start = end + 2;
        ++line;
    }
    return out;
}

struct Game {
    ScratchFolder dir;
    Game()
    {
        for (const char* f : {"game.map", "game.p1", "gravity.csv", "player.inf", "export.p2"})
            dir.copyFrom(std::string(VORNEX_DEMO_DIR) + f, f);
    }
    std::vector<std::string> args(std::vector<std::string> more) const
    {
        std::vector<std::string> a = {"--folder", dir.folder(),       "--player",
                                      "1",        "--history-folder", dir.path("history")};
        a.insert(a.end(), more.begin(), more.end());
        return a;
    }
    void nextYear(size_t grown) const { dir.write("game.p1", aYearLater(dir.read("game.p1"), grown)); }
};

TEST(ReportHistory, RecordsTurnsAndPrintsChangesAndAPlanetsTurns)
{
    Game g;
    auto first = run(g.args({"--record"}));
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "turn 1 recorded: 150 planets changed (the first turn recorded)\n");
    EXPECT_EQ(run(g.args({"--record"})).out, "turn 1 is recorded already: nothing changed\n");

    g.nextYear(8); // Solmor, line 8 of the report
    auto second = run(g.args({"--record", "--changes"}));
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.err.find("turn 2 recorded: "), std::string::npos) << second.err;
    EXPECT_NE(second.err.find("aged by 1 year since turn 1"), std::string::npos) << second.err;
    // Vexqueljun: the report and export.p2 were both of this turn; a year on the export is the newer.
    EXPECT_EQ(second.out, "ID\tName\tChange\tFrom\tTo\tText\n"
                          "10\tSolmor\tpopulation\t49600\t79600\tSolmor: population 49600 to 79600 (+30000)\n"
                          "120\tVexqueljun\tpopulation\t43000\t13900\tVexqueljun: population 43000 to 13900 (-29100)\n"
                          "120\tVexqueljun\tdefences\t19\t4\tVexqueljun: defences 19% to 4% (-15)\n");

    auto json = run(g.args({"--changes", "--since", "1", "--format", "json"}));
    const std::string firstRow = "[\n  {\"ID\": 10, \"Name\": \"Solmor\", \"Change\": \"population\", \"From\": "
                                 "\"49600\", \"To\": \"79600\", \"Text\": \"Solmor: population 49600 to 79600 "
                                 "(+30000)\"},\n";
    EXPECT_EQ(json.out.substr(0, firstRow.size()), firstRow);

    auto history = run(g.args({"--history", "Solmor", "--format", "csv"}));
    EXPECT_EQ(history.status, 0) << history.err;
    EXPECT_EQ(history.out,
              "\xEF\xBB\xBFTurn,ReportAge,Owner,Population,Value,Defences,Starbase,Mines,Factories,Ironium,Boranium,"
              "Germanium,Grav,Temp,Rad,Source,Changed\r\n"
              "1,0,Hollow Choir,49600,88,49,,47,69,329,2522,1304,0.47,68,89,report,yes\r\n"
              "2,1,Hollow Choir,79600,88,49,,47,69,329,2522,1304,0.47,68,89,report,yes\r\n");

    // A backup of turn 1 recorded after turn 2: refused, and said so in the exit status.
    Game backup;
    auto older =
        run({"--folder", backup.dir.folder(), "--player", "1", "--record", "--history-folder", g.dir.path("history")});
    EXPECT_EQ(older.status, 1);
    EXPECT_NE(older.out.find("nothing recorded: these reports are older than turn 2"), std::string::npos) << older.out;

    struct Bad {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Bad bad[] = {
        {{"--since", "1"}, 2, "--since goes with --changes"},
        {{"--history", "Nowhere"}, 2, "no planet named Nowhere"},
        {{"--record=yes"}, 2, "--record takes no value"},
    };
    for (const auto& b : bad) {
        auto r = run(g.args(b.args));
        EXPECT_EQ(r.status, b.status) << b.says;
        EXPECT_NE(r.err.find(b.says), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// Runs the real program; arguments in single quotes (double quotes for the Windows shell).
int runProgram(const std::vector<std::string>& args, const std::string& out)
{
    const std::string q = test::shellQuote();
    std::string cmd = test::reportCommand(args);
    cmd += " >" + q + out + q + " 2>&1";
#ifdef _WIN32
    cmd = "\"" + cmd + "\"";
#endif
    return std::system(cmd.c_str());
}

TEST(ReportHistory, TwoProgramsRecordingTheSameTurnAtOnce)
{
    Game g;
    for (int turn = 1; turn <= 3; ++turn) {
        SCOPED_TRACE(turn);
        if (turn > 1) g.nextYear(static_cast<size_t>(turn));
        int status[2] = {-1, -1};
        std::thread a([&] { status[0] = runProgram(g.args({"--record"}), g.dir.path("a.txt")); });
        std::thread b([&] { status[1] = runProgram(g.args({"--record"}), g.dir.path("b.txt")); });
        a.join();
        b.join();
        EXPECT_EQ(status[0], 0) << g.dir.read("a.txt");
        EXPECT_EQ(status[1], 0) << g.dir.read("b.txt");
        const std::string both = g.dir.read("a.txt") + g.dir.read("b.txt");
        const std::string recorded = "turn " + std::to_string(turn) + " recorded";
        const std::string already = "turn " + std::to_string(turn) + " is recorded already";
        // One recorded the turn, the other found it there.
        EXPECT_NE(both.find(recorded), std::string::npos) << both;
        EXPECT_NE(both.find(already), std::string::npos) << both;
    }
}

} // namespace
} // namespace vornex::report
