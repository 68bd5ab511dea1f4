// Following a game while it is played: what the watcher notices, what a reload reads, and what it
// says. The watcher is driven by direct calls, as its file system watcher and timers would call it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "app/gamechoice.h"
#include "app/gamefollower.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"

using namespace vornex;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// The demo galaxy in a folder of its own, loaded as start-up loads it, followed.
class Follow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder;
    ProgramState s;
    std::unique_ptr<GameFollower> follower;
    QStringList messages;
    int reloads = 0;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + "/game/";
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const QFileInfo& f : QDir(VORNEX_DEMO_DIR).entryInfoList(QDir::Files))
            ASSERT_TRUE(QFile::copy(f.absoluteFilePath(), folder + f.fileName()));
        MemorySettings store;
        FixedAnswer noQuestions;
        storeGameChoice(store, Game{folder.toStdString(), "game", playerNumberOf(1)});
        ASSERT_EQ(startGame(s, store, noQuestions, FileExists), StartupResult::Ready);
        follower = std::make_unique<GameFollower>(s);
        QObject::connect(follower.get(), &GameFollower::message, [this](const QString& m) { messages << m; });
        QObject::connect(follower.get(), &GameFollower::turnReloaded, [this] { ++reloads; });
        follower->follow();
        ASSERT_TRUE(watcher()->following());
    }
    GameWatcher* watcher() { return follower->watcher(); }
    // Lets the quiet periods end, as the timer would, until nothing waits any more.
    void quietPeriodsEnd()
    {
        for (int i = 0; i < 2 * GameFollower::kMaxWaits + 2 && watcher()->waiting(); ++i)
            watcher()->quietPeriodEnded();
    }
    // A change noticed and its quiet period over.
    void changed()
    {
        watcher()->noteChange();
        quietPeriodsEnd();
    }
    QByteArray report() { return readAll(folder + "game.p1"); }
    // The report with Gorzanris (planet 1) at another report age.
    QByteArray agedReport(int age) { return aged(report(), age); }
    static QByteArray aged(QByteArray bytes, int age)
    {
        const qsizetype at = bytes.indexOf("Gorzanris\t\t\t");
        EXPECT_GE(at, 0);
        const qsizetype from = at + 12, to = bytes.indexOf('\t', from);
        return bytes.replace(from, to - from, QByteArray::number(age));
    }
};

TEST_F(Follow, AFileWrittenWhileTheTurnIsReadIsReadToo)
{
    // The export file is replaced just after the reader has taken it in.
    bool once = true;
    follower->setReader([&](const Game& g) {
        TurnRead turn = readTurn(g);
        if (once) {
            once = false;
            QByteArray bytes = readAll(folder + "export.p2");
            EXPECT_TRUE(bytes.startsWith("\"Becorvor\",\"Uninhabited\",7,"));
            writeAll(folder + "export.p2", bytes.replace(0, 27, "\"Becorvor\",\"Kethari\",0,"));
        }
        return turn;
    });
    writeAll(folder + "game.p1", agedReport(7));
    changed();
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 7);
    EXPECT_EQ(s.AllPlanets.Item("Becorvor")->Owner, "Kethari");
    EXPECT_FALSE(watcher()->waiting());
    EXPECT_EQ(reloads, 1); // the read that saw a file change under it was not shown
}

TEST_F(Follow, AReportStillBeingWrittenIsWaitedForBoundedAndOtherFilesHoldNothingBack)
{
    const QByteArray whole = agedReport(7);
    // The writer pauses in the middle of a line, longer than the quiet period.
    writeAll(folder + "game.p1", whole.left(whole.size() - 40));
    watcher()->noteChange();
    watcher()->quietPeriodEnded();
    EXPECT_EQ(reloads, 0);
    EXPECT_TRUE(watcher()->waiting());
    EXPECT_EQ(messages.last(), "Waiting for game.p1 to be written completely…");
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 6);

    // A chat log and a sync program's temporary file in the folder start no quiet period.
    writeAll(folder + "chat.log", "hello");
    writeAll(folder + ".game.p1.sync~", "x");
    watcher()->quietPeriodEnded(); // the wait in progress ends; the report is still unfinished
    watcher()->noteChange();

    writeAll(folder + "game.p1", whole); // the writer finishes
    changed();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 7);
    EXPECT_EQ(messages.last(), "Turn files reloaded: 1 planet changed");

    // A writer that never finishes: after the last wait, what is there is read, and said so.
    writeAll(folder + "game.p1", agedReport(8).chopped(2));
    changed();
    EXPECT_EQ(reloads, 2);
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 8);
    EXPECT_TRUE(messages.last().contains("game.p1 was still being written after 10 s"))
        << messages.last().toStdString();

    // Nothing of the game changed: nothing starts.
    writeAll(folder + "chat.log", "hello again");
    watcher()->noteChange();
    EXPECT_FALSE(watcher()->waiting());
}

