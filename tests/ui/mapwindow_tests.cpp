// The map window: the load steps, the planet panel, toolbar modes, Find, the resize rule, the
// load notes, the status bar and the unload order.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolTip>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "io/interfaces.h"
#include "support/fakes.h"
#include "support/galaxyfixture.h"
#include "ui/dialogs.h"
#include "ui/environmentstrip.h"
#include "ui/mapwindow.h"
#include "ui/mineralchart.h"

using namespace vornex;
using namespace vornex::testing;
using vornex::ui::MapSurface;
using vornex::ui::MapWindow;

namespace {

class MapWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProgramState s;
    test::FakeSettings store;
    test::ScriptedPrompter prompter;
    QString playersFile;
    bool playersFileBeforeFirstWrite = false;
    std::unique_ptr<MapWindow> w;
    QStringList messages;
    std::vector<std::optional<QString>> answers;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        s.game.folder = QDir(dir.path()).filePath("").toStdString();
        if (s.game.folder.back() != '/') s.game.folder += '/';
        playersFile = QDir(dir.path()).filePath("player.inf");
        store.beforeWrite = [this] {
            if (store.writes.empty()) playersFileBeforeFirstWrite = QFile::exists(playersFile);
        };
        s.AllGravities.Add("1")->Clicks = 0;
        s.AllGravities.Add("2")->Clicks = 20;
        PlayerPtr you = addPlayer(s, "Humans", 0x00FF0000);
        setHabRanges(*you, {1, 2}, {-63, 100}, {20, 80}, 3);
        addPlayer(s, "Others", 0x000000FF);

        PlanetPtr a = addPlanet(s, "Alpha", 100, 100, "Humans");
        a->Value = 45;
        a->Population = 12000;
        a->Scanner = 150;
        a->SurfaceBora = 1200;
        a->ConcentrationBora = 45;
        a->RateBora = 30;
        a->SurfaceIron = 4950;
        a->RateIron = 100;
        a->ConcentrationIron = 101;
        a->SurfaceGerm = 2500;
        setEnvironment(*a, "1", "15", "50");
        addPlanet(s, "Beta", 400, 300, "Uninhabited", -1);
        PlanetPtr g = addPlanet(s, "Gamma", 700, 700, "Uninhabited", 3);
        g->Value = 10;
        g->Population = 77;
        setEnvironment(*g, "7.77", "-120", "45"); // 7.77: no row in the gravity table

        s.game.player = playerNumberOf(1);
        s.view.Zoom = 2000;
        s.view.clickMode = ClickMode::Planets;
        s.view.PlanetSelected = 1;

        ui::dialogHooks().message = [this](const QString&, const QString& text) { messages << text; };
        ui::dialogHooks().input = [this](const QString&, const QString&) {
            auto a = answers.empty() ? std::nullopt : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return a;
        };
    }
    void TearDown() override
    {
        w.reset();
        ui::dialogHooks() = ui::DialogHooks{};
    }
    void open()
    {
        w = std::make_unique<MapWindow>(s, store, prompter);
        w->show();
        QApplication::processEvents();
    }
    QString text(const char* name) const
    {
        auto* e = w->findChild<QLineEdit*>(name);
        return e ? e->text() : QString("<no %1>").arg(name);
    }
    QRect box(const char* name) const
    {
        auto* l = w->findChild<QWidget*>(name);
        return l ? l->geometry() : QRect(-1, -1, -1, -1);
    }
    QAbstractButton* button(const char* name) const
    {
        auto* tb = w->findChild<QToolBar*>("mapToolbar");
        auto* a = w->findChild<QAction*>(name);
        return tb && a ? qobject_cast<QAbstractButton*>(tb->widgetForAction(a)) : nullptr;
    }
    View view() const { return View{s.view.Zoom, s.view.XStart, s.view.YStart}; }
};

} // namespace

