#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "io/planetloader.h"
#include "io/tables.h"
#include "support/fakes.h"
#include "support/scratchfolder.h"

using namespace vornex;

namespace {
const std::string kFixtures = std::string(VORNEX_TEST_DATA_DIR) + "win1252/";

using test::FakeSettings;
using test::ScriptedPrompter;

bool mentions(const Diagnostics& diags, int64_t line, const std::string& part)
{
    for (const auto& d : diags)
        if (d.line == line && d.reason.find(part) != std::string::npos) return true;
    return false;
}

std::string allText(const Diagnostics& diags)
{
    std::string s;
    for (const auto& d : diags)
        s += d.text() + "\n";
    return s;
}

const std::string kMapHead = "#\tX\tY\tName\r\n";
std::string reportLine(const std::string& name, const std::string& age = "1", const std::string& tail = "")
{
    std::string s = name + "\tOwner\tBase\t" + age + "\t100\t50\tQ";
    for (int f = 8; f <= 20; ++f)
        s += "\t" + std::to_string(f);
    s += "\t1g\t20\xB0"
         "C\t30mR\t1g\t20\xB0"
         "C\t30mR\t5" +
         tail;
    return s + "\r\n";
}
const std::string kReportHead = "heading\r\n";
std::string emptyOwner(std::string line)
{
    return line.replace(line.find("\tOwner\t"), 7, "\t\t");
}
} // namespace

TEST(PlanetFields, LeadingValue)
{
    EXPECT_EQ(LeadingValue("45"), 45);
    EXPECT_EQ(LeadingValue("12abc"), 12);
    EXPECT_EQ(LeadingValue(""), 0);
    EXPECT_EQ(LeadingValue("-7"), -7);
    EXPECT_EQ(LeadingValue("abc"), 0);
    EXPECT_EQ(LeadingValue(" 1 2\t3"), 123); // blanks and tabs are skipped wherever they stand
    EXPECT_EQ(LeadingValue("- 2.5x"), -2.5);
    EXPECT_EQ(LeadingValue("1.5.6"), 1.5);
    EXPECT_EQ(LeadingValue(".5"), 0.5);
    EXPECT_EQ(LeadingValue("+3"), 3);
    EXPECT_EQ(LeadingValue("1e3"), 1000);
    EXPECT_EQ(LeadingValue("2E-1kg"), 0.2);
    EXPECT_EQ(LeadingValue("3e"), 3); // an exponent without digits is not part of the number
    EXPECT_EQ(LeadingValue("3ex"), 3);
    EXPECT_EQ(LeadingValue("."), 0);
    EXPECT_EQ(LeadingValue("-"), 0);
    EXPECT_TRUE(std::isinf(LeadingValue("1e999")));
    EXPECT_EQ(LeadingValue("1e-999"), 0);
}

TEST(PlanetFields, NextFieldNameFieldAndUnitValue)
{
    std::string line = "45%\tname%%\t\tlast\t";
    EXPECT_EQ(NextField(line), "45");
    EXPECT_EQ(NextField(line), "name%"); // one "%" only
    EXPECT_EQ(NextField(line), "");
    EXPECT_EQ(line, "last\t");
    std::string noTab = "rest";
    EXPECT_EQ(NextField(noTab), "rest");
    EXPECT_EQ(noTab, "");
    std::string mapLine = "1\t1234\t1500\tAlpha\t";
    EXPECT_EQ(NameField(mapLine), "Alpha");
    EXPECT_EQ(mapLine, "1\t1234\t1500\tAlpha\t");

    EXPECT_EQ(UnitValue("1.25g", 1), 1.25);
    EXPECT_EQ(UnitValue("-120°C", 2), -120); // the degree sign is one character
    EXPECT_EQ(UnitValue("45mR", 2), 45);
    EXPECT_EQ(UnitValue("", 2), 0);
    EXPECT_FALSE(UnitValue("°C", 2)); // nothing before the unit
    EXPECT_FALSE(UnitValue("C", 2));  // shorter than the unit
    EXPECT_FALSE(UnitValue("abcmR", 2));
    EXPECT_FALSE(UnitValue("12xmR", 2));
}

