// The history store on real SQLite files: round trips, turn counting across loads, only changes
// stored, an older store brought up to date, a damaged store, a full disk, and two programs at once.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "history/faultvfs.h"
#include "history/gamehistory.h"
#include "history/schema.h"
#include "support/historygalaxy.h"
#include "support/scratchfolder.h"

namespace vornex::history {
namespace {

using test::ageReports;
using test::historyGalaxy;
using test::ScratchFolder;

std::string nameOf(int16_t id)
{
    return "P" + std::to_string(id);
}

RecordResult record(HistoryStore& store, const Map& m)
{
    return store.record(observe(m), nameOf);
}

// Planet 2 as export.p3 shows it: taken by the Draconae.
void exportShowsDraconaeOnP2(Map& m)
{
    m.ByID(2)->Owner = "Draconae";
    m.ByID(2)->Source = Planet::From::Export;
    m.ByID(2)->SourceExport = 3;
}

int64_t rows(HistoryStore& store, const std::string& where = "1")
{
    return store.database().number("SELECT count(*) FROM planet_states WHERE " + where);
}

TEST(HistoryStore, RecordsOnlyWhatChangedAndReadsItBack)
{
    ScratchFolder dir;
    const std::string path = dir.path("game.sqlite");
    Map m = historyGalaxy(30);
    {
        HistoryStore store(path);
        const auto first = record(store, m);
        EXPECT_EQ(first.outcome, RecordResult::Outcome::Recorded);
        EXPECT_EQ(first.turn, 1);
        EXPECT_EQ(rows(store), 30);

        // A year on: one planet taken, one grown, everything else only older.
        ageReports(m);
        m.ByID(1)->Owner = "Oran";
        m.ByID(1)->ReportAge = 0;
        m.ByID(5)->Population = 90000;
        m.ByID(5)->ReportAge = 0;
        const auto second = record(store, m);
        EXPECT_EQ(second.outcome, RecordResult::Outcome::Recorded);
        EXPECT_EQ(second.turn, 2);
        EXPECT_EQ(second.changedPlanets, 2);
        EXPECT_EQ(rows(store, "turn = 2"), 2);
        ASSERT_EQ(second.changes.size(), 2u);
        EXPECT_EQ(second.changes[0].text, "Oran took P1 from Kethari");
        EXPECT_EQ(second.changes[1].text, "P5: population 50000 to 90000 (+40000)");

        // The same files loaded again record nothing.
        EXPECT_EQ(record(store, m).outcome, RecordResult::Outcome::Unchanged);
        store.setNote(7, "Scout again, beware of the minefield");
    }
    // Read back by another opening of the file.
    HistoryStore again(path);
    const auto turns = again.turns();
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_EQ(turns[1].turn, 2);
    EXPECT_EQ(turns[1].planets, 2);
    EXPECT_NE(turns[1].how.find("aged by 1 year"), std::string::npos) << turns[1].how;
    EXPECT_EQ(again.statesAt(1).at(1).owner, "Kethari");
    EXPECT_EQ(again.statesAt(2).at(1).owner, "Oran");
    EXPECT_EQ(again.statesAt(2).at(2).reportedTurn, -1); // reported two years before turn 1
    EXPECT_EQ(again.changes(1, 2, nameOf).size(), 2u);
    EXPECT_EQ(again.notes().at(7), "Scout again, beware of the minefield");
    again.setNote(7, "");
    EXPECT_TRUE(again.notes().empty());

    const auto history = again.planetHistory(5);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].state.population, 50000);
    EXPECT_EQ(history[1].state.population, 90000);
    EXPECT_TRUE(history[1].changed);
    const auto quiet = again.planetHistory(2);
    ASSERT_EQ(quiet.size(), 2u); // carried into turn 2 though nothing was stored for it there
    EXPECT_FALSE(quiet[1].changed);
    EXPECT_EQ(ageAt(quiet[1].state, 2), 3);
    // Every figure survives the trip through the file.
    const auto now = observe(m);
    PlanetState expected = now[4].state;
    expected.reportedTurn = 2;
    EXPECT_EQ(again.statesAt(2).at(5), expected);
}

TEST(HistoryStore, CountsSkippedTurnsSameTurnUpdatesAndRefusesOlderTurns)
{
    ScratchFolder dir;
    HistoryStore store(dir.path("game.sqlite"));
    Map m = historyGalaxy(12, 5);
    record(store, m);

    // An export file that came after the first load: more of the same turn.
    exportShowsDraconaeOnP2(m);
    const auto update = record(store, m);
    EXPECT_EQ(update.outcome, RecordResult::Outcome::Updated);
    EXPECT_EQ(update.turn, 1);
    EXPECT_EQ(store.statesAt(1).at(2).source, "export.p3");

    // Three years later (two turns the player did not load).
    Map later = historyGalaxy(12, 8);
    exportShowsDraconaeOnP2(later);
    const auto skipped = record(store, later);
    EXPECT_EQ(skipped.outcome, RecordResult::Outcome::Recorded);
    EXPECT_EQ(skipped.turn, 4);
    EXPECT_EQ(skipped.changedPlanets, 0); // only older reports: a turn with no planet rows
    EXPECT_EQ(rows(store, "turn = 4"), 0);

    // A backup folder of turn 2 read afterwards is not written into the history.
    Map backup = historyGalaxy(12, 6);
    const auto older = record(store, backup);
    EXPECT_EQ(older.outcome, RecordResult::Outcome::Older);
    EXPECT_EQ(store.lastTurn(), 4);
}