TEST_F(MapWindowTest, LoadFillsThePanelForTheSelectedPlanet)
{
    open();
    EXPECT_EQ(w->windowTitle(), "VornexInfo") << "no game name";
    EXPECT_EQ(text("txtYourRace"), "Humans");
    EXPECT_EQ(text("txtPlanetName"), "Alpha Summary");
    EXPECT_EQ(text("txtXcord"), "100");
    EXPECT_EQ(text("txtYcord"), "100");
    EXPECT_EQ(text("txtPopulation"), "12000");
    EXPECT_EQ(text("txtSummaryPopulation"), "Population: 12000");
    EXPECT_EQ(text("txtReportAge"), "Report is 0 years old");
    EXPECT_EQ(text("txtOwner"), "Humans");
    EXPECT_EQ(text("txtScanner"), "150(0)");
    EXPECT_EQ(text("txtSurfaceBora"), "1200");
    EXPECT_EQ(text("txtGrav"), "1g");
    EXPECT_EQ(text("txtTemp"), QString::fromUtf8("15\u00b0C"));
    EXPECT_EQ(text("txtRad"), "50mR");
    EXPECT_TRUE(text("txtValue").startsWith("Value: 45% (")) << text("txtValue").toStdString();
    EXPECT_TRUE(text("txtValue").endsWith("%)"));
    EXPECT_FALSE(text("txtHabitability").isEmpty());
    EXPECT_EQ(w->findChild<QLabel*>("lblBora")->toolTip(),
              "Boranium - Surface: 1200 - Concentration: 45 - Mining Rate: 30");
    EXPECT_TRUE(w->findChild<QLabel*>("lblIron")->toolTip().startsWith("Iron - Surface: 4950"));
    EXPECT_FALSE(w->findChild<QWidget*>("unknownPlanetCover")->isVisible());
    // Not drawn at all while a reported planet is shown.
    EXPECT_TRUE(w->findChild<QLabel*>("unknownPlanetCover")->pixmap().isNull());
    // Nothing on the window still shows a placeholder caption.
    for (auto* e : w->findChildren<QLineEdit*>())
        EXPECT_NE(e->text(), "Text1") << e->objectName().toStdString();
}

namespace {

// The first and last column of a pixel row of a widget's painting that holds this colour.
std::pair<int, int> columnsOf(QWidget* w, int y, const QColor& colour)
{
    const QImage image = w->grab().toImage().scaled(w->size());
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                std::abs(c.blue() - colour.blue()) <
            40) {
            if (first < 0) first = x;
            last = x;
        }
    }
    return {first, last};
}

} // namespace

// The core gives clicks and fractions; the panel's strips and chart place them at their own width.
TEST_F(MapWindowTest, ChartsShowTheFiguresWhereTheirScalesSay)
{
    open();
    auto* chart = w->findChild<ui::MineralChart*>("mineralChart");
    auto* gravity = w->findChild<ui::EnvironmentStrip*>("gravityStrip");
    auto* temp = w->findChild<ui::EnvironmentStrip*>("tempStrip");
    auto* rad = w->findChild<ui::EnvironmentStrip*>("radiationStrip");
    ASSERT_TRUE(chart && gravity && temp && rad);
    using M = ui::MineralChart;
    EXPECT_DOUBLE_EQ(*chart->row(M::Boranium).surface, 0.24); // 1200 of 5000
    EXPECT_DOUBLE_EQ(*chart->row(M::Germanium).surface, 0.5);
    EXPECT_DOUBLE_EQ(*chart->row(M::Ironium).surface, 0.99);
    EXPECT_DOUBLE_EQ(*chart->row(M::Ironium).mining, 1.0); // 4950 + 100, at the end
    EXPECT_DOUBLE_EQ(*chart->row(M::Boranium).concentration, 0.45);
    EXPECT_DOUBLE_EQ(*chart->row(M::Ironium).concentration, 1.0);
    EXPECT_EQ(gravity->value(), std::optional<double>(0));
    EXPECT_EQ(temp->value(), std::optional<double>(3.75)); // 15 degrees
    EXPECT_EQ(rad->value(), std::optional<double>(0));     // 50 units
    EXPECT_TRUE(gravity->terraform().has_value());
    // Your race's ranges in clicks: gravity 0..20, temperature -63..100 degrees, radiation 20..80.
    EXPECT_EQ(gravity->range(), std::make_optional(std::make_pair(0.0, 20.0)));
    EXPECT_EQ(temp->range(), std::make_optional(std::make_pair(-15.75, 25.0)));
    EXPECT_EQ(rad->range(), std::make_optional(std::make_pair(-30.0, 30.0)));

    // As painted: the radiation range from -30 to 30 clicks, at the top row where no marker lies.
    const auto [left, right] = columnsOf(rad, 2, ui::colourFromBgr(0x00008000));
    EXPECT_NEAR(left, rad->xOfClicks(-30), 1.5);
    EXPECT_NEAR(right, rad->xOfClicks(30), 1.5);
    // Ironium's surface bar ends at 99% of the chart, Boranium's at 24% (low in their rows, where
    // the concentration wedge is narrowest).
    const int ironRow = int(chart->rowBand(M::Ironium).bottom()) - 4;
    EXPECT_NEAR(columnsOf(chart, ironRow, QColor(0, 0, 255)).second, chart->xOf(0.99), 1.5);
    const int boraRow = int(chart->rowBand(M::Boranium).bottom()) - 4;
    EXPECT_NEAR(columnsOf(chart, boraRow, QColor(0, 255, 0)).second, chart->xOf(0.24), 1.5);
}