TEST(LoadPlanets, WindowsFixture)
{
    test::ScratchFolder dir;
    for (auto f : {"game.map", "game.p4", "gravity.csv", "player.inf", "export.p2"})
        dir.copyFrom(kFixtures + f, f);
    Map planets;
    Diagnostics diags;
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(4)}, diags);
    EXPECT_TRUE(diags.empty()) << allText(diags);
    ASSERT_EQ(planets.Count(), 6);

    auto alpha = planets.Item(1);
    EXPECT_EQ(alpha->ID, 1);
    EXPECT_EQ(alpha->Xcord, 234);
    EXPECT_EQ(alpha->Ycord, 1500);
    EXPECT_EQ(alpha->PlanetName, "Alpha");
    EXPECT_EQ(alpha->Owner, "Vornexi");
    EXPECT_EQ(alpha->StarbaseType, "Orbital Fort");
    EXPECT_EQ(alpha->ReportAge, 3);
    EXPECT_EQ(alpha->Population, 25000);
    EXPECT_EQ(alpha->Value, 45);
    EXPECT_EQ(alpha->ProductionQueue, "Auto Factories");
    EXPECT_EQ(alpha->Mines, 120);
    EXPECT_EQ(alpha->Factories, 80);
    EXPECT_EQ(alpha->Def, 40);
    EXPECT_EQ(alpha->SurfaceIron, 1000);
    EXPECT_EQ(alpha->SurfaceBora, 2000);
    EXPECT_EQ(alpha->SurfaceGerm, 3000);
    EXPECT_EQ(alpha->RateIron, 10);
    EXPECT_EQ(alpha->RateBora, 20);
    EXPECT_EQ(alpha->RateGerm, 30);
    EXPECT_EQ(alpha->ConcentrationIron, 50);
    EXPECT_EQ(alpha->ConcentrationBora, 60);
    EXPECT_EQ(alpha->ConcentrationGerm, 70);
    EXPECT_EQ(alpha->Resources, 300);
    EXPECT_EQ(alpha->Grav, "1.25");
    EXPECT_EQ(alpha->Temp, "-120");
    EXPECT_EQ(alpha->Rad, "45");
    EXPECT_EQ(alpha->GravOrig, "1.5g");
    EXPECT_EQ(alpha->TempOrig, "-110°C");
    EXPECT_EQ(alpha->RadOrig, "40mR");
    EXPECT_EQ(alpha->Terra, 12);
    EXPECT_EQ(alpha->Capacity, 0); // 27-field line: the optional group stays empty
    EXPECT_EQ(alpha->Route, "");
    EXPECT_EQ(alpha->PacketDamage, 0);

    auto beta = planets.Item("beta"); // "Beta%" lost its "%"
    EXPECT_EQ(beta->Xcord, 2);        // 1002.5 - 1000 = 2.5 -> 2
    EXPECT_EQ(beta->Ycord, 1000);     // 3000 - 2000.5 = 999.5 -> 1000
    // Never reported by game.p4; export.p2 brings the Kethari report.
    EXPECT_EQ(beta->Owner, "Kethari");
    EXPECT_EQ(beta->ReportAge, 0);
    EXPECT_EQ(beta->Population, 37000);
    EXPECT_EQ(beta->Grav, "0.35");
    EXPECT_EQ(beta->Temp, "112");

    auto cafe = planets.Item("CAFÉ NOIR");
    EXPECT_EQ(cafe->PlanetName, "Café Noir");
    EXPECT_EQ(cafe->Owner, "Uninhabited"); // empty owner, yet reported
    EXPECT_EQ(cafe->ReportAge, 2);
    EXPECT_EQ(cafe->Value, -12);
    EXPECT_EQ(cafe->Grav, "0.5");
    EXPECT_EQ(cafe->Temp, "44");
    EXPECT_EQ(cafe->Rad, "0");
    EXPECT_EQ(cafe->Capacity, 50);
    EXPECT_EQ(cafe->Route, "Helion");
    EXPECT_EQ(cafe->PacketDamage, 12);

    auto zurich = planets.Item(4);
    EXPECT_EQ(zurich->PlanetName, "Zürich"); // the report's "ZÜRICH" names the same planet
    EXPECT_EQ(zurich->Owner, "Ülvari");
    EXPECT_EQ(zurich->Grav, "0"); // empty gravity field
    EXPECT_EQ(zurich->Temp, "200");

    EXPECT_EQ(planets.Item(5)->PlanetName, "Œdipa"); // fifth column ignored
    EXPECT_EQ(planets.Item(5)->ReportAge, -1);
    EXPECT_EQ(planets.Item(5)->Owner, "Uninhabited");

    // Alpha's own report (age 3) is newer than export.p2's age 5; Gamma had none, so age 1 wins.
    EXPECT_EQ(alpha->Owner, "Vornexi");
    EXPECT_EQ(planets.Item("Gamma")->ReportAge, 1);
    EXPECT_EQ(planets.Item("Gamma")->Temp, "-20");
}

