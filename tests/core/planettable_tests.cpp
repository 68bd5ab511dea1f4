// The planet table's one definition: nearest own world, the window's and the files' texts, sorting,
// filtering, and the table written as TSV, CSV and JSON.
#include <gtest/gtest.h>

#include <random>

#include "analysis/nearestown.h"
#include "analysis/planettable.h"
#include "analysis/tabletext.h"
#include "analysis/view.h"
#include "support/planetfixture.h"

using namespace vornex;
using vornex::testing::addPlanet;

namespace {

PlanetRow row(int16_t id, const std::string& name, const std::string& owner, int16_t age,
              std::optional<int> habTerra = std::nullopt, std::optional<int> nearOwn = std::nullopt)
{
    Map map;
    PlanetPtr p = addPlanet(map, name, 0, 0, owner, age);
    p->ID = id;
    p->Population = 12000;
    p->Value = -1234;
    PlanetRow r = planetRow(*p, nullptr, Gravities());
    r.habTerra = habTerra;
    r.nearOwn = nearOwn;
    return r;
}

std::vector<int> ids(const std::vector<PlanetRow>& rows)
{
    std::vector<int> out;
    for (const auto& r : rows)
        out.push_back(r.id);
    return out;
}

} // namespace

TEST(FastPaths, NearestOwnGridMatchesThePlainLoop)
{
    std::mt19937 rng(7);
    auto uniform = [&](int lo, int hi) { return int16_t(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    // Worlds and planets in boxes [x0, x1] x [y0, y1]; step > 1 puts the worlds on a lattice.
    struct Box {
        int x0, x1, y0, y1, step;
    };
    struct Case {
        const char* name;
        int own, queries;
        Box worlds, planets;
    };
    const int lo = -32768, hi = 32767;
    const Case cases[] = {
        {"spread evenly", 1000, 4000, {0, 4000, 0, 4000, 1}, {-200, 4200, -200, 4200, 1}},
        // Few distinct places: many worlds at equal distance, the earliest must win.
        {"ties on a coarse lattice", 300, 2000, {0, 6, 0, 6, 10}, {-20, 80, -20, 80, 1}},
        {"one cluster, planets far away", 200, 2000, {100, 140, -10, 10, 1}, {lo, hi, lo, hi, 1}},
        {"the edges of 16 bits", 50, 500, {0, 1, lo, hi, hi - lo}, {lo, hi, lo, hi, 1}},
        {"on one line", 400, 1000, {-30000, 30000, 5, 5, 1}, {lo, hi, -100, 100, 1}},
        {"a single world", 1, 300, {-5, 5, -5, 5, 1}, {lo, hi, lo, hi, 1}},
        {"no world", 0, 10, {0, 0, 0, 0, 1}, {-9, 9, 0, 0, 1}},
    };
    auto points = [&](int n, const Box& b) {
        std::vector<MapPoint> out;
        for (int i = 0; i < n; ++i) {
            if (b.step == 1)
                out.push_back({uniform(b.x0, b.x1), uniform(b.y0, b.y1)});
            else
                out.push_back({int16_t(uniform(b.x0, b.x1) * b.step + (b.step > 100 ? lo : 0)),
                               int16_t(uniform(b.y0, b.y1) * (b.step > 100 ? 1 : b.step))});
        }
        return out;
    };
    for (const Case& c : cases) {
        const auto own = points(c.own, c.worlds), queries = points(c.queries, c.planets);
        EXPECT_EQ(nearestPoints(own, queries), nearestPointsPlain(own, queries)) << c.name;
    }
    // One-unit cells (80 worlds on 4 by 10 units): from (0, 5) the world at (3, 9) is found in the
    // fourth ring, 5 away, while the earlier world at (0, 0), also 5 away, lies just beyond it.
    std::vector<MapPoint> border = {{0, 0}};
    border.resize(80, MapPoint{3, 9});
    EXPECT_EQ(nearestPoints(border, {MapPoint{0, 5}}), std::vector<int>{0});
    // Every point around small lattices of worlds numbered out of order: ties on every cell border.
    for (int side = 2; side <= 5; ++side)
        for (int spacing = 1; spacing <= 9; ++spacing) {
            std::vector<MapPoint> lattice, everyPoint;
            for (int k = 0; k < side * side; ++k) {
                const int shuffled = (k * 7 + 3) % (side * side);
                lattice.push_back({int16_t(shuffled % side * spacing), int16_t(shuffled / side * spacing)});
            }
            for (int x = -spacing - 2; x <= side * spacing + 2; ++x)
                for (int y = -spacing - 2; y <= side * spacing + 2; ++y)
                    everyPoint.push_back({int16_t(x), int16_t(y)});
            EXPECT_EQ(nearestPoints(lattice, everyPoint), nearestPointsPlain(lattice, everyPoint))
                << side << " by " << side << " worlds " << spacing << " apart";
        }
}

// The nearest world's distance is rounded from its square in whole numbers: it must agree with the
// distance tool for every gap across the map, the halves and the 16-bit edge included.
TEST(NearestOwn, RoundsAsTheDistanceTool)
{
    Planet a, b;
    a.Xcord = a.Ycord = -32768;
    int differ = 0;
    for (int dy : {0, 1, 2, 3, 7, 100, 12345, 23169, 32767, 65535})
        for (int dx = 0; dx <= 65535; ++dx) {
            b.Xcord = int16_t(dx - 32768);
            b.Ycord = int16_t(dy - 32768);
            const std::optional<int16_t> tool = planetDistance(a, b);
            const std::optional<int> nearest = roundedDistance(int64_t(dx) * dx + int64_t(dy) * dy);
            if (nearest != (tool ? std::optional<int>(*tool) : std::nullopt) && ++differ <= 5)
                ADD_FAILURE() << dx << ", " << dy << ": " << nearest.value_or(-1) << " against " << tool.value_or(-1);
        }
    EXPECT_EQ(differ, 0);
}

TEST(NearestOwn, YourWorldsAndTheDistanceToolsRule)
{
    Map map;
    addPlanet(map, "Home", 100, 100, "Humanoid");
    addPlanet(map, "Colony", 200, 100, "Humanoid");
    addPlanet(map, "Rival", 130, 140, "Insectoid");  // 3-4-5 from Home: 50
    addPlanet(map, "Edge", 101, 101, "Uninhabited"); // sqrt 2 rounds to 1
    addPlanet(map, "Far", -32768, -32768, "Uninhabited");
    addPlanet(map, "Between", 150, 100, "Uninhabited"); // equally near both: the first world
    Player race;
    race.RaceName = "Humanoid";
    const auto rows = planetRows(map, &race, Gravities());
    struct Expect {
        std::optional<int> distance;
        const char* world;
    };
    const Expect expected[] = {{0, "Home"}, {0, "Colony"},          {50, "Home"},
                               {1, "Home"}, {std::nullopt, "Home"}, {50, "Home"}};
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].nearOwn, expected[i].distance) << rows[i].name;
        EXPECT_EQ(rows[i].nearOwnName, expected[i].world) << rows[i].name;
    }
    // A race without a name owns nothing; neither does a game without your player.
    race.RaceName.clear();
    for (const auto& r : planetRows(map, &race, Gravities()))
        EXPECT_TRUE(!r.nearOwn && r.nearOwnName.empty()) << r.name;
    for (const auto& r : planetRows(map, nullptr, Gravities()))
        EXPECT_TRUE(!r.nearOwn && r.nearOwnName.empty()) << r.name;
}

