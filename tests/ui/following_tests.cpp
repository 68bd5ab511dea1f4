// Following a game: the open dialog, reloading a new turn, the planet table and its link with the
// map, saving the table and the map. Runs on a copy of the demo galaxy.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

#include "analysis/panel.h"
#include "app/gamechoice.h"
#include "app/gamewatcher.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "io/platform.h"
#include "model/keyfold.h"
#include "support/demowindow.h"
#include "support/folders.h"
#include "ui/dialogs.h"
#include "ui/folderquestion.h"
#include "ui/mapwindow.h"
#include "ui/opengamedialog.h"
#include "ui/planetsdock.h"
#include "ui/planetsfilter.h"
#include "ui/planetstablemodel.h"

using namespace vornex;
using namespace vornex::ui;
using vornex::testing::copyDemo;
using vornex::testing::readAll;

namespace {

void writeAll(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile f(path);
    ASSERT_TRUE(f.open(mode));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class Following : public vornex::testing::DemoWindow {
protected:
    SaveFailureAnswer saveFailureAnswer = SaveFailureAnswer::QuitWithoutSaving;

    void SetUp() override
    {
        dialogHooks().saveFailure = [this](const QString&, const QString& text) {
            messages << text;
            return saveFailureAnswer;
        };
        openDemo();
        if (HasFatalFailure()) return;
        w->gameWatcher()->setQuietInterval(50);
    }
    // The planet numbers of the rows shown, top to bottom.
    std::vector<int16_t> shownIds() const
    {
        std::vector<int16_t> ids;
        for (int i = 0; i < dock()->filter()->rowCount(); ++i)
            ids.push_back(dock()->filter()->index(i, 0).data().value<int16_t>());
        return ids;
    }
    int16_t currentRowId() const
    {
        const QModelIndex i = dock()->table()->selectionModel()->currentIndex();
        return i.isValid() ? dock()->filter()->index(i.row(), 0).data().value<int16_t>() : 0;
    }
    QString text(const char* name) const { return w->findChild<QLineEdit*>(name)->text(); }
    // Gorzanris's line of the planets report with another report age.
    void ageGorzanris(const QString& report)
    {
        QByteArray bytes = readAll(report);
        ASSERT_TRUE(bytes.contains("Gorzanris\t\t\t6\t"));
        bytes.replace("Gorzanris\t\t\t6\t", "Gorzanris\t\t\t7\t");
        writeAll(report, bytes);
    }
};

TEST(OpenGameDialogTest, ReasonsBesideTheFieldsAndOkOnlyWhenAllIsValid)
{
    QTemporaryDir dir;
    ASSERT_TRUE(copyDemo(dir.path()));
    QTemporaryDir empty;
    struct Case {
        QString folder, player, game;
        bool folderBad, playerBad, gameBad;
    };
    const Case cases[] = {
        {dir.path(), "1", "game", false, false, false},
        {QDir::toNativeSeparators(dir.path() + "/"), " 1 ", "game", false, false, false},
        {"", "1", "game", true, false, false},
        {dir.path() + "/missing", "1", "game", true, false, false},
        {empty.path(), "1", "game", true, false, false},
        {dir.path(), "0", "game", false, true, false},
        {dir.path(), "17", "game", false, true, false},
        {dir.path(), "1.5", "game", false, true, false},
        {dir.path(), "", "game", false, true, false},
        {dir.path(), "2", "game", false, false, true}, // no game.p2 in the demo
        {dir.path(), "1", "other", false, false, true},
        {dir.path(), "1", "", false, false, true},
        {dir.path(), "0.99999999999999999", "game", false, true, false},
        {dir.path(), "1", "../game", false, false, true}, // names that leave the folder
        {dir.path(), "1", dir.path() + "/game", false, false, true},
        {dir.path(), "01", "game", false, false, true}, // no game.p01
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.folder + "|" + c.player + "|" + c.game).toStdString());
        OpenGameDialog dialog(Game{});
        dialog.findChild<QLineEdit*>("txtFolder")->setText(c.folder);
        dialog.findChild<QLineEdit*>("txtPlayer")->setText(c.player);
        dialog.findChild<QComboBox*>("cboGame")->setEditText(c.game);
        EXPECT_EQ(!dialog.findChild<QLabel*>("lblFolderWhy")->text().isEmpty(), c.folderBad);
        EXPECT_EQ(!dialog.findChild<QLabel*>("lblPlayerWhy")->text().isEmpty(), c.playerBad);
        EXPECT_EQ(!dialog.findChild<QLabel*>("lblGameWhy")->text().isEmpty(), c.gameBad);
        EXPECT_EQ(dialog.findChild<QPushButton*>("cmdOK")->isEnabled(), !(c.folderBad || c.playerBad || c.gameBad));
    }
    // The game list offers the folder's map files; the choice comes back normalised.
    OpenGameDialog dialog(Game{dir.path().toStdString(), "game", playerNumberOf(1)});
    auto* games = dialog.findChild<QComboBox*>("cboGame");
    ASSERT_EQ(games->count(), 1);
    EXPECT_EQ(games->itemText(0), "game");
    EXPECT_EQ(dialog.choice(), (Game{test::keptFolder(dir.path()), "game", playerNumberOf(1)}));
    // A name that leaves the folder says why; a relative folder comes back absolute.
    games->setEditText("../game");
    EXPECT_TRUE(dialog.findChild<QLabel*>("lblGameWhy")->text().contains("path separator"));
    EXPECT_FALSE(dialog.choice());
    games->setEditText("game");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QFileInfo(dir.path()).absolutePath()));
    dialog.findChild<QLineEdit*>("txtFolder")->setText(QFileInfo(dir.path()).fileName());
    const auto relative = dialog.choice();
    QDir::setCurrent(before);
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->folder, test::keptFolder(dir.path()));
}