TEST(LoadPlanets, MalformedMapLinesAreRejectedOneByOne)
{
    test::ScratchFolder dir;
    dir.write("game.map", kMapHead +
                              "1\t1100\t2900\tAlpha\r\n"   // 2 fine
                              "2\t1100\tBeta\r\n"          // 3 three fields
                              "x\t1100\t2900\tGamma\r\n"   // 4 id not a number
                              "4\t11a0\t2900\tDelta\r\n"   // 5 x not a number
                              "5\t1100\t\tEpsilon\r\n"     // 6 y empty
                              "6\t40000\t2900\tZeta\r\n"   // 7 x - 1000 beyond 16 bits
                              "7\t1100\t2900\tALPHA\r\n"   // 8 duplicate name
                              "1\t1100\t2900\tEta\r\n"     // 9 duplicate id
                              "\r\n"                       // 10 empty
                              "99999\t1\t1\tTheta\r\n"     // 11 id beyond 16 bits
                              " 12\t1200\t2800\tIota \r\n" // 12 fine: leading blanks skipped, the name keeps its last
                              "\r\n");                     // a trailing empty line is no record
    dir.write("game.p1", kReportHead);
    Map planets;
    Diagnostics diags;
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(1)}, diags);
    ASSERT_EQ(planets.Count(), 2) << allText(diags);
    EXPECT_EQ(planets.Item(1)->PlanetName, "Alpha");
    EXPECT_EQ(planets.Item(2)->PlanetName, "Iota ");
    EXPECT_EQ(planets.Item(2)->ID, 12);
    EXPECT_EQ(planets.ByID(12), planets.Item(2));
    EXPECT_EQ(diags.size(), 9u) << allText(diags);
    EXPECT_TRUE(mentions(diags, 3, "at least 4"));
    EXPECT_TRUE(mentions(diags, 4, "planet number"));
    EXPECT_TRUE(mentions(diags, 5, "x \"11a0\""));
    EXPECT_TRUE(mentions(diags, 6, "y \"\""));
    EXPECT_TRUE(mentions(diags, 7, "40000"));
    EXPECT_TRUE(mentions(diags, 8, "twice"));
    EXPECT_TRUE(mentions(diags, 9, "planet number 1 is listed twice"));
    EXPECT_TRUE(mentions(diags, 10, "empty"));
    EXPECT_TRUE(mentions(diags, 11, "99999"));
    EXPECT_EQ(diags[0].file, dir.path("game.map"));
}

