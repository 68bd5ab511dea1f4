// The game's history in the window: every load recorded off the window's thread, the Changes dock
// and layer, the History view with its plot, notes in the Planets table, the Source column, and a
// damaged store named on the status bar. Runs on a copy of the demo galaxy.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/gamechoice.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "history/gamehistory.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "support/folders.h"
#include "ui/changesdock.h"
#include "ui/changeslayer.h"
#include "ui/historyplot.h"
#include "ui/historyview.h"
#include "ui/mapwindow.h"
#include "ui/planetsdock.h"
#include "ui/planetsfilter.h"
#include "ui/planetstablemodel.h"
#include "ui/turnhistory.h"

using namespace vornex;
using namespace vornex::ui;

namespace {

class History : public ::testing::Test {
protected:
    QTemporaryDir game, data;
    QString folder;
    ProgramState s;
    MemorySettings store;
    FixedAnswer prompter;
    std::unique_ptr<MapWindow> w;

    void SetUp() override
    {
        ASSERT_TRUE(game.isValid() && data.isValid());
        test::useDataFolder(data.path());
        for (const QFileInfo& f : QDir(VORNEX_DEMO_DIR).entryInfoList(QDir::Files))
            ASSERT_TRUE(QFile::copy(f.absoluteFilePath(), QDir(game.path()).filePath(f.fileName())));
        folder = game.path() + "/";
        storeGameChoice(store, Game{folder.toStdString(), "game", playerNumberOf(1)});
    }
    void open(int16_t selected = 10)
    {
        ASSERT_EQ(startGame(s, store, prompter, FileExists), StartupResult::Ready);
        s.view.PlanetSelected = selected;
        w = std::make_unique<MapWindow>(s, store, prompter);
        w->resize(1400, 900);
        w->show();
        settle();
    }
    void TearDown() override
    {
        if (w) w->close();
    }
    // Lets the history's worker finish and hands its answers to the window (twice: an answer may ask
    // for more).
    void settle()
    {
        for (int i = 0; i < 3; ++i)
            w->turnHistory()->recorder().finishPending();
    }
    std::string storePath() const
    {
        return history::storePath(historyFolder(), history::gameIdentity(s.AllPlanets, 1));
    }
    // Where the histories are kept: VornexTools/history in the user's data folder.
    std::string historyFolder() const
    {
        return QDir::toNativeSeparators(data.path() + "/VornexTools/history").toStdString();
    }
    // A year later: every report one year older, Solmor 30000 colonists larger.
    void nextYear()
    {
        QFile f(folder + "game.p1");
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        f.close();
        for (int i = 1; i < lines.size(); ++i) {
            QList<QByteArray> fields = lines[i].split('\t');
            if (fields.size() < 5) continue;
            fields[3] = QByteArray::number(fields[3].toInt() + 1);
            if (fields[0] == "Solmor") fields[4] = QByteArray::number(fields[4].toInt() + 30000);
            lines[i] = fields.join('\t');
        }
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(lines.join('\n'));
    }
    PlanetsDock* planets() const { return w->planetsDock(); }
    int column(const QString& title) const
    {
        auto* model = planets()->filter()->sourceModel();
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal).toString() == title) return c;
        return -1;
    }
    QString cell(int16_t id, const QString& title) const
    {
        auto* model = planets()->filter()->sourceModel();
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->index(r, 0).data().toInt() == id) return model->index(r, column(title)).data().toString();
        return "(no row)";
    }
};

