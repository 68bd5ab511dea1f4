// Counting turns by how far the reports aged, and the list of what changed between two turns.
#include <gtest/gtest.h>

#include "history/changes.h"
#include "history/turncount.h"

namespace vornex::history {
namespace {

PlanetState state(int16_t id, bool reported, int32_t reportedTurn, std::string owner = "Kethari",
                  int32_t population = 10000, int16_t defences = 20)
{
    PlanetState s;
    s.planet = id;
    s.reported = reported;
    s.reportedTurn = reportedTurn;
    s.owner = std::move(owner);
    s.population = population;
    s.defences = defences;
    s.source = "report";
    return s;
}

Observation seen(PlanetState s, int16_t age)
{
    s.reportedTurn = 0;
    std::string name = "P" + std::to_string(s.planet);
    return {std::move(s), age, std::move(name)};
}

TEST(TurnCount, FollowsTheReportsAge)
{
    // Last recorded turn 10: planet 1 reported in turn 8 (age 2), planet 2 in turn 9, planet 3 never.
    // Planet 4 comes from an export file written in turn 10 and copied in once.
    PlanetState exported = state(4, true, 10, "Draconae");
    exported.source = "export.p2";
    const std::unordered_map<int16_t, PlanetState> last = {
        {1, state(1, true, 8)}, {2, state(2, true, 9, "Oran")}, {3, state(3, false, 0, "")}, {4, exported}};
    struct Case {
        const char* what;
        std::vector<Observation> now;
        TurnCount::Kind kind;
        int32_t turn;
        bool ambiguous;
        const char* howHas;
    };
    const Case cases[] = {
        {"one year on",
         {seen(state(1, true, 0), 3), seen(state(2, true, 0, "Oran"), 2)},
         TurnCount::Kind::Next,
         11,
         false,
         "2 planets with the same report aged by 1 year since turn 10"},
        {"three years on: two turns skipped",
         {seen(state(1, true, 0), 5), seen(state(2, true, 0, "Oran"), 4)},
         TurnCount::Kind::Next,
         13,
         false,
         "(2 turns not recorded)"},
        {"a report made again with the same figures is younger than the rest",
         {seen(state(1, true, 0), 4), seen(state(2, true, 0, "Oran"), 0)},
         TurnCount::Kind::Next,
         12,
         false,
         "1 planet reported again with the same figures"},
        {"an export file that stayed as it was does not hold the turn back",
         {seen(state(1, true, 0), 3), seen(exported, 0)},
         TurnCount::Kind::Next,
         11,
         false,
         "1 planet with the same report aged by 1 year"},
        {"nor does it make a backup of an older turn the same turn",
         {seen(state(1, true, 0), 1), seen(exported, 0)},
         TurnCount::Kind::Older,
         9,
         false,
         "older than turn 10"},
        {"without the report's planets, those of the export files count",
         {seen(exported, 2)},
         TurnCount::Kind::Next,
         12,
         false,
         "aged by 2 years"},
        {"nothing aged: the same turn", {seen(state(1, true, 0), 2)}, TurnCount::Kind::Same, 10, false, "same turn"},
        {"reports younger than recorded: an older turn",
         {seen(state(1, true, 0), 1), seen(state(2, true, 0, "Oran"), 0)},
         TurnCount::Kind::Older,
         9,
         false,
         "older than turn 10"},
        {"every report changed: the next turn, said to be a guess",
         {seen(state(1, true, 0, "Oran"), 0), seen(state(2, true, 0, "Kethari"), 0)},
         TurnCount::Kind::Next,
         11,
         true,
         "how many years passed is unknown"},
        {"every report made again this turn: a guess too",
         {seen(state(1, true, 0), 0), seen(state(2, true, 0, "Oran"), 0)},
         TurnCount::Kind::Next,
         11,
         true,
         "unknown"},
        {"nothing but planets never reported, unchanged: the same turn",
         {seen(state(3, false, 0, ""), -1)},
         TurnCount::Kind::Same,
         10,
         false,
         "nothing changed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TurnCount t = countTurn(last, 10, c.now);
        EXPECT_EQ(t.kind, c.kind);
        EXPECT_EQ(t.turn, c.turn);
        EXPECT_EQ(t.ambiguous, c.ambiguous);
        EXPECT_NE(t.how.find(c.howHas), std::string::npos) << t.how;
    }
    const TurnCount first = countTurn({}, 0, {seen(state(1, true, 0), 4)});
    EXPECT_EQ(first.kind, TurnCount::Kind::First);
    EXPECT_EQ(first.turn, 1);
}

TEST(Changes, NamesWhoTookWhatAndTheJumps)
{
    const std::unordered_map<int16_t, PlanetState> before = {
        {1, state(1, true, 1, "Kethari", 40000)},     {2, state(2, true, 1, "Oran", 9000)},
        {3, state(3, true, 1, "Uninhabited", 0)},     {4, state(4, true, 1, "Kethari", 20000, 10)},
        {5, state(5, true, 1, "Kethari", 20000, 10)}, {6, state(6, false, 0, "")},
        {8, state(8, true, 1, "Kethari", 100000, 40)}};
    const std::unordered_map<int16_t, PlanetState> after = {
        {1, state(1, true, 2, "Oran", 30000)},          // taken
        {2, state(2, true, 2, "Uninhabited", 0)},       // lost
        {3, state(3, true, 2, "Kethari", 2000)},        // colonised
        {4, state(4, true, 2, "Kethari", 30000, 30)},   // +10000 (a third) and +20 points: both jumps
        {5, state(5, true, 2, "Kethari", 24000, 19)},   // +4000, +9 points: below both thresholds
        {6, state(6, true, 2, "Draconae", 5000)},       // first report
        {7, state(7, true, 2, "", 0)},                  // first report, nobody's
        {8, state(8, true, 2, "Kethari", 120000, 40)}}; // +20000 is less than a quarter of 120000
    auto names = [](int16_t id) { return "P" + std::to_string(id); };
    const auto list = listChanges(before, after, names);
    std::vector<std::string> texts;
    for (const auto& c : list)
        texts.push_back(c.text);
    const std::vector<std::string> expected = {
        "Oran took P1 from Kethari",      "Oran lost P2",
        "Kethari colonised P3",           "P6 reported for the first time (Draconae)",
        "P7 reported for the first time", "P4: population 20000 to 30000 (+10000)",
        "P4: defences 10% to 30% (+20)",
    };
    EXPECT_EQ(texts, expected);

    const auto tally = raceTallies(list);
    EXPECT_EQ(tally.at("Kethari").gained, 1);
    EXPECT_EQ(tally.at("Kethari").lost, 1);
    EXPECT_EQ(tally.at("Oran").gained, 1);
    EXPECT_EQ(tally.at("Oran").lost, 1);
    EXPECT_EQ(tally.count("Draconae"), 0u); // a first report is no colony gained

    EXPECT_EQ(summary(list), "Oran took P1 from Kethari; Oran lost P2; 5 more changes");
    EXPECT_EQ(summary({}), "");
}

} // namespace
} // namespace vornex::history