TEST(LoadPlanets, MalformedReportLinesAreRejectedWhole)
{
    test::ScratchFolder dir;
    dir.write("game.map", kMapHead + "1\t1100\t2900\tAlpha\r\n2\t1200\t2800\tBeta\r\n3\t1300\t2700\tGamma\r\n"
                                     "4\t1400\t2600\tDelta\r\n5\t1500\t2500\tEps\r\n");
    std::string optional9 = "\t1\t2\t3\t4\t5\tRoute\t7\t8\t9";
    dir.write("game.p1", kReportHead + reportLine("Alpha", "40000") +          // 2 age beyond 16 bits
                             reportLine("Beta", "1", "\t1\t2") +               // 3 29 fields
                             reportLine("Nowhere") +                           // 4 not on the map
                             "Gamma\tshort\r\n" +                              // 5 2 fields
                             reportLine("Delta", "2", optional9 + "\textra") + // 6 fine, 37 fields
                             emptyOwner(reportLine("delta", "0")) +            // 7 again: this line stands
                             "\r\n" +                                          // 8 empty
                             reportLine("Eps", "1", optional9).replace(reportLine("Eps").find("1g"), 2, "1kg") + "");
    Map planets;
    Diagnostics diags;
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(1)}, diags);
    ASSERT_EQ(planets.Count(), 5);
    EXPECT_EQ(diags.size(), 6u) << allText(diags);
    EXPECT_TRUE(mentions(diags, 2, "field 4 (report age)"));
    EXPECT_TRUE(mentions(diags, 3, "found 29"));
    EXPECT_TRUE(mentions(diags, 4, "not in the map file"));
    EXPECT_TRUE(mentions(diags, 5, "found 2"));
    EXPECT_TRUE(mentions(diags, 8, "empty"));
    EXPECT_TRUE(mentions(diags, 9, "field 21 (gravity)"));
    // Rejected lines leave their planets exactly as the map file made them.
    for (const char* name : {"Alpha", "Beta", "Gamma", "Eps"}) {
        auto p = planets.Item(name);
        EXPECT_EQ(p->ReportAge, -1) << name;
        EXPECT_EQ(p->Owner, "Uninhabited") << name;
        EXPECT_EQ(p->Population, 0) << name;
        EXPECT_EQ(p->Mines, 0) << name;
    }
    auto delta = planets.Item("Delta");
    EXPECT_EQ(delta->ReportAge, 0);         // the later line; its 27 fields leave the optional group
    EXPECT_EQ(delta->Owner, "Uninhabited"); // its empty owner too: the earlier "Owner" is gone
    EXPECT_EQ(delta->Capacity, 1);
    EXPECT_EQ(delta->Route, "Route");
    EXPECT_EQ(delta->PacketDamage, 9);
    EXPECT_EQ(delta->Mines, 8);
    EXPECT_EQ(delta->Resources, 20);
}

TEST(LoadPlanets, NumbersRoundHalfToEvenAndOverflowRejects)
{
    test::ScratchFolder dir;
    dir.write("game.map", kMapHead + "1\t1100\t2900\tAlpha\r\n2\t1100\t2800\tBeta\r\n");
    std::string a = reportLine("Alpha");
    a.replace(a.find("\t8\t"), 3, "\t2.5\t");  // mines 2.5 -> 2
    a.replace(a.find("\t9\t"), 3, "\t3.5%\t"); // factories 3.5 -> 4
    std::string b = reportLine("Beta");
    b.replace(b.find("\t100\t"), 5, "\t3000000000\t"); // population beyond 32 bits
    dir.write("game.p1", kReportHead + a + b);
    Map planets;
    Diagnostics diags;
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(1)}, diags);
    EXPECT_EQ(planets.Item("Alpha")->Mines, 2);
    EXPECT_EQ(planets.Item("Alpha")->Factories, 4);
    ASSERT_EQ(diags.size(), 1u);
    EXPECT_TRUE(mentions(diags, 3, "population"));
    EXPECT_EQ(planets.Item("Beta")->ReportAge, -1);
}