// What cannot be worked out for the planet shown shows empty, never the figure of the planet shown
// before: a gravity without a table row has no marker.
TEST_F(MapWindowTest, MissingGravityRowShowsNoGravityMarkerAndRatesZero)
{
    open();
    auto* gravity = w->findChild<ui::EnvironmentStrip*>("gravityStrip");
    ASSERT_TRUE(gravity && gravity->value());
    w->selectNearestPlanet(700, 700);
    EXPECT_EQ(s.view.PlanetSelected, 3);
    EXPECT_EQ(text("txtHabitability"), "0");
    EXPECT_EQ(text("txtValue"), "Value: 10% (0%)");
    EXPECT_FALSE(gravity->value().has_value()) << "not Alpha's marker";
    EXPECT_FALSE(gravity->terraform().has_value());
    EXPECT_EQ(w->findChild<ui::EnvironmentStrip*>("tempStrip")->value(), std::optional<double>(-30)); // -120 / 4
    EXPECT_EQ(text("txtTemp"), QString::fromUtf8("-120\u00b0C"));
    // A temperature that is no number: no marker, no ratings, no value line.
    s.AllPlanets.At(3)->Temp = "hot";
    w->selectNearestPlanet(700, 700);
    EXPECT_FALSE(w->findChild<ui::EnvironmentStrip*>("tempStrip")->value().has_value());
    EXPECT_EQ(text("txtHabitability"), "");
    EXPECT_EQ(text("txtValue"), "");
}

// A planet never reported shows its title, its coordinates and the cover; nothing of the planet
// shown before stays behind the cover. A point far from every planet keeps the selection.
TEST_F(MapWindowTest, UnreportedPlanetShowsTheCoverAndNoFigureOfThePlanetBefore)
{
    open();
    w->selectNearestPlanet(400 + 50, 300 + 49); // 99 away
    EXPECT_EQ(s.view.PlanetSelected, 2);
    EXPECT_TRUE(w->findChild<QWidget*>("unknownPlanetCover")->isVisible());
    EXPECT_FALSE(w->findChild<QWidget*>("planetDetails")->isVisible());
    EXPECT_EQ(text("txtPlanetName"), "Beta Summary");
    EXPECT_EQ(text("txtXcord"), "400");
    EXPECT_EQ(text("txtYcord"), "300");
    for (const char* name : {"txtPopulation", "txtOwner", "txtHabitability", "txtSurfaceBora", "txtScanner"})
        EXPECT_EQ(text(name), "") << name;
    EXPECT_EQ(w->findChild<QLabel*>("lblBora")->toolTip(), "");
    w->selectNearestPlanet(400 + 50, 300 + 50);
    EXPECT_EQ(s.view.PlanetSelected, 2);
    w->selectNearestPlanet(100, 100);
    EXPECT_FALSE(w->findChild<QWidget*>("unknownPlanetCover")->isVisible());
    EXPECT_EQ(text("txtPopulation"), "12000");
}