// The first start's question for the folder: the reason follows what is typed, and the demo
// galaxy is one button away.
TEST(FolderQuestionTest, SaysWhyAsTypedAndOffersTheDemo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(copyDemo(dir.path()));
    FolderQuestion question("Missing files!", QString::fromStdString(folderPrompt()), "No such folder.", "/nowhere");
    auto* folder = question.findChild<QLineEdit*>("txtFolder");
    auto* why = question.findChild<QLabel*>("lblWhy");
    EXPECT_EQ(folder->text(), "/nowhere"); // the last answer is offered again, with its reason
    EXPECT_EQ(why->text(), "No such folder.");
    EXPECT_TRUE(question.findChild<QLabel*>("lblPrompt")->text().contains("Enter location of files"));
    ASSERT_TRUE(question.findChild<QPushButton*>("cmdBrowse"));
    folder->setText(dir.path()); // no separator at its end
    EXPECT_EQ(why->text(), "");
    question.findChild<QPushButton*>("cmdOK")->click();
    const FolderAnswer typed = question.answer();
    EXPECT_EQ(typed.kind, FolderAnswer::Kind::Folder);
    EXPECT_EQ(typed.folder, dir.path().toStdString());

    folder->setText(dir.path() + "/more");
    EXPECT_EQ(why->text(), "No such folder.");
    question.findChild<QPushButton*>("cmdDemo")->click();
    EXPECT_EQ(question.answer().kind, FolderAnswer::Kind::Demo);
}