TEST(LoadPlanets, ReadsTheReportThePlayerNumberNamesAsGiven)
{
    test::ScratchFolder dir;
    dir.write("game.map", kMapHead + "1\t1100\t2900\tAlpha\r\n");
    dir.write("game.p4", kReportHead + reportLine("Alpha", "4"));
    dir.write("game.p04", kReportHead + reportLine("Alpha", "40"));
    for (auto [suffix, age] : {std::pair{"4", 4}, std::pair{"04", 40}}) {
        Map planets;
        Diagnostics diags;
        LoadPlanets(planets, Game{dir.folder(), "game", PlayerNumber{suffix, 4}}, diags);
        EXPECT_EQ(planets.Item(1)->ReportAge, age) << suffix;
        EXPECT_TRUE(diags.empty()) << allText(diags);
    }
    // A report that is not there is a diagnostic, the map still loads.
    Map planets;
    Diagnostics d;
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(9)}, d);
    EXPECT_EQ(planets.Count(), 1);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].file, dir.path("game.p9"));
    EXPECT_EQ(d[0].line, 0);
    EXPECT_EQ(d[0].reason, "file not found \xE2\x80\x94 the map shows the map file and the export files only");
    EXPECT_EQ(d[0].cause(), "file not found");
}

TEST(MergeExport, OnlyStrictlyMoreRecentRecordsReplace)
{
    Map planets;
    auto held = planets.Add("Held");
    held->ReportAge = 3;
    held->Owner = "Vornexi";
    held->Mines = 11;
    held->Capacity = 5;
    auto fresh = planets.Add("Fresh");
    fresh->ReportAge = -1;
    fresh->Owner = "Uninhabited";
    Diagnostics diags;
    MergeExportFile(planets,
                    "\"Held\",\"Kethari\",3,1,1,1,\"\",\"1\",\"1\",\"1\"\r\n"             // same age: ignored
                    "\"held\",\"Kethari\",0,900,77,12,\"Fort\",\"1.5\",\"-20\",\"4\"\r\n" // newer: replaces
                    "\"Held\",\"Solune\",1,2,2,2,\"\",\"2\",\"2\",\"2\"\r\n"              // older than 0 now
                    "\"Fresh\",\"Uninhabited\",7,0,-5,0,\"\",1.50,-8,33\r\n",             // unquoted numbers
                    "export.p2", diags);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(held->Owner, "Kethari");
    EXPECT_EQ(held->ReportAge, 0);
    EXPECT_EQ(held->Population, 900);
    EXPECT_EQ(held->Value, 77);
    EXPECT_EQ(held->Def, 12);
    EXPECT_EQ(held->StarbaseType, "Fort");
    EXPECT_EQ(held->Grav, "1.5");
    EXPECT_EQ(held->Temp, "-20");
    EXPECT_EQ(held->Rad, "4");
    EXPECT_EQ(held->Mines, 11); // not part of the record
    EXPECT_EQ(held->Capacity, 5);
    EXPECT_EQ(fresh->ReportAge, 7);
    EXPECT_EQ(fresh->Grav, "1.5");
    EXPECT_EQ(fresh->Temp, "-8");

    MergeExportFile(planets,
                    "\"Held\",\"X\",0,1,1,1,\"\",\"1\",\"1\"\r\n"              // 1 nine items
                    "\"Nowhere\",\"X\",0,1,1,1,\"\",\"1\",\"1\",\"1\"\r\n"     // 2 no such planet
                    "\"Fresh\",\"X\",old,1,1,1,\"\",\"1\",\"1\",\"1\"\r\n"     // 3 age not a number
                    "\"Fresh\",\"X\",0,1,40000,1,\"\",\"1\",\"1\",\"1\"\r\n"   // 4 value beyond 16 bits
                    "\r\n"                                                     // 5 empty
                    "\"Fresh\",\"Solune\",0,1,1,1,\"\",\"1\",\"1\",\"1\"\r\n", // 6 fine
                    "export.p5", diags);
    EXPECT_EQ(diags.size(), 5u) << allText(diags);
    EXPECT_TRUE(mentions(diags, 1, "expected 10 items, found 9"));
    EXPECT_TRUE(mentions(diags, 2, "not in the map file"));
    EXPECT_TRUE(mentions(diags, 3, "report age"));
    EXPECT_TRUE(mentions(diags, 4, "value"));
    EXPECT_TRUE(mentions(diags, 5, "empty"));
    EXPECT_EQ(fresh->Owner, "Solune");
    EXPECT_EQ(diags[0].file, "export.p5");
    MergeExportFile(planets, "", "export.p6", diags); // an empty file changes nothing
    EXPECT_EQ(diags.size(), 5u);
}

