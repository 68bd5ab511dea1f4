// What the window leaves until the map has painted once (the history, the folder watch, the hidden
// docks), the game's files read while the window is built, and the map layers kept between starts.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "app/backgroundread.h"
#include "app/gamechoice.h"
#include "app/gamewatcher.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "support/folders.h"
#include "ui/loadnotesbutton.h"
#include "ui/mapwindow.h"
#include "ui/planetstablemodel.h"
#include "ui/turnhistory.h"

using namespace vornex;
using namespace vornex::ui;

namespace {

// Counts the map's paints.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

class FirstPaint : public ::testing::Test {
protected:
    QTemporaryDir dir, data;
    QString folder;
    MemorySettings store;
    FixedAnswer prompter;
    ProgramState s;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid() && data.isValid());
        test::useDataFolder(data.path()); // a history of this test's own
        for (const QFileInfo& f : QDir(VORNEX_DEMO_DIR).entryInfoList(QDir::Files))
            ASSERT_TRUE(QFile::copy(f.absoluteFilePath(), dir.filePath(f.fileName())));
        folder = dir.path() + "/";
        storeGameChoice(store, Game{folder.toStdString(), "game", playerNumberOf(1)});
    }
    Game game() const { return Game{folder.toStdString(), "game", playerNumberOf(1)}; }
    // The window as the program opens it: the files read while it is built.
    std::unique_ptr<MapWindow> openInBackground(ProgramState& state)
    {
        state.game = game();
        state.view = storedView(store);
        BackgroundRead reading(state.game);
        return std::make_unique<MapWindow>(state, store, prompter, [&] { takeTables(state, reading.take()); });
    }
    void append(const QString& file, const QByteArray& bytes)
    {
        QFile f(dir.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(bytes);
    }
};

} // namespace

// Built and shown, the window has recorded nothing, watches nothing and counted no race; the map's
// first paint brings all of it, and the hidden Planets dock fills its rows only when it shows.
TEST_F(FirstPaint, TheRestOfTheStartComesAfterTheMapsFirstPaint)
{
    auto w = openInBackground(s);
    auto* watcher = w->findChild<GameWatcher*>();
    auto* history = w->findChild<TurnHistory*>();
    auto* races = w->findChild<QTableWidget*>("tblRaces");
    auto* rows = w->findChild<PlanetsTableModel*>();
    ASSERT_TRUE(watcher && history && races && rows);
    PaintCounter counter;
    w->mapSurface()->installEventFilter(&counter);
    w->resize(1200, 800);
    w->show();
    EXPECT_TRUE(watcher->snapshot().empty()) << "no file watched yet";
    EXPECT_EQ(races->rowCount(), 0);
    history->recorder().finishPending();
    EXPECT_TRUE(history->recorder().turns().empty());

    for (int i = 0; i < 50 && counter.paints == 0; ++i)
        QApplication::processEvents();
    ASSERT_GT(counter.paints, 0);
    QApplication::processEvents(); // the step queued by the paint
    EXPECT_FALSE(watcher->snapshot().empty());
    EXPECT_GT(races->rowCount(), 1);
    history->recorder().finishPending();
    EXPECT_EQ(history->recorder().turns().size(), 1u);

    EXPECT_EQ(rows->rowCount(), 0) << "the hidden dock has built no row";
    w->findChild<QAction*>("ShowPlanets")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(rows->rowCount(), s.AllPlanets.Count());
}

// A window never painted finishes its start as soon as one of those parts is asked for.
TEST_F(FirstPaint, AskingForAPartFinishesTheStart)
{
    ASSERT_EQ(startGame(s, store, prompter, FileExists), StartupResult::Ready);
    MapWindow w(s, store, prompter);
    EXPECT_FALSE(w.gameWatcher()->snapshot().empty());
    w.turnHistory()->recorder().finishPending();
    EXPECT_EQ(w.turnHistory()->recorder().turns().size(), 1u);
    w.close();
}

// The files read beside the building of the window give the same tables and the same notes as the
// reading at start-up did, whether the files are whole or not; the window reports them alike.
TEST_F(FirstPaint, FilesReadBesideTheWindowReportAsBefore)
{
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"whole files", [] {}},
        {"a bad line in the report", [&] { append("game.p1", "Nowhere\tx\ty\r\n"); }},
        {"a bad export file", [&] { append("export.p2", "\r\nbroken\t\t\r\n"); }},
        {"no map file", [&] { QFile::remove(dir.filePath("game.map")); }},
    };
    for (const auto& [what, damage] : cases) {
        damage();
        ProgramState before, now;
        ASSERT_EQ(startGame(before, store, prompter, FileExists), StartupResult::Ready) << what;
        MapWindow plain(before, store, prompter);
        auto w = openInBackground(now);
        EXPECT_EQ(now.AllPlanets.Count(), before.AllPlanets.Count()) << what;
        EXPECT_EQ(now.AllPlayers.Count(), before.AllPlayers.Count()) << what;
        EXPECT_EQ(w->diagnosticsText(), plain.diagnosticsText()) << what;
        auto* note = w->findChild<LoadNotesButton*>();
        auto* plainNote = plain.findChild<LoadNotesButton*>();
        ASSERT_EQ(note != nullptr, plainNote != nullptr) << what;
        if (note) {
            EXPECT_EQ(note->text(), plainNote->text()) << what;
        }
        EXPECT_EQ(note != nullptr, std::string(what) != "whole files") << what;
    }
}

// The layers shown when the window closes are shown at the next start; before any were stored each
// layer keeps its own default (Changes shown, Names not).
TEST_F(FirstPaint, MapLayersShownComeBackAtTheNextStart)
{
    ASSERT_EQ(startGame(s, store, prompter, FileExists), StartupResult::Ready);
    auto shown = [](MapWindow& w, const char* layer) { return w.findChild<QAction*>(layer)->isChecked(); };
    {
        MapWindow w(s, store, prompter);
        EXPECT_TRUE(shown(w, "Changes"));
        EXPECT_FALSE(shown(w, "Names"));
        w.findChild<QAction*>("Names")->setChecked(true);
        w.findChild<QAction*>("Legend")->setChecked(true);
        w.findChild<QAction*>("Changes")->setChecked(false);
        w.close();
    }
    ProgramState again;
    ASSERT_EQ(startGame(again, store, prompter, FileExists), StartupResult::Ready);
    MapWindow w(again, store, prompter);
    EXPECT_TRUE(shown(w, "Names"));
    EXPECT_TRUE(shown(w, "Legend"));
    EXPECT_FALSE(shown(w, "Changes"));
    EXPECT_FALSE(shown(w, "Ranges"));
    EXPECT_TRUE(w.namesShown());
    w.close();
}