TEST(PlanetTableText, TheWindowShowsWhatIsKnownAndTheFilesKeepTheReportFormat)
{
    const PlanetRow seen = row(32767, "Seen", "Kethari", 3);
    const PlanetRow unseen = row(4, "Unseen", "Uninhabited", -1);
    struct Case {
        PlanetColumnId column;
        const char *seenShown, *unseenShown, *unseenFile;
    };
    const Case cases[] = {
        {PlanetColumnId::Id, "32767", "4", "4"},
        {PlanetColumnId::Owner, "Kethari", "not reported", "Uninhabited"},
        {PlanetColumnId::ReportAge, "3", "", "-1"},
        {PlanetColumnId::Population, "12000", "", "12000"},
        {PlanetColumnId::Value, "-1234", "", "-1234"},
        {PlanetColumnId::Hab, "", "", ""},
    };
    for (const Case& c : cases) {
        const PlanetColumn& column = planetColumn(c.column);
        EXPECT_EQ(shownText(column, seen), c.seenShown) << column.key;
        EXPECT_EQ(fileText(column, seen), c.seenShown) << column.key;
        EXPECT_EQ(shownText(column, unseen), c.unseenShown) << column.key;
        EXPECT_EQ(fileText(column, unseen), c.unseenFile) << column.key;
        EXPECT_EQ(emptyCell(column, unseen), column.numeric && std::string(c.unseenShown).empty()) << column.key;
    }
    PlanetRow near = seen;
    near.nearOwn = 12;
    near.nearOwnName = "Home";
    EXPECT_EQ(cellTip(planetColumn(PlanetColumnId::NearOwn), near), "Home");
    EXPECT_EQ(cellTip(planetColumn(PlanetColumnId::Hab), near), "");
    // Every column of the window has a heading and room for its widest figure.
    for (const PlanetColumn& c : planetColumns()) {
        EXPECT_EQ(&planetColumn(c.id), &c);
        if (c.numeric) {
            EXPECT_GE(std::string(c.widest).size(), 3u) << c.key;
        }
    }
}