TEST_F(Following, ReloadKeepsSelectionViewModeAndUnsavedEditsAndSaysWhatChanged)
{
    s.view.XStart = 120;
    s.view.YStart = -40;
    s.view.Zoom = 1500;
    s.view.clickMode = ClickMode::Move;
    w->findChild<QLineEdit*>("txtPlayerName")->setText("Edited, not saved");
    ASSERT_EQ(s.yourPlayer()->PlayerName, "Edited, not saved");
    const QByteArray playersOnDisk = readAll(folder + "player.inf");

    ageGorzanris(folder + "game.p1");
    ::testing::internal::CaptureStdout();
    w->gameWatcher()->noteChange();
    EXPECT_TRUE(w->gameWatcher()->waiting());
    w->gameWatcher()->quietPeriodEnded();
    const std::string out = ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(out, "reloaded 150 planets from " + folder.toStdString() + "\n");
    EXPECT_EQ(w->statusBar()->currentMessage(), "Turn files reloaded: 1 planet changed.");
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 7);
    EXPECT_EQ(s.view.PlanetSelected, 10);
    EXPECT_EQ(text("txtPlanetName"), "Solmor Summary");
    EXPECT_EQ(std::tie(s.view.XStart, s.view.YStart, s.view.Zoom),
              std::make_tuple(int16_t(120), int16_t(-40), int16_t(1500)));
    EXPECT_EQ(s.view.clickMode, ClickMode::Move);
    EXPECT_EQ(s.yourPlayer()->PlayerName, "Edited, not saved");
    EXPECT_EQ(readAll(folder + "player.inf"), playersOnDisk);
    const int row = model()->rowOfPlanet(1);
    EXPECT_EQ(model()->index(row, PlanetsTableModel::ReportAge).data().toInt(), 7);

    // The ratings follow the race's ranges when the editor changes them.
    const QModelIndex hab = model()->index(row, PlanetsTableModel::Hab);
    const int habBefore = hab.data().toInt();
    auto panelHab = [&] {
        return computePanel(*s.selectedPlanet(), s.yourPlayer().get(), s.AllGravities).habitability.value_or("");
    };
    const std::string selectedBefore = panelHab();
    ASSERT_EQ(text("txtHabitability").toStdString(), selectedBefore);
    s.yourPlayer()->GravMin = 0.2f;
    s.yourPlayer()->GravMax = 0.25f;
    w->showRaceRanges();
    EXPECT_NE(model()->index(row, PlanetsTableModel::Hab).data().toInt(), habBefore);
    // The panel follows at once, without a new selection.
    ASSERT_NE(panelHab(), selectedBefore);
    EXPECT_EQ(text("txtHabitability").toStdString(), panelHab());

    // Nothing new on disk: the next quiet period reads nothing.
    ::testing::internal::CaptureStdout();
    w->gameWatcher()->noteChange();
    w->gameWatcher()->quietPeriodEnded();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    // A reload that fails keeps the galaxy and says why; by hand as well.
    const QByteArray mapBytes = readAll(folder + "game.map");
    ASSERT_TRUE(QFile::remove(folder + "game.map"));
    ::testing::internal::CaptureStdout();
    w->reloadTurnFiles();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(s.AllPlanets.Count(), 150);
    EXPECT_TRUE(w->statusBar()->currentMessage().startsWith("Turn files not reloaded: "));
    EXPECT_TRUE(w->statusBar()->currentMessage().contains("game.map"));

    // A new turn without the selected planet: the panel is emptied and the ring goes.
    QByteArray map = mapBytes;
    const qsizetype at = map.indexOf("\n10\t") + 1;
    ASSERT_GT(at, 0);
    map.remove(at, map.indexOf('\n', at) + 1 - at);
    writeAll(folder + "game.map", map);
    w->reloadTurnFiles();
    EXPECT_EQ(s.AllPlanets.Count(), 149);
    EXPECT_EQ(s.selectedPlanet(), nullptr);
    EXPECT_EQ(text("txtPlanetName"), "");
    EXPECT_EQ(text("txtHabitability"), "");
    const auto* cover = w->findChild<QLabel*>("unknownPlanetCover");
    EXPECT_TRUE(cover->isVisible());
    EXPECT_FALSE(cover->pixmap().isNull()); // drawn when it first shows
}

TEST_F(Following, TheStatusBarSaysWhileFollowingHasStoppedAndWhenItResumed)
{
    auto* stopped = w->findChild<QLabel*>("lblFollowingStopped");
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(stopped->isVisible());
    const QString away = QFileInfo(dir.path()).absolutePath() + "/" + QFileInfo(dir.path()).fileName() + "-away";
    ASSERT_TRUE(QDir().rename(dir.path(), away));
    w->gameWatcher()->noteChange();
    EXPECT_TRUE(stopped->isVisible());
    EXPECT_TRUE(w->statusBar()->currentMessage().startsWith("Following stopped"))
        << w->statusBar()->currentMessage().toStdString();
    ASSERT_TRUE(QDir().rename(away, dir.path()));
    w->gameWatcher()->checkFolder();
    EXPECT_FALSE(stopped->isVisible());
    EXPECT_TRUE(w->statusBar()->currentMessage().startsWith("Following resumed"))
        << w->statusBar()->currentMessage().toStdString();
}