TEST_F(MapWindowTest, LeftClickInPlanetsModeSelectsAndRingsThePlanet)
{
    open();
    MapSurface* pic = w->mapSurface();
    // Map point of Gamma in widget pixels.
    const QPointF at = pic->widgetPoint(QPointF(700, 700));
    QMouseEvent press(QEvent::MouseButtonPress, at, pic->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(pic, &press);
    EXPECT_EQ(s.view.PlanetSelected, 3);
    EXPECT_EQ(text("txtPlanetName"), "Gamma Summary");
    EXPECT_EQ(view(), (View{2000, 0, 0}));
}

TEST_F(MapWindowTest, ToolbarShowsTheRestoredModeAndModesDoNotMoveTheView)
{
    s.view.clickMode = ClickMode::Move;
    open();
    EXPECT_TRUE(button("Move")->isChecked());
    EXPECT_FALSE(button("Planets")->isChecked());
    button("Zoom In")->click();
    EXPECT_EQ(s.view.clickMode, ClickMode::ZoomIn);
    EXPECT_TRUE(button("Zoom In")->isChecked());
    EXPECT_FALSE(button("Move")->isChecked());
    EXPECT_EQ(view(), (View{2000, 0, 0}));
    s.view.Zoom = 500;
    s.view.XStart = 7;
    button("Reset")->click();
    EXPECT_EQ(view(), (View{2000, 0, 0}));
}

TEST_F(MapWindowTest, NamesTwiceReturnsToTheDrawingWithoutNames)
{
    open();
    const QImage before = w->mapSurface()->image().copy();
    button("Names")->click();
    EXPECT_TRUE(w->namesShown());
    EXPECT_NE(w->mapSurface()->image(), before);
    button("Names")->click();
    EXPECT_FALSE(w->namesShown());
    EXPECT_EQ(w->mapSurface()->image(), before);
}

TEST_F(MapWindowTest, FindCentresAndSelectsOnlyAnExactName)
{
    open();
    s.view.Zoom = 500;
    answers = {QString("Gamma"), QString("Gamma")};
    w->findPlanet();
    EXPECT_EQ(view(), (View{500, 450, 450}));
    EXPECT_EQ(s.view.PlanetSelected, 3);
    EXPECT_EQ(text("txtPlanetName"), "Gamma Summary");
    w->findPlanet();
    EXPECT_EQ(view(), (View{500, 450, 450}));
    EXPECT_TRUE(messages.isEmpty());

    for (auto typed : {std::optional<QString>("gamma"), std::optional<QString>(" Gamma"), std::optional<QString>()}) {
        messages.clear();
        answers = {typed};
        w->findPlanet();
        EXPECT_EQ(messages, QStringList{"Not Found"});
        EXPECT_EQ(view(), (View{500, 450, 450}));
        EXPECT_EQ(s.view.PlanetSelected, 3);
    }
}

// The map takes the room the side column leaves, at every window size; the side column keeps its
// width and scrolls when the window is short.
TEST_F(MapWindowTest, MapTakesTheRoomBesideTheSideColumn)
{
    open();
    auto* column = w->findChild<QScrollArea*>("sideColumn");
    ASSERT_NE(column, nullptr);
    const int columnWidth = column->width();
    for (const QSize size : {QSize(1000, 720), QSize(800, 600), QSize(640, 480)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        QApplication::processEvents();
        MapSurface* map = w->mapSurface();
        const QRect inWindow(map->mapTo(w.get(), QPoint(0, 0)), map->size());
        EXPECT_EQ(column->width(), columnWidth);
        EXPECT_EQ(inWindow.left(), column->mapTo(w.get(), QPoint(column->width(), 0)).x());
        EXPECT_EQ(inWindow.right(), w->centralWidget()->geometry().right());
        EXPECT_LE(inWindow.bottom(), w->statusBar()->geometry().top()) << "the map stops above the status bar";
        EXPECT_EQ(map->image().size(), map->size() * map->devicePixelRatioF());
    }
}

// A file that could not be read at all is named in the note, not counted as a skipped line; the
// details list every note and scroll inside the screen however many there are.
TEST_F(MapWindowTest, UnreadFilesAreNamedAndTheDetailsFitTheScreen)
{
    s.game.name = "game";
    s.game.player = PlayerNumber{"05", 5};
    const std::string report = s.game.folder + "game.p05";
    s.diagnostics.push_back({report, 0, "file not found"});
    for (int line = 1; line <= 60; ++line)
        s.diagnostics.push_back({s.game.folder + "game.map", line, "the x coordinate is not a number"});
    // The lines of a file beyond those listed are one note that counts them.
    s.diagnostics.push_back({s.game.folder + "game.map", 61, "and 1,998,000 more lines rejected", 1998000});
    QString heading;
    QStringList lines;
    ui::dialogHooks().details = [&](const QString&, const QString& h, const QStringList& l) {
        heading = h;
        lines = l;
    };
    open();
    auto* note = w->findChild<QPushButton*>("cmdLoadNotes");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    const QString named =
        QString::fromUtf8("game.p05: file not found \u2014 the map shows the map file and the export files only");
    EXPECT_TRUE(note->text().startsWith(named)) << note->text().toStdString();
    EXPECT_TRUE(note->text().contains("1,998,060 lines skipped")) << note->text().toStdString();
    note->click();
    EXPECT_TRUE(heading.contains("1 file could not be read")) << heading.toStdString();
    EXPECT_TRUE(heading.contains("1,998,060 lines could not be read")) << heading.toStdString();
    ASSERT_EQ(lines.size(), 62);
    EXPECT_EQ(lines[61], QString::fromStdString(s.game.folder + "game.map: and 1,998,000 more lines rejected"));
    EXPECT_TRUE(lines[0].startsWith(QString::fromStdString(report) + ": file not found \u2014"))
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], QString::fromStdString(s.game.folder + "game.map:1: the x coordinate is not a number"));

    // The real list: 500 lines, never taller than the screen, OK on it, the rest scrolls.
    QStringList many;
    for (int i = 1; i <= 500; ++i)
        many << QString("game.map:%1: the x coordinate is not a number").arg(i);
    std::unique_ptr<QDialog> details(ui::makeDetailsDialog(w.get(), "Load notes", heading, many));
    details->show();
    QApplication::processEvents();
    const QRect room = w->screen()->availableGeometry();
    EXPECT_LE(details->frameGeometry().height(), room.height());
    auto* ok = details->findChild<QDialogButtonBox*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_LE(ok->geometry().bottom(), details->height());
    auto* list = details->findChild<QPlainTextEdit*>("txtLines");
    ASSERT_NE(list, nullptr);
    EXPECT_GT(list->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(list->document()->blockCount(), 500);
}

TEST_F(MapWindowTest, UnloadWritesThePlayersTableBeforeTheSettings)
{
    open();
    s.view.Zoom = 1000;
    w->close();
    EXPECT_TRUE(QFile::exists(playersFile));
    EXPECT_TRUE(playersFileBeforeFirstWrite);
    EXPECT_NE(std::find(store.writes.begin(), store.writes.end(), test::FakeSettings::Write{"Display", "Zoom", "1000"}),
              store.writes.end());
    EXPECT_EQ(s.AllPlanets.Count(), 0);
    EXPECT_EQ(s.AllPlayers.Count(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

// player.inf cannot be written as the window closes (its folder is a plain file, whoever runs the
// test): the close waits for Retry, "Quit without saving" or Cancel, and the session's edits are
// never dropped without the user's word.
TEST_F(MapWindowTest, FailedSaveOnCloseOffersRetryQuitAndCancel)
{
    const std::string goodFolder = s.game.folder;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const std::string badFolder = dir.filePath("plain").toStdString() + "/";
    using Answer = ui::SaveFailureAnswer;
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        bool folderBackOnRetry; // the user frees the folder before answering Retry
        bool closes, saved;
    };
    const Case cases[] = {
        {"cancel", {Answer::Cancel}, false, false, false},
        {"retry, then quit", {Answer::Retry, Answer::QuitWithoutSaving}, false, true, false},
        {"cancel, close again, retry", {Answer::Cancel, Answer::Retry}, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (s.AllPlayers.Count() == 0) addPlayer(s, "Humans", 0x00FF0000);
        s.game.folder = badFolder;
        store.writes.clear();
        QStringList asked;
        std::vector<Answer> answers = c.answers;
        ui::dialogHooks().saveFailure = [&](const QString&, const QString& text) {
            asked << text;
            const Answer a = answers.front();
            answers.erase(answers.begin());
            if (a == Answer::Retry && c.folderBackOnRetry) s.game.folder = goodFolder;
            return a;
        };
        open();
        s.AllPlayers.At(1)->TempMin = -10; // an edit of this session, only in memory
        bool closed = w->close();
        if (!closed && !answers.empty()) closed = w->close(); // closing again after a Cancel
        EXPECT_EQ(closed, c.closes);
        EXPECT_TRUE(answers.empty());
        ASSERT_FALSE(asked.isEmpty());
        EXPECT_TRUE(asked[0].contains(QString::fromStdString(badFolder + "player.inf"))) << asked[0].toStdString();
        EXPECT_EQ(QFile::exists(playersFile), c.saved);
        if (c.closes) {
            // Settings are written whether or not the players table was.
            EXPECT_NE(std::find(store.writes.begin(), store.writes.end(),
                                test::FakeSettings::Write{"Display", "Zoom", "2000"}),
                      store.writes.end());
            EXPECT_EQ(s.AllPlayers.Count(), 0);
        } else {
            EXPECT_TRUE(w->isVisible());
            EXPECT_TRUE(store.writes.empty());
            ASSERT_EQ(s.AllPlayers.Count(), 2);
            EXPECT_EQ(s.AllPlayers.At(1)->TempMin, -10);
        }
        w.reset();
    }
    QFile f(playersFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains(",-10,")) << "the edit reached the file";
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MapWindowTest, ClosingKeepsWhatWasTypedLastInTheRaceEditor)
{
    open();
    QApplication::setActiveWindow(w.get());
    // A limit still in its box (closing never takes the focus from it) is saved.
    auto* radMax = w->findChild<QLineEdit*>("txtRadMax");
    ASSERT_NE(radMax, nullptr);
    radMax->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), radMax);
    radMax->setText("50");
    // A race name typed up to a name another player has is refused: the saved name stays.
    auto* race = w->findChild<QLineEdit*>("txtRaceName");
    ASSERT_NE(race, nullptr);
    race->setText("Other");
    race->setText("Others");
    w->close();

    QFile f(playersFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("\"Humans player\",\"Humans\",")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(",20,50,")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("\"Others player\",\"Others\",")) << lines[1].toStdString();
}

namespace {

// How many pixels of a text a line edit shows from its start: the distance of the cursor at the
// end from the cursor at the start. A text cut short shows less than its own width.
int shownWidth(QLineEdit* e, const QString& text)
{
    e->setText(text);
    e->setCursorPosition(int(text.size()));
    e->repaint(); // the line edit scrolls to its cursor when it paints
    const int end = e->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    e->setCursorPosition(0);
    e->repaint();
    return end - e->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
}

} // namespace

// Coordinates and environment texts at their extremes show whole in the font in use; a number cut
// short would read as another believable number.
TEST_F(MapWindowTest, PanelBoxesShowExtremeValuesWhole)
{
    PlanetPtr far = addPlanet(s, "Far", 15568, -13628, "Humans");
    setEnvironment(*far, "1", "-172", "100");
    open();
    w->selectNearestPlanet(15568, -13628);
    EXPECT_EQ(text("txtXcord"), "15568");
    EXPECT_EQ(text("txtYcord"), "-13628");
    EXPECT_EQ(text("txtTemp"), QString::fromUtf8("-172\u00b0C"));
    EXPECT_EQ(text("txtRad"), "100mR");
    struct Case {
        const char* box;
        QString text;
    };
    const Case cases[] = {
        {"txtXcord", "15568"},
        {"txtYcord", "-13628"},
        {"txtXcord", "-32768"},
        {"txtYcord", "-32768"},
        {"txtTemp", QString::fromUtf8("-172\u00b0C")},
        {"txtTemp", QString::fromUtf8("-200\u00b0C")},
        {"txtRad", "100mR"},
        {"txtGrav", "8.00g"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.text.toStdString());
        auto* e = w->findChild<QLineEdit*>(c.box);
        ASSERT_NE(e, nullptr);
        EXPECT_GE(shownWidth(e, c.text), e->fontMetrics().horizontalAdvance(c.text) - 1);
    }
    // The boxes stay on the panel, clear of each other and of the map, and the cover hides the
    // value texts.
    auto inWindow = [&](const char* name) {
        auto* e = w->findChild<QWidget*>(name);
        return QRect(e->mapTo(w.get(), QPoint(0, 0)), e->size());
    };
    EXPECT_LT(inWindow("txtXcord").right(), inWindow("txtYcord").left());
    EXPECT_GT(inWindow("txtXcord").left(), inWindow("txtYourRace").right());
    const int mapLeft = inWindow("mapSurface").left();
    for (const char* name : {"txtYcord", "txtGrav", "txtTemp", "txtRad"})
        EXPECT_LT(inWindow(name).right(), mapLeft) << name;
    w->selectNearestPlanet(400, 300); // never reported
    for (const char* name : {"txtGrav", "txtTemp", "txtRad"})
        EXPECT_FALSE(w->findChild<QWidget*>(name)->isVisible()) << name;
}

// Limits beyond the scale are kept as typed, but their bars stay inside their strips.
TEST_F(MapWindowTest, RangeBarsStayInsideTheirStrips)
{
    open();
    auto* temp = w->findChild<ui::EnvironmentStrip*>("tempStrip");
    ASSERT_NE(temp, nullptr);
    const QColor range = ui::colourFromBgr(0x00000080);
    struct Case {
        int16_t tempMin, tempMax;
        int left, right; // painted columns; -1 for none
    };
    const int end = temp->width() - 1;
    const Case cases[] = {
        {-500, 100, 0, int(temp->xOfClicks(25))}, // from the strip's start
        {-60, 900, int(temp->xOfClicks(-15)), end},
        {300, 400, -1, -1}, // wholly beyond the end: nothing shows but the edge
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tempMin);
        PlayerPtr you = s.yourPlayer();
        you->TempMin = c.tempMin;
        you->TempMax = c.tempMax;
        w->showRaceRanges();
        EXPECT_EQ(temp->range(), std::make_optional(std::make_pair(c.tempMin / 4.0, c.tempMax / 4.0)));
        const auto [left, right] = columnsOf(temp, 2, range);
        if (c.left < 0) {
            EXPECT_LT(left, 0);
            continue;
        }
        EXPECT_NEAR(left, c.left, 1.5);
        EXPECT_NEAR(right, c.right, 1.5);
    }
}

// The status bar's map coordinates under a pointer that stands still follow every change of the
// view: keys, Reset, Find, zoom clicks.
TEST_F(MapWindowTest, PointerCoordinatesFollowEveryViewChange)
{
    open();
    MapSurface* pic = w->mapSurface();
    auto* pointer = w->findChild<QLabel*>("lblPointer");
    ASSERT_NE(pointer, nullptr);
    const QPointF at(pic->width() / 4.0, pic->height() / 3.0);
    QMouseEvent move(QEvent::MouseMove, at, pic->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pic, &move);
    auto expected = [&] {
        const QPointF v = pic->viewPosition(at);
        return QString("X %1   Y %2").arg(std::floor(v.x()) + s.view.XStart).arg(std::floor(v.y()) + s.view.YStart);
    };
    ASSERT_EQ(pointer->text(), expected());
    auto key = [&](int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(pic, &press);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"+", [&] { key(Qt::Key_Plus); }},
        {"arrow", [&] { key(Qt::Key_Right); }},
        {"Home", [&] { key(Qt::Key_Home); }},
        {"-", [&] { key(Qt::Key_Minus); }},
        {"Reset", [&] { button("Reset")->click(); }},
        {"Find",
         [&] {
             answers = {QString("Gamma")};
             w->findPlanet();
         }},
        {"zoom click",
         [&] {
             button("Zoom In")->click();
             QMouseEvent press(QEvent::MouseButtonPress, at, pic->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                               Qt::NoModifier);
             QApplication::sendEvent(pic, &press);
         }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        const QString before = pointer->text();
        step();
        pic->repaint();
        EXPECT_NE(pointer->text(), before);
        EXPECT_EQ(pointer->text(), expected());
    }
}

// Every status note reads as a sentence, and the mineral captions' tooltips are readable.
TEST_F(MapWindowTest, StatusNotesAreSentencesAndCaptionTooltipsReadable)
{
    open();
    QStringList notes;
    QObject::connect(w->statusBar(), &QStatusBar::messageChanged, [&](const QString& m) {
        if (!m.isEmpty()) notes << m;
    });
    MapSurface* pic = w->mapSurface();
    // Zoom in until the view refuses, a right click far from every planet, a refused limit.
    s.view.Zoom = 1;
    QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::NoModifier);
    QApplication::sendEvent(pic, &plus);
    s.view.Zoom = 2000;
    const QPointF empty = pic->widgetPoint(QPointF(1500, 1500));
    QMouseEvent right(QEvent::MouseButtonPress, empty, pic->mapToGlobal(empty), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(pic, &right);
    auto* tempMin = w->findChild<QLineEdit*>("txtTempMin");
    tempMin->setText("abc");
    emit tempMin->returnPressed();
    ASSERT_EQ(notes.size(), 3);
    for (const QString& note : notes) {
        EXPECT_TRUE(note.front().isUpper()) << note.toStdString();
        EXPECT_TRUE(note.endsWith('.')) << note.toStdString();
    }

    // Contrast of the tooltip's text on its background, as painted (WCAG ratio, 4.5 for normal
    // text): the strongest pixel against the most common one.
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    for (const char* name : {"lblIron", "lblBora", "lblGerm"}) {
        SCOPED_TRACE(name);
        auto* caption = w->findChild<QLabel*>(name);
        ASSERT_NE(caption, nullptr);
        QToolTip::showText(caption->mapToGlobal(QPoint(2, 2)), caption->toolTip(), caption);
        QApplication::processEvents();
        QWidget* tip = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "qtooltip_label" && top->isVisible()) tip = top;
        ASSERT_NE(tip, nullptr);
        const QImage painted = tip->grab().toImage();
        std::map<QRgb, int> counts;
        for (int y = 0; y < painted.height(); ++y)
            for (int x = 0; x < painted.width(); ++x)
                ++counts[painted.pixel(x, y)];
        const QRgb background =
            std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
        const double bg = luminance(QColor(background));
        double best = 1;
        for (const auto& [pixel, n] : counts) {
            const double fg = luminance(QColor(pixel));
            best = std::max(best, (std::max(fg, bg) + 0.05) / (std::min(fg, bg) + 0.05));
        }
        EXPECT_GE(best, 4.5);
        QToolTip::hideText();
    }
}