TEST(PlanetTableSort, FirstOrderEmptyCellsLastAndEqualRatingsByNearness)
{
    const std::vector<PlanetRow> rows = {
        row(1, "beta", "Uninhabited", -1, std::nullopt), row(2, "Alpha", "Kethari", 2, 60, 300),
        row(3, "gamma", "Uninhabited", 1, 60, 100), row(4, "Delta", "Uninhabited", 0, 80),
        row(5, "epsilon", "Uninhabited", 5, 60)};
    struct Case {
        PlanetColumnId column;
        bool descending;
        std::vector<int> order;
    };
    const Case cases[] = {
        // Highest first, the nearer of equal ratings first, the planet without a rating last.
        {PlanetColumnId::HabTerra, true, {4, 3, 2, 5, 1}},
        {PlanetColumnId::HabTerra, false, {3, 2, 5, 4, 1}},
        {PlanetColumnId::Name, false, {2, 1, 4, 5, 3}},
        // Never reported: no age to sort by.
        {PlanetColumnId::ReportAge, false, {4, 3, 2, 5, 1}},
        {PlanetColumnId::Owner, false, {2, 3, 4, 5, 1}},
        {PlanetColumnId::NearOwn, false, {3, 2, 1, 4, 5}},
    };
    for (const Case& c : cases) {
        auto sorted = rows;
        sortPlanetRows(sorted, planetColumn(c.column), c.descending);
        EXPECT_EQ(ids(sorted), c.order) << planetColumn(c.column).key << (c.descending ? " descending" : "");
    }
    for (PlanetColumnId first :
         {PlanetColumnId::Hab, PlanetColumnId::HabTerra, PlanetColumnId::Population, PlanetColumnId::Value})
        EXPECT_TRUE(planetColumn(first).highestFirst) << planetColumn(first).key;
    EXPECT_FALSE(planetColumn(PlanetColumnId::Name).highestFirst);
    EXPECT_FALSE(planetColumn(PlanetColumnId::NearOwn).highestFirst);
}

TEST(PlanetTableFilter, NameOwnerReportedTargetsAndWithin)
{
    const std::vector<PlanetRow> rows = {
        row(1, "Ulal", "Uninhabited", -1, 40, 10), row(2, "Alpha", "Kethari", 2, 60, 300),
        row(3, "gamma", "Uninhabited", 1, 60, 100), row(4, "Delta", "Uninhabited", 0, 0, 50),
        row(5, "ULALU", "", 5, 1, std::nullopt)};
    struct Case {
        const char* name;
        PlanetFilter filter;
        std::vector<int> shown;
    };
    auto with = [](auto set) {
        PlanetFilter f;
        set(f);
        return f;
    };
    const Case cases[] = {
        {"nothing", {}, {1, 2, 3, 4, 5}},
        {"name in any case", with([](auto& f) { f.nameContains = "uLaL"; }), {1, 5}},
        {"owner", with([](auto& f) { f.owner = "Kethari"; }), {2}},
        {"reported", with([](auto& f) { f.reportedOnly = true; }), {2, 3, 4, 5}},
        // Reported, uninhabited (an empty owner too), HabTerra above 0.
        {"targets", with([](auto& f) { f.targetsOnly = true; }), {3, 5}},
        {"within", with([](auto& f) { f.within = 100; }), {1, 3, 4}},
    };
    for (const Case& c : cases) {
        std::vector<PlanetRow> shown;
        for (const auto& r : rows)
            if (acceptsRow(c.filter, r)) shown.push_back(r);
        EXPECT_EQ(ids(shown), c.shown) << c.name;
    }
}

TEST(PlanetTableText, CsvTextCellsCannotRunFormulasWhileTsvAndJsonStayExact)
{
    struct Case {
        std::string text;
        std::string csv;
    };
    const Case cases[] = {
        {"@SUM(1+9)", "\"'@SUM(1+9)\""},
        {"+1+cmd|' /C calc'!A0", "\"'+1+cmd|' /C calc'!A0\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"-2+3", "\"'-2+3\""},
        {"\t=1", "\"'\t=1\""},
        {"\r=1", "\"'\r=1\""},
        {"Fa\xC3\xA7"
         "ade",
         "Fa\xC3\xA7"
         "ade"},
        {"a, b", "\"a, b\""},
        {" lead", "\" lead\""},
        {"mid=dle", "mid=dle"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvCell(c.text, false), c.csv) << c.text;
    EXPECT_EQ(csvCell("-7", true), "-7");

    PlanetRow r = row(1, "@SUM(1+9)", "-Kethari", 3);
    r.x = -7;
    r.nearOwn = 5;
    r.nearOwnName = "=Home";
    const auto columns = fileColumns(false, true);
    const std::string csv = writePlanetTable({r}, columns, TableFormat::Csv);
    EXPECT_EQ(csv, "\xEF\xBB\xBFID,Name,X,Y,Owner,ReportAge,Population,Value,Hab,HabTerra,NearOwn,NearOwnName\r\n"
                   "1,\"'@SUM(1+9)\",-7,0,\"'-Kethari\",3,12000,-1234,,,5,\"'=Home\"\r\n");
    EXPECT_EQ(writePlanetTable({r}, columns, TableFormat::Tsv),
              "ID\tName\tX\tY\tOwner\tReportAge\tPopulation\tValue\tHab\tHabTerra\tNearOwn\tNearOwnName\n"
              "1\t@SUM(1+9)\t-7\t0\t-Kethari\t3\t12000\t-1234\t\t\t5\t=Home\n");
    EXPECT_NE(writePlanetTable({r}, columns, TableFormat::Json)
                  .find("\"Name\": \"@SUM(1+9)\", \"X\": -7, \"Y\": 0, \"Owner\": \"-Kethari\""),
              std::string::npos);
}