TEST_F(Following, AReportWrittenInTwoChunksIsNeverReadHalf)
{
    const QString report = folder + "game.p1";
    ageGorzanris(report);
    const QByteArray whole = readAll(report);
    const QByteArray first = whole.left(whole.size() / 2), rest = whole.mid(whole.size() / 2);
    auto reported = [&] {
        int n = 0;
        for (const auto& p : s.AllPlanets)
            n += p->ReportAge != -1;
        return n;
    };
    const int before = reported();

    writeAll(report, first);
    w->gameWatcher()->noteChange();
    // The writer goes on; its change notice has not arrived when the quiet period ends.
    writeAll(report, rest, QIODevice::Append);
    ::testing::internal::CaptureStdout();
    w->gameWatcher()->quietPeriodEnded();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(w->gameWatcher()->waiting());
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 6);

    ::testing::internal::CaptureStdout();
    w->gameWatcher()->quietPeriodEnded();
    EXPECT_NE(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(reported(), before);
    EXPECT_EQ(s.AllPlanets.ByID(1)->ReportAge, 7);
}

TEST_F(Following, ColumnsSortAsNumbersWithEmptyRatingsLast)
{
    QTableView* table = dock()->table();
    struct Case {
        int column;
        bool numeric;
    };
    const Case cases[] = {{PlanetsTableModel::Id, true},         {PlanetsTableModel::X, true},
                          {PlanetsTableModel::Population, true}, {PlanetsTableModel::Value, true},
                          {PlanetsTableModel::Hab, true},        {PlanetsTableModel::HabTerra, true},
                          {PlanetsTableModel::Distance, true},   {PlanetsTableModel::Name, false}};
    for (const Case& c : cases) {
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            SCOPED_TRACE(::testing::Message() << "column " << c.column << " order " << order);
            table->sortByColumn(c.column, order);
            const int rows = dock()->filter()->rowCount();
            ASSERT_EQ(rows, 150);
            bool emptySeen = false;
            QVariant previous;
            for (int i = 0; i < rows; ++i) {
                const QVariant v = dock()->filter()->index(i, c.column).data();
                if (!v.isValid()) {
                    emptySeen = true;
                    continue;
                }
                EXPECT_FALSE(emptySeen) << "a figure after an empty cell in row " << i;
                if (previous.isValid()) {
                    const bool inOrder =
                        c.numeric
                            ? (order == Qt::AscendingOrder ? previous.toInt() <= v.toInt()
                                                           : previous.toInt() >= v.toInt())
                            : (order == Qt::AscendingOrder
                                   ? foldKey(previous.toString().toStdString()) <= foldKey(v.toString().toStdString())
                                   : foldKey(previous.toString().toStdString()) >= foldKey(v.toString().toStdString()));
                    EXPECT_TRUE(inOrder) << previous.toString().toStdString() << " then " << v.toString().toStdString();
                }
                previous = v;
            }
            if (c.column == PlanetsTableModel::Hab) {
                EXPECT_TRUE(emptySeen); // the demo has unreported planets
            }
        }
    }
}

TEST_F(Following, FiltersByNameOwnerAndReport)
{
    auto* name = dock()->findChild<QLineEdit*>("txtPlanetFilter");
    auto* owner = dock()->findChild<QComboBox*>("cboOwnerFilter");
    name->setText("EX");
    std::vector<int16_t> expected;
    for (const auto& p : s.AllPlanets)
        if (QString::fromStdString(p->PlanetName).contains("ex", Qt::CaseInsensitive)) expected.push_back(p->ID);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(shownIds(), expected);

    name->clear();
    owner->setCurrentIndex(owner->findText("Kethari"));
    dock()->findChild<QCheckBox*>("chkReportedOnly")->setChecked(true);
    expected.clear();
    for (const auto& p : s.AllPlanets)
        if (p->Owner == "Kethari" && p->ReportAge != -1) expected.push_back(p->ID);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(shownIds(), expected);
    // Filtering is no pick of a planet.
    EXPECT_EQ(s.view.PlanetSelected, 10);
}