TEST(HistoryStore, BringsAStoreOfAnEarlierVersionUpToDate)
{
    // Planet 4 recorded in turns 1 and 3, planet 7 in turn 1 only, as each earlier version wrote them.
    const std::string figures = " 1, 0, 'Oran', 'Space Dock', 31000, 62, 34, 197, 13, 3129, 2396, 2197, 18, 57, 59,"
                                " 10, 29, 52, '3.07', '120', '31'";
    for (int from : {1, 2}) {
        SCOPED_TRACE("version " + std::to_string(from));
        ScratchFolder dir;
        const std::string path = dir.path("old.sqlite");
        {
            Database db(path);
            upgradeSchema(db, from);
            const std::string source = from == 1 ? "" : ", 'report'";
            db.exec("INSERT INTO turns VALUES(1, '2026-01-01 10:00:00', 'the first turn recorded');"
                    "INSERT INTO turns VALUES(2, '2026-01-02 10:00:00', 'next');"
                    "INSERT INTO turns VALUES(3, '2026-01-03 10:00:00', 'next');"
                    "INSERT INTO planet_states VALUES(4, 1," +
                    figures + source + ");INSERT INTO planet_states VALUES(7, 1," + figures + source +
                    ");INSERT INTO planet_states VALUES(4, 3, 1, 3, 'Kethari', '', 500, 12, 0, 0, 0, 0, 0, 0, 0,"
                    " 0, 0, 0, 0, 0, '1', '2', '3'" +
                    source + ");");
            EXPECT_EQ(db.number("PRAGMA user_version"), from);
        }
        HistoryStore store(path);
        EXPECT_EQ(store.database().number("PRAGMA user_version"), kSchemaVersion);
        const PlanetState s = store.statesAt(1).at(4);
        EXPECT_EQ(s.owner, "Oran");
        EXPECT_EQ(s.starbase, "Space Dock");
        EXPECT_EQ(s.population, 31000);
        EXPECT_EQ(s.concentration[2], 52);
        EXPECT_EQ(s.rad, "31");
        EXPECT_EQ(s.source, from == 1 ? "" : "report"); // the first version knew no sources
        EXPECT_EQ(store.statesAt(3).at(4).owner, "Kethari");
        EXPECT_EQ(store.statesAt(3).at(7).owner, "Oran");
        const auto four = store.planetHistory(4), seven = store.planetHistory(7);
        ASSERT_EQ(four.size(), 3u);
        EXPECT_TRUE(four[0].changed && !four[1].changed && four[2].changed);
        EXPECT_EQ(four[1].state.owner, "Oran");
        EXPECT_EQ(four[2].state.population, 500);
        ASSERT_EQ(seven.size(), 3u);
        EXPECT_EQ(seven[2].state.owner, "Oran");
        EXPECT_EQ(store.turns().back().planets, 1);
        store.setNote(4, "home of the Oran"); // the notes table came with version 2
        EXPECT_EQ(store.notes().at(4), "home of the Oran");
    }
}

TEST(GameHistory, FindsTheStoreByTheGameNotTheFolder)
{
    const Map a = historyGalaxy(10);
    Map renamed = historyGalaxy(10);
    renamed.ByID(3)->PlanetName = "Q3";
    Map moved = historyGalaxy(10);
    moved.ByID(3)->Xcord = 31;
    Map reported = historyGalaxy(10);
    ageReports(reported, 4); // the reports are no part of the identity
    EXPECT_EQ(gameIdentity(a, 1), gameIdentity(reported, 1));
    EXPECT_NE(gameIdentity(a, 1), gameIdentity(a, 2));
    EXPECT_NE(gameIdentity(a, 1), gameIdentity(renamed, 1));
    EXPECT_NE(gameIdentity(a, 1), gameIdentity(moved, 1));
    EXPECT_EQ(gameIdentity(a, 3).substr(16), "-p3");

    ScratchFolder dir;
    GameHistory h(dir.path("deep/history"), a, 1, "game");
    ASSERT_TRUE(h.store()) << h.error();
    EXPECT_EQ(h.path(), storePath(dir.path("deep/history"), gameIdentity(a, 1)));
    EXPECT_EQ(h.store()->meta("game"), "game");
}