TEST(LoadPlanets, ExportFilesInNumberOrderLowerWinsOnEqualAge)
{
    test::ScratchFolder dir;
    dir.write("game.map", kMapHead + "1\t1100\t2900\tAlpha\r\n");
    dir.write("game.p1", kReportHead);
    dir.write("export.p12", "\"Alpha\",\"Twelve\",2,1,1,1,\"\",\"1\",\"1\",\"1\"\r\n");
    dir.write("export.p3", "\"Alpha\",\"Three\",2,1,1,1,\"\",\"1\",\"1\",\"1\"\r\n");
    // A folder or a pipe is no export file: it is named with the reason, and the rest merges.
    std::filesystem::create_directory(dir.path("export.p4"));
    std::vector<std::string> expected = {dir.path("export.p4") + ": is a folder, not a file"};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(dir.path("export.p5").c_str(), 0600), 0);
    expected.push_back(dir.path("export.p5") + ": not a regular file");
#endif
    Map planets;
    Diagnostics diags;
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(1)}, diags);
    ASSERT_EQ(diags.size(), expected.size()) << allText(diags);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(diags[i].text(), expected[i] + " \xE2\x80\x94 its records are not merged");
    EXPECT_EQ(planets.Item(1)->Owner, "Three");
}

TEST(LoadPlanets, HeadingOnlyAndMissingFiles)
{
    test::ScratchFolder dir;
    Map planets;
    planets.Add("Stale");
    Diagnostics diags;
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(1)}, diags);
    EXPECT_EQ(planets.Count(), 0); // a reload starts from scratch
    EXPECT_EQ(diags.size(), 2u);   // map file and report missing
    dir.write("game.map", kMapHead);
    dir.write("game.p1", kReportHead);
    diags.clear();
    LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(1)}, diags);
    EXPECT_EQ(planets.Count(), 0);
    EXPECT_TRUE(diags.empty());
}