TEST_F(Following, TableAndMapSelectTheSamePlanetBothWays)
{
    dock()->show();
    EXPECT_EQ(currentRowId(), 10);
    dock()->table()->sortByColumn(PlanetsTableModel::Name, Qt::AscendingOrder);
    EXPECT_EQ(currentRowId(), 10);

    // A row picked: the panel, the selection and the distances follow.
    const int row = dock()->filter()->mapFromSource(model()->index(model()->rowOfPlanet(23), 0)).row();
    dock()->table()->selectionModel()->setCurrentIndex(dock()->filter()->index(row, 0),
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(s.view.PlanetSelected, 23);
    EXPECT_EQ(text("txtPlanetName"), "Helen Summary");
    EXPECT_EQ(model()->index(model()->rowOfPlanet(23), PlanetsTableModel::Distance).data().toInt(), 0);

    // A planet out of view is brought into it.
    w->mapSurface()->moveView(ViewStep::ZoomIn, 0, 0);
    w->mapSurface()->moveView(ViewStep::ZoomIn, 0, 0);
    PlanetPtr far = s.AllPlanets.ByID(20);
    auto inView = [&](const Planet& p) {
        return w->mapSurface()->rect().contains(
            w->mapSurface()->widgetPoint(QPointF(p.Xcord - s.view.XStart, p.Ycord - s.view.YStart)).toPoint());
    };
    ASSERT_FALSE(inView(*far));
    w->selectPlanet(20);
    EXPECT_TRUE(inView(*far));
    EXPECT_EQ(currentRowId(), 20);

    // A map click selects the row.
    PlanetPtr p = s.AllPlanets.ByID(5);
    w->selectNearestPlanet(p->Xcord, p->Ycord);
    EXPECT_EQ(currentRowId(), 5);

    // A distance beyond 16 bits leaves its cell empty, never with the figure from the planet
    // selected before.
    const QModelIndex helen = model()->index(model()->rowOfPlanet(23), PlanetsTableModel::Distance);
    w->selectPlanet(23);
    ASSERT_EQ(helen.data(), QVariant(0));
    p->Xcord = -32768;
    p->Ycord = -32768;
    w->selectPlanet(5);
    EXPECT_FALSE(helen.data().isValid()) << helen.data().toString().toStdString();
}

TEST_F(Following, TheDockKeepsItsVisibilityAndPlace)
{
    EXPECT_FALSE(dock()->isVisible());
    w->findChild<QAction*>("ShowPlanets")->trigger();
    w->addDockWidget(Qt::LeftDockWidgetArea, dock());
    w->close();
    w = std::make_unique<MapWindow>(s, store, prompter);
    w->show();
    EXPECT_TRUE(dock()->isVisible());
    EXPECT_EQ(w->dockWidgetArea(dock()), Qt::LeftDockWidgetArea);
}

TEST_F(Following, SavesTheRowsShownAsCsvAndTheMapAsPng)
{
    dock()->findChild<QCheckBox*>("chkReportedOnly")->setChecked(true);
    dock()->table()->sortByColumn(PlanetsTableModel::HabTerra, Qt::DescendingOrder);
    const QString csv = folder + "planets.csv";
    ASSERT_EQ(dock()->saveCsv(csv), "");
    const QList<QByteArray> lines = readAll(csv).split('\n');
    ASSERT_EQ(lines.size(), dock()->filter()->rowCount() + 2); // header, rows, the empty rest after the last CR LF
    // The report tool's columns with --from and --near-own, after a byte order mark for spreadsheets.
    EXPECT_EQ(lines[0],
              "\xEF\xBB\xBFID,Name,X,Y,Owner,ReportAge,Population,Value,Hab,HabTerra,Distance,NearOwn,NearOwnName\r");
    EXPECT_TRUE(lines[1].startsWith(QByteArray::number(shownIds().front()) + ","));
    EXPECT_NE(dock()->saveCsv(folder + "no/such/folder/planets.csv"), "");

    const QString png = folder + "map.png";
    w->findChild<QAction*>("MapImageTitle")->setChecked(false); // the map alone
    ASSERT_EQ(w->saveMapImage(png), "");
    QImage image(png);
    EXPECT_EQ(image.size(), w->mapSurface()->size() * w->mapSurface()->devicePixelRatioF());
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::black));
    EXPECT_NE(w->saveMapImage(folder + "no/such/folder/map.png"), "");
}