TEST_F(History, EveryLoadIsRecordedAndTheReloadNamesTheBiggestChanges)
{
    open();
    auto* turns = w->turnHistory();
    ASSERT_EQ(turns->recorder().turns().size(), 1u);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(storePath())));

    nextYear();
    w->reloadTurnFiles();
    settle();
    ASSERT_EQ(turns->recorder().turns().size(), 2u);
    const QString status = w->statusBar()->currentMessage();
    EXPECT_TRUE(status.startsWith("Turn files reloaded: ")) << status.toStdString();
    EXPECT_TRUE(status.contains("turn 2 recorded: Solmor: population 49600 to 79600 (+30000)")) << status.toStdString();

    // The dock lists the turn's changes; a row selects its planet; the layer marks them.
    ChangesDock* dock = turns->changesDock();
    EXPECT_EQ(dock->fromTurn(), 1);
    EXPECT_EQ(dock->toTurn(), 2);
    auto* table = dock->findChild<QTableWidget*>("ChangesTable");
    ASSERT_GE(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), "Solmor");
    EXPECT_EQ(table->item(0, 1)->text(), "population");
    w->selectPlanet(1);
    table->setCurrentCell(0, 0);
    EXPECT_EQ(s.view.PlanetSelected, 10);
    const auto& marks = turns->changesLayer()->marks();
    EXPECT_NE(std::find_if(marks.begin(), marks.end(), [](const auto& m) { return m.first == 10; }), marks.end());
    QAction* toggle = w->findChild<QAction*>("Changes");
    ASSERT_TRUE(toggle);
    EXPECT_TRUE(toggle->isCheckable());

    // Reloading the same files records nothing new.
    w->reloadTurnFiles();
    settle();
    EXPECT_EQ(turns->recorder().turns().size(), 2u);
}

TEST_F(History, ThePanelShowsAPlanetsTurnsAndItsNote)
{
    open(10);
    nextYear();
    w->reloadTurnFiles();
    settle();
    HistoryView* view = w->turnHistory()->historyView();
    EXPECT_EQ(view->planet(), 10);
    EXPECT_EQ(view->findChild<QLabel*>("historyLastReported")->text(), "last reported in turn 1");
    auto* table = view->findChild<QTableWidget*>("historyTable");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), "2"); // newest first
    EXPECT_EQ(table->item(0, 2)->text(), "79600");
    EXPECT_EQ(table->item(1, 2)->text(), "49600");
    const auto& plotted = view->plot()->turns();
    ASSERT_EQ(plotted.size(), 2u);
    EXPECT_EQ(plotted[1].population, 79600);
    EXPECT_TRUE(plotted[1].owner.isValid()); // Hollow Choir's colour along the turns

    // A note typed in the panel: in the Notes column, found by the filter, never exported.
    auto* note = view->findChild<QLineEdit*>("planetNote");
    note->setText("Minefield at the Jump Gate");
    note->setModified(true);
    emit note->editingFinished();
    EXPECT_EQ(cell(10, "Notes"), "Minefield at the Jump Gate");
    planets()->findChild<QLineEdit*>("txtPlanetFilter")->setText("jump gate");
    ASSERT_EQ(planets()->filter()->rowCount(), 1);
    EXPECT_EQ(planets()->filter()->index(0, 0).data().toInt(), 10);
    EXPECT_EQ(s.AllPlanets.ByID(10)->Export().find("Minefield"), std::string::npos);
    settle();

    // Kept across windows and loads.
    w->close();
    w.reset();
    s = ProgramState();
    open(10);
    EXPECT_EQ(w->turnHistory()->historyView()->findChild<QLineEdit*>("planetNote")->text(),
              "Minefield at the Jump Gate");
    EXPECT_EQ(cell(10, "Notes"), "Minefield at the Jump Gate");
}

TEST_F(History, TheSourceColumnSaysWhereTheFiguresComeFrom)
{
    open();
    EXPECT_EQ(cell(10, "Source"), "report");   // Solmor, from the planets report
    EXPECT_EQ(cell(4, "Source"), "export.p2"); // Façade: export.p2's record is newer
    bool mapOnly = false;
    for (const auto& p : s.AllPlanets)
        if (p->ReportAge == -1) mapOnly = mapOnly || cell(p->ID, "Source") == "map";
    EXPECT_TRUE(mapOnly);
}

TEST_F(History, ADamagedStoreIsMovedAsideAndTheStatusBarSaysSo)
{
    // The store's name comes from the game: load the planets once to know it.
    ProgramState probe;
    ASSERT_EQ(startGame(probe, store, prompter, FileExists), StartupResult::Ready);
    const std::string path = history::storePath(historyFolder(), history::gameIdentity(probe.AllPlanets, 1));
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    QFile bad(QString::fromStdString(path));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is no database\r\n");
    bad.close();

    open();
    const QString status = w->turnHistory()->lastStatus();
    EXPECT_TRUE(status.startsWith("The history store was damaged")) << status.toStdString();
    EXPECT_TRUE(status.contains(".damaged-")) << status.toStdString();
    EXPECT_EQ(w->turnHistory()->recorder().turns().size(), 1u); // a new store, this turn in it
}

} // namespace