// A turn is shown only when the map gives planets and the planets report gives lines; otherwise
// the refusal names the file and why. A last line without its line end tells a file still being
// written.
TEST(LoadPlanets, TurnsWithoutPlanetsOrReportLinesAreRefusedAndUnfinishedFilesNamed)
{
    const std::string map = kMapHead + "1\t1100\t2900\tAlpha\r\n2\t1100\t2800\tBeta\r\n";
    const std::string report = kReportHead + reportLine("Alpha", "2");
    struct Case {
        const char* what;
        std::optional<std::string> map, report; // nullopt: no such file
        std::string refusedFile;                // empty: the turn stands
        std::string reason;
        std::vector<std::string> unfinished;
    };
    // Two lines, the second without its line end: both still read, yet the file is unfinished.
    const std::string cut = report + reportLine("Beta", "3").substr(0, reportLine("Beta", "3").size() - 2);
    const Case cases[] = {
        {"whole", map, report, "", "", {}},
        {"map missing", std::nullopt, report, "game.map", "file not found", {}},
        {"map with headings only", kMapHead, report, "game.map", "gives no planet", {}},
        {"map lines all rejected", kMapHead + "x\t1\t1\tAlpha\r\n", report, "game.map", "gives no planet", {}},
        {"report missing", map, std::nullopt, "game.p1", "file not found", {}},
        {"report empty", map, "", "game.p1", "lists no planet", {}},
        {"report with headings only", map, kReportHead, "game.p1", "lists no planet", {}},
        {"report in UTF-16", map, std::string("\xFF\xFEP\0l\0", 6), "game.p1", "UTF-16", {}},
        {"report lines all rejected", map, kReportHead + reportLine("Nowhere"), "game.p1", "no line", {}},
        {"report cut short", map, cut, "", "", {"game.p1"}},
        {"map cut short", map.substr(0, map.size() - 2), report, "", "", {"game.map"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchFolder dir;
        if (c.map) dir.write("game.map", *c.map);
        if (c.report) dir.write("game.p1", *c.report);
        const Game game{dir.folder(), "game", playerNumberOf(1)};
        Map planets;
        Diagnostics diags;
        const PlanetsRead read = LoadPlanets(planets, game, diags);
        const auto refusal = turnRefusal(read, game, diags);
        if (c.refusedFile.empty()) {
            EXPECT_FALSE(refusal) << refusal->text();
        } else {
            ASSERT_TRUE(refusal);
            EXPECT_EQ(refusal->file, dir.path(c.refusedFile));
            EXPECT_NE(refusal->reason.find(c.reason), std::string::npos) << refusal->reason;
        }
        std::vector<std::string> unfinished;
        for (const std::string& f : c.unfinished)
            unfinished.push_back(dir.path(f));
        EXPECT_EQ(read.unfinished, unfinished);
    }
}

TEST(DemoGalaxy, LoadsCleanly)
{
    const std::string demo = VORNEX_DEMO_DIR;
    Diagnostics diags;
    Gravities gravities = LoadGravities(demo, diags);
    Players players = LoadPlayers(demo, diags);
    Map planets;
    LoadPlanets(planets, Game{demo, "game", playerNumberOf(1)}, diags);
    EXPECT_TRUE(diags.empty()) << allText(diags);
    EXPECT_EQ(gravities.Count(), 101);
    EXPECT_EQ(gravities.Item("1")->Clicks, 0);
    EXPECT_EQ(gravities.Item("0.12")->Clicks, -50);
    EXPECT_EQ(gravities.Item("8")->Clicks, 50);
    int16_t previous = -51;
    for (const auto& g : gravities) {
        EXPECT_EQ(g->Clicks, previous + 1);
        previous = g->Clicks;
    }
    EXPECT_EQ(players.Count(), 16);
    int named = 0;
    for (const auto& p : players)
        named += p->RaceName.empty() ? 0 : 1;
    EXPECT_EQ(named, 6);
    EXPECT_GE(planets.Count(), 140);
    int reported = 0, nonAscii = 0;
    for (const auto& p : planets) {
        EXPECT_EQ(planets.ByID(p->ID), p);
        if (p->ReportAge != -1) {
            ++reported;
            // Every reported gravity and the races' ranges can be found in the gravity table.
            EXPECT_TRUE(gravities.Item(p->Grav)) << p->PlanetName << " " << p->Grav;
        }
        for (unsigned char c : p->PlanetName)
            nonAscii += c >= 0x80;
    }
    EXPECT_GT(reported, 50);
    EXPECT_GT(nonAscii, 0);
    for (const auto& p : players)
        if (!p->RaceName.empty()) {
            EXPECT_TRUE(planets.Find(p->HomeWorld)) << p->HomeWorld;
        }
}

// A large report is read in two halves at once. Whichever half reaches a planet first, the planet
// ends as if the lines had been written one after the other (a short line keeps the optional
// group of an earlier full one), and the notes name the lines of both halves in order.
TEST(LoadPlanets, ALargeReportReadsAsOneLineAfterTheOther)
{
    const int kPlanets = 6000; // over half a megabyte of report
    auto line = [](const std::string& name, int population, int capacity, size_t pad = 0) {
        // Built by appending: g++ 12 warns wrongly about chains of `+` here at -O3.
        std::string s = name;
        s.append("\tOwner\tBase\t1\t").append(std::to_string(population)).append("\t50\tQ").append(pad, 'q');
        for (int f = 8; f <= 20; ++f)
            s.append("\t").append(std::to_string(f));
        s.append("\t1g\t20\xB0"
                 "C\t30mR\t1g\t20\xB0"
                 "C\t30mR\t5");
        if (capacity >= 0) s.append("\t").append(std::to_string(capacity)).append("\t1\t2\t3\t4\tR\t5\t6\t7");
        return s.append("\r\n");
    };
    auto planet = [](int i) {
        std::string n = "P";
        return n.append(std::to_string(i));
    };
    std::string map = kMapHead;
    for (int i = 1; i <= kPlanets; ++i)
        map.append(std::to_string(i))
            .append("\t")
            .append(std::to_string(1000 + i % 500))
            .append("\t")
            .append(std::to_string(2000 + i / 500))
            .append("\t")
            .append(planet(i))
            .append("\r\n");
    map += "9001\t1000\t2000\tEarly\r\n9002\t1001\t2000\tLate\r\n9003\t1002\t2000\tTwice\r\n";
    // The two halves, the first two bytes longer than the second, so that the report is cut
    // right between them.
    const int half = kPlanets / 2;
    std::vector<std::string> first, second;
    first.push_back(line("Early", 100, 11));
    for (int i = 1; i <= half; ++i) {
        first.push_back(line(planet(i), i, 1));
        if (i == half / 2) first.push_back(line("Twice", 700, 44));
        if (i == 100) first.push_back("\r\n"); // line 103
    }
    first.push_back(line("Nowhere", 1, 1));
    first.push_back(line("Late", 300, 22));  // the last line of the first half ...
    second.push_back(line("Late", 400, -1)); // ... and the first of the second
    second.push_back(line("Twice", 500, 33));
    for (int i = half + 1; i <= kPlanets; ++i) {
        second.push_back(line(planet(i), i, 1));
        if (i == half + 100) second.push_back("P1\tshort\r\n");
    }
    second.push_back(line("Twice", 600, -1));
    second.push_back(line("Early", 200, -1));
    auto bytes = [](const std::vector<std::string>& v) {
        size_t n = 0;
        for (const std::string& l : v)
            n += l.size();
        return n;
    };
    if (bytes(first) < bytes(second) + 2)
        first[1] = line("P1", 1, 1, bytes(second) + 2 - bytes(first));
    else
        second[2] = line(planet(half + 1), half + 1, 1, bytes(first) - 2 - bytes(second));
    ASSERT_EQ(bytes(first), bytes(second) + 2);
    test::ScratchFolder dir;
    dir.write("game.map", map);
    std::string report = kReportHead;
    for (const auto* part : {&first, &second})
        for (const std::string& l : *part)
            report += l;
    ASSERT_GT(report.size(), size_t(600000));
    dir.write("game.p1", report);
    const int64_t secondStart = 2 + int64_t(first.size());

    Map planets;
    Diagnostics diags;
    const PlanetsRead read = LoadPlanets(planets, Game{dir.folder(), "game", playerNumberOf(1)}, diags);
    EXPECT_EQ(read.reportLines, int64_t(kPlanets + 7));
    for (const auto& [name, population, capacity] :
         {std::tuple{"Early", 200, 11}, {"Late", 400, 22}, {"Twice", 600, 33}, {"P1", 1, 1}, {"P6000", 6000, 1}}) {
        const PlanetPtr p = planets.Find(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->Population, population) << name;
        EXPECT_EQ(p->Capacity, capacity) << name;
    }
    int wrong = 0;
    for (int i = 1; i <= kPlanets; ++i)
        wrong += planets.Find(planet(i))->Population != i;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(diags.size(), size_t(3)) << allText(diags);
    EXPECT_TRUE(mentions(diags, 103, "empty line")) << allText(diags);
    EXPECT_TRUE(mentions(diags, secondStart - 2, "\"Nowhere\" is not in the map file")) << allText(diags);
    EXPECT_TRUE(mentions(diags, secondStart + 102, "found 2")) << allText(diags);
}