TEST_F(Following, OpeningAnotherGameSavesTheOneLeftAndRemembersIt)
{
    QTemporaryDir other;
    ASSERT_TRUE(copyDemo(other.path(), "second"));
    w->findChild<QLineEdit*>("txtPlayerName")->setText("Saved on leaving");

    const std::string otherFolder = test::keptFolder(other.path());
    EXPECT_FALSE(w->openGame(Game{otherFolder, "second", playerNumberOf(2)})); // no report of player 2
    EXPECT_EQ(s.game.name, "game");

    // Leaving a game whose players table cannot be saved asks as closing does: Cancel stays.
    saveFailureAnswer = SaveFailureAnswer::Cancel;
    vornex::platform::injectFaultForTesting(vornex::platform::Step::Replace);
    EXPECT_FALSE(w->openGame(Game{otherFolder, "second", playerNumberOf(1)}));
    vornex::platform::injectFaultForTesting(vornex::platform::Step::None);
    EXPECT_EQ(s.game.name, "game");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains("player.inf"));
    saveFailureAnswer = SaveFailureAnswer::QuitWithoutSaving;

    ASSERT_TRUE(w->openGame(Game{otherFolder, "second", playerNumberOf(1)}));
    EXPECT_TRUE(readAll(folder + "player.inf").contains("Saved on leaving"));
    EXPECT_EQ(s.game.folder, otherFolder);
    EXPECT_EQ(s.game.name, "second");
    EXPECT_EQ(s.AllPlanets.Count(), 150);
    const auto recent = recentGames(store);
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0], (Game{otherFolder, "second", playerNumberOf(1)}));
    EXPECT_EQ(recent[1], (Game{folder.toStdString(), "game", playerNumberOf(1)}));
    EXPECT_EQ(store.read(kApplication, "Settings", "GameName", ""), "second");
    EXPECT_EQ(model()->rowCount(), 150);

    // The new game's files are the ones watched now.
    ageGorzanris(other.path() + "/second.p1");
    ::testing::internal::CaptureStdout();
    w->gameWatcher()->noteChange();
    w->gameWatcher()->quietPeriodEnded();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "reloaded 150 planets from " + test::keptFolder(other.path()) + "\n");
    w->close(); // while the second game's folder is still there
}

} // namespace

namespace {

double luminance(const QColor& c)
{
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(DesktopColours, ADarkPaletteGivesDarkPanelsWithReadableCaptionsAndKeepsTheBlackMap)
{
    QTemporaryDir dir;
    ASSERT_TRUE(copyDemo(dir.path()));
    MemorySettings store;
    FixedAnswer prompter;
    storeGameChoice(store, Game{dir.path().toStdString() + "/", "game", playerNumberOf(1)});
    ProgramState s;
    ASSERT_EQ(startGame(s, store, prompter, FileExists), StartupResult::Ready);

    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    {
        MapWindow w(s, store, prompter);
        w.resize(1016, 760);
        const QImage client = w.centralWidget()->grab().toImage();
        const QColor panel = client.pixelColor(QPoint(300, 600) * client.devicePixelRatio());
        EXPECT_LT(panel.lightness(), 80);
        for (const char* name :
             {"lblIron", "lblBora", "lblGerm", "lblBoraniumRow", "lblGermaniumRow", "lblIroniumRow"}) {
            const QString css = w.findChild<QLabel*>(name)->styleSheet();
            const QColor caption(css.section("color:", 1).section(';', 0, 0).trimmed());
            ASSERT_TRUE(caption.isValid()) << name;
            EXPECT_GE(contrast(caption, panel), 4.5) << name << " " << caption.name().toStdString();
        }
        EXPECT_EQ(w.mapSurface()->image().pixelColor(1, 1), QColor(Qt::black));
        w.close();
    }
    QApplication::setPalette(light);
    // Back on a light desktop the panel is its classic grey.
    MapWindow w(s, store, prompter);
    const QImage client = w.centralWidget()->grab().toImage();
    EXPECT_EQ(client.pixelColor(QPoint(300, 600) * client.devicePixelRatio()), QColor(0xc0, 0xc0, 0xc0));
    w.close();
}

} // namespace