TEST_F(Follow, FollowingStopsWithTheFolderAndResumesWhenItIsBack)
{
    const QString away = dir.path() + "/away";
    ASSERT_TRUE(QDir().rename(folder, away));
    watcher()->noteChange(); // the folder's own notice
    EXPECT_FALSE(watcher()->following());
    EXPECT_TRUE(messages.last().startsWith("Following stopped: the game folder")) << messages.last().toStdString();
    watcher()->checkFolder();
    EXPECT_FALSE(watcher()->following());

    // Back, with a new report in it: following resumes and the new turn is read.
    writeAll(away + "/game.p1", aged(readAll(away + "/game.p1"), 9));
    ASSERT_TRUE(QDir().rename(away, folder));
    watcher()->checkFolder();
    EXPECT_TRUE(watcher()->following());
    EXPECT_TRUE(
        messages.contains("Following resumed: the game folder " + QDir::toNativeSeparators(folder) + " is back."));
    quietPeriodsEnd();
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 9);

    // Gone again, then back: F5 watches afresh and reads.
    ASSERT_TRUE(QDir().rename(folder, away));
    watcher()->noteChange();
    ASSERT_FALSE(watcher()->following());
    ASSERT_TRUE(QDir().rename(away, folder));
    writeAll(folder + "game.p1", agedReport(4));
    follower->reload(true);
    EXPECT_TRUE(watcher()->following());
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 4);
}

TEST_F(Follow, EveryExportFileIsWatchedButTheProgramsOwnIsNoNewTurn)
{
    // export.p16 alone, new in the folder.
    writeAll(folder + "export.p16", "\"Gorzanris\",\"Kethari\",0,1000,50,10,\"\",\"1\",\"20\",\"50\"\r\n");
    changed();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(s.AllPlanets.ByID(1)->Owner, "Kethari");
    EXPECT_EQ(messages.last(), "Turn files reloaded: 1 planet changed");

    // The program writes the player's own export file: nothing to read.
    const int before = messages.size();
    writeAll(folder + "export.p1", "\"Gorzanris\",\"Kethari\",0,1000,50,10,\"\",\"1\",\"20\",\"50\"\r\n");
    follower->ownFileWritten(folder + "export.p1");
    changed();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(messages.size(), before);
}

TEST_F(Follow, ATurnWithoutPlanetsOrReportLinesKeepsTheGalaxyAndSaysWhy)
{
    const int planets = s.AllPlanets.Count();
    struct Case {
        const char* file;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"game.p1", "", "game.p1: the planets report lists no planet"},
        {"game.p1", "Name\r\n", "game.p1: the planets report lists no planet"},
        {"game.p1", QByteArray("\xFF\xFEN\0a\0\r\0\n\0", 10), "game.p1 is UTF-16 text"},
        {"game.p1", "Name\r\nNowhere\tx\r\n", "no line of the planets report could be read"},
        {"game.map", "#\tX\tY\tName\r\n", "game.map: the map file gives no planet"},
    };
    const QByteArray map = readAll(folder + "game.map"), report = readAll(folder + "game.p1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        writeAll(folder + c.file, c.bytes);
        changed();
        EXPECT_EQ(reloads, 0);
        EXPECT_EQ(s.AllPlanets.Count(), planets);
        EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 6);
        EXPECT_TRUE(messages.last().startsWith("Turn files not reloaded: ")) << messages.last().toStdString();
        EXPECT_TRUE(messages.last().contains(c.reason)) << messages.last().toStdString();
        writeAll(folder + "game.map", map);
        writeAll(folder + "game.p1", report);
        follower->follow();
    }
}

TEST(ChangedPlanets, CountWhatAPlayerSeesChange)
{
    Map before;
    for (int16_t id = 1; id <= 3; ++id) {
        PlanetPtr p = before.Add("P" + std::to_string(id));
        p->PlanetName = "P" + std::to_string(id);
        p->ID = id;
        p->Owner = "Kethari";
    }
    struct Case {
        const char* what;
        std::function<void(Planet&)> change;
        bool seen;
    };
    const Case cases[] = {
        {"owner", [](Planet& p) { p.Owner = "Solune"; }, true},
        {"report age", [](Planet& p) { p.ReportAge = 2; }, true},
        {"population", [](Planet& p) { p.Population = 5; }, true},
        {"value", [](Planet& p) { p.Value = 5; }, true},
        {"defences", [](Planet& p) { p.Def = 5; }, true},
        {"starbase", [](Planet& p) { p.StarbaseType = "Fort"; }, true},
        {"mines", [](Planet& p) { p.Mines = 5; }, true},
        {"factories", [](Planet& p) { p.Factories = 5; }, true},
        {"surface minerals", [](Planet& p) { p.SurfaceBora = 5; }, true},
        {"mining rate", [](Planet& p) { p.RateGerm = 5; }, true},
        {"concentration", [](Planet& p) { p.ConcentrationIron = 5; }, true},
        {"environment", [](Planet& p) { p.Temp = "-20"; }, true},
        {"resources", [](Planet& p) { p.Resources = 5; }, false},
        {"production", [](Planet& p) { p.ProductionQueue = "Mines"; }, false},
        {"scanner", [](Planet& p) { p.Scanner = 5; }, false},
    };
    // A table of copies of the records (a copied table would share them).
    auto copyOf = [](const Map& m) {
        Map copy;
        for (const auto& p : m)
            *copy.Add(p->PlanetName) = *p;
        return copy;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Map after = copyOf(before);
        c.change(*after.Item("P2"));
        EXPECT_EQ(changedPlanets(before, after), c.seen ? std::vector<int16_t>{2} : std::vector<int16_t>{});
    }
    Map fewer = copyOf(before);
    fewer.Remove("P2");
    fewer.Remove("P3");
    PlanetPtr p4 = fewer.Add("P4");
    p4->PlanetName = "P4";
    p4->ID = 4;
    EXPECT_EQ(changedPlanets(before, fewer), (std::vector<int16_t>{4, 2, 3}));
}

} // namespace