TEST(GameHistory, MovesADamagedStoreAsideAndStartsAgain)
{
    struct Case {
        const char* what;
        std::function<void(const std::string&)> spoil;
        bool keptAsItWas; // a store that could be opened got the game's name written before the damage showed
    };
    const Case cases[] = {
        {"a text file",
         [](const std::string& p) {
             std::ofstream(ScratchFolder::fromUtf8(p), std::ios::binary) << "planet,owner\r\nHelion,Kethari\r\n";
         },
         true},
        {"another program's database",
         [](const std::string& p) {
             Database db(p);
             db.exec("CREATE TABLE recipes(name TEXT)");
         },
         true},
        {"a store whose figures are out of range",
         [](const std::string& p) {
             HistoryStore s(p);
             s.database().exec("INSERT INTO turns VALUES(1, '', '');"
                               "INSERT INTO planet_states(planet, turn, reported, reported_turn, owner, starbase,"
                               " population, value, defences, mines, factories, surface_iron, surface_bora,"
                               " surface_germ, rate_iron, rate_bora, rate_germ, conc_iron, conc_bora, conc_germ,"
                               " grav, temp, rad) VALUES(1, 1, 1, 1, '', '', 1, 99999, 0, 0, 0, 0, 0, 0, 0, 0,"
                               " 0, 0, 0, 0, '', '', '')");
         },
         false},
    };
    const Map m = historyGalaxy(10);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder dir;
        const std::string path = storePath(dir.folder(), gameIdentity(m, 1));
        c.spoil(path);
        const std::string before = ScratchFolder::readPath(path);
        GameHistory h(dir.folder(), m, 1, "game");
        auto result = h.record(m);
        ASSERT_TRUE(result) << h.error();
        EXPECT_EQ(result->turn, 1);
        EXPECT_NE(h.notice().find("moved aside as " + path + ".damaged-"), std::string::npos) << h.notice();
        const std::string aside = h.notice().substr(h.notice().find(path + ".damaged-"));
        const std::string kept = ScratchFolder::readPath(aside.substr(0, aside.find(' ')));
        EXPECT_FALSE(kept.empty());
        if (c.keptAsItWas) {
            EXPECT_TRUE(kept == before);
        }
        EXPECT_EQ(h.store()->turns().size(), 1u);
    }
}

TEST(GameHistory, LeavesAStoreOfALaterVersionAlone)
{
    ScratchFolder dir;
    const Map m = historyGalaxy(5);
    const std::string path = storePath(dir.folder(), gameIdentity(m, 1));
    {
        Database db(path);
        db.exec("CREATE TABLE future(x); PRAGMA user_version = 99");
    }
    GameHistory h(dir.folder(), m, 1, "game");
    EXPECT_FALSE(h.store());
    EXPECT_NE(h.error().find("later version"), std::string::npos) << h.error();
    EXPECT_TRUE(h.notice().empty());
    EXPECT_FALSE(h.record(m));
}

TEST(GameHistory, AFullDiskNeverLeavesHalfATurn)
{
    failWritesForTesting(-1); // stores opened from here on go through the failing disk
    ScratchFolder dir;
    Map m = historyGalaxy(400);
    GameHistory h(dir.folder(), m, 1, "game");
    ASSERT_TRUE(h.record(m)) << h.error();
    ageReports(m);
    for (int i = 1; i <= 400; i += 7)
        m.ByID(static_cast<int16_t>(i))->Population += 20000;
    const auto turn1 = h.store()->statesAt(1);

    int failures = 0;
    for (int passes = 0; passes < 200; ++passes) {
        SCOPED_TRACE(passes);
        failWritesForTesting(passes);
        GameHistory attempt(dir.folder(), m, 1, "game");
        const auto result = attempt.record(m);
        failWritesForTesting(-1);
        GameHistory check(dir.folder(), m, 1, "game");
        ASSERT_TRUE(check.store()) << check.error();
        if (result) {
            EXPECT_EQ(result->turn, 2);
            EXPECT_EQ(check.store()->lastTurn(), 2);
            break;
        }
        ++failures;
        EXPECT_NE(attempt.error().find("full"), std::string::npos) << attempt.error();
        EXPECT_TRUE(attempt.notice().empty()); // a full disk is no damage: nothing moved aside
        EXPECT_EQ(check.store()->lastTurn(), 1);
        EXPECT_EQ(check.store()->statesAt(2), turn1);
    }
    EXPECT_GE(failures, 2);
}

TEST(GameHistory, TwoProgramsRecordingTheSameTurnRecordItOnce)
{
    ScratchFolder dir;
    Map m = historyGalaxy(20);
    GameHistory window(dir.folder(), m, 1, "game");
    GameHistory tool(dir.folder(), m, 1, "game");
    ASSERT_TRUE(window.record(m));
    ASSERT_TRUE(tool.record(m));
    // Both have read the store before the next turn comes.
    ageReports(m);
    m.ByID(2)->Owner = "Oran";
    const auto first = window.record(m);
    const auto second = tool.record(m);
    ASSERT_TRUE(first && second) << window.error() << tool.error();
    EXPECT_EQ(first->outcome, RecordResult::Outcome::Recorded);
    EXPECT_EQ(second->outcome, RecordResult::Outcome::Unchanged);
    EXPECT_EQ(tool.store()->lastTurn(), 2);
    EXPECT_EQ(tool.store()->turns().size(), 2u);
}

} // namespace
} // namespace vornex::history
