// The window's layout as a user meets it: the map's room beside the side column and the docks,
// before and after a restart, true proportions at any size, and the side column on a small screen.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

#include "support/fakes.h"
#include "support/galaxyfixture.h"
#include "ui/mapwindow.h"
#include "ui/planetsdock.h"

using namespace vornex;
using namespace vornex::testing;
using vornex::ui::MapWindow;

namespace {

class WindowLayoutTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProgramState s;
    test::FakeSettings store;
    test::ScriptedPrompter prompter;
    std::unique_ptr<MapWindow> w;

    // A galaxy 2000 units across, a planet every 250 units; the window shows all of it.
    void fill()
    {
        s = ProgramState{};
        s.game.folder = QDir(dir.path()).filePath("").toStdString();
        if (s.game.folder.back() != '/') s.game.folder += '/';
        s.game.name = "game";
        s.AllGravities.Add("1")->Clicks = 0;
        addPlayer(s, "Humans", 0x00FF0000);
        for (int i = 0; i < 9; ++i)
            for (int j = 0; j < 9; ++j)
                addPlanet(s, "P" + std::to_string(i) + "_" + std::to_string(j), int16_t(250 * i), int16_t(250 * j),
                          i % 2 ? "Humans" : "Uninhabited");
        s.game.player = playerNumberOf(1);
        s.view.Zoom = 2000;
        s.view.clickMode = ClickMode::Planets;
        s.view.PlanetSelected = 1;
    }
    void open(QSize size = {})
    {
        fill();
        w = std::make_unique<MapWindow>(s, store, prompter);
        if (size.isValid()) w->resize(size);
        w->show();
        QApplication::processEvents();
    }
    void TearDown() override { w.reset(); }

    QRect inWindow(QWidget* widget) const { return QRect(widget->mapTo(w.get(), QPoint(0, 0)), widget->size()); }
    QWidget* map() const { return w->mapSurface(); }
    ui::PlanetsDock* dock() const { return w->planetsDock(); }
    void showDock(bool on)
    {
        QAction* toggle = w->findChild<QAction*>("ShowPlanets");
        if (toggle->isChecked() != on) toggle->trigger();
        QApplication::processEvents();
    }
};

} // namespace

// Opening the dock takes its room from the map, never covers it; closing it gives all of it back.
// A planet chosen in the table that lay where the dock now is comes into view.
TEST_F(WindowLayoutTest, DockTakesRoomFromTheMapAndGivesItBack)
{
    open({1200, 700});
    const QRect alone = inWindow(map());
    showDock(true);
    ASSERT_TRUE(dock()->isVisible());
    const QRect beside = inWindow(map());
    EXPECT_FALSE(beside.intersects(inWindow(dock()))) << "the dock covers none of the map";
    EXPECT_LT(beside.width(), alone.width());
    EXPECT_GE(beside.width(), 300);
    // The planet at the map's right edge before the dock opened now lies outside the map.
    const int16_t id = 81; // P8_8 at (2000, 2000), the bottom right corner
    PlanetPtr p = s.AllPlanets.ByID(id);
    ASSERT_TRUE(p);
    auto shown = [&] {
        const QPointF at = w->mapSurface()->widgetPoint(QPointF(p->Xcord - s.view.XStart, p->Ycord - s.view.YStart));
        return map()->rect().contains(at.toPoint());
    };
    emit dock()->planetActivated(id);
    EXPECT_EQ(s.view.PlanetSelected, id);
    EXPECT_TRUE(shown()) << "the table's planet comes into view";
    showDock(false);
    EXPECT_EQ(inWindow(map()), alone) << "closing the dock gives back all of its room";
    EXPECT_EQ(w->mapSurface()->image().size(), map()->size() * map()->devicePixelRatioF());
}

// Size, place and docks come back after a restart; a saved layout that would leave the map less
// than 300 by 200 pixels is corrected.
TEST_F(WindowLayoutTest, RestoredLayoutKeepsTheMapUsable)
{
    open({1200, 700});
    showDock(true);
    w->resizeDocks({dock()}, {400}, Qt::Horizontal);
    QApplication::processEvents();
    const QSize size = w->size();
    const int dockWidth = dock()->width();
    const int mapWidth = map()->width();
    w->close();
    w.reset();

    open();
    EXPECT_EQ(w->size(), size);
    EXPECT_TRUE(dock()->isVisible());
    EXPECT_NEAR(dock()->width(), dockWidth, 2);
    EXPECT_NEAR(map()->width(), mapWidth, 2);

    // The dock stretched until the map has almost nothing left: at the next start the dock gives
    // the map its 300 by 200 pixels back and stays open.
    w->resizeDocks({dock()}, {1000}, Qt::Horizontal);
    QApplication::processEvents();
    ASSERT_LT(map()->width(), 300);
    w->close();
    w.reset();
    open();
    EXPECT_GE(map()->width(), 300);
    EXPECT_GE(map()->height(), 200);
    EXPECT_TRUE(dock()->isVisible());
    EXPECT_FALSE(inWindow(map()).intersects(inWindow(dock())));
    // A window that comes back smaller than its screen allows (a saved geometry from another
    // screen) grows until the map has its room.
    w->resize(760, 300);
    w->ensureMapRoom();
    QApplication::processEvents();
    EXPECT_GE(map()->width(), 300);
    EXPECT_GE(map()->height(), 200);
}

// One map unit is as many pixels across as down at any window size: planets 250 units apart
// across and down stand as far apart on the screen, before and after a resize.
TEST_F(WindowLayoutTest, ProportionsHoldAfterAResize)
{
    open({1000, 700});
    // Close enough that every disc is a few pixels across.
    s.view.Zoom = 600;
    s.view.XStart = 300;
    s.view.YStart = 300;
    auto centreOf = [&](const char* name) {
        PlanetPtr p = s.AllPlanets.Item(name);
        return w->mapSurface()->widgetPoint(QPointF(p->Xcord - s.view.XStart, p->Ycord - s.view.YStart));
    };
    // Found on the painted image too: the centre of the disc's light pixels near the computed place.
    auto painted = [&](QPointF at) {
        const QImage& image = w->mapSurface()->image();
        const double ratio = image.devicePixelRatio();
        double sx = 0, sy = 0;
        int n = 0;
        for (int dy = -8; dy <= 8; ++dy)
            for (int dx = -8; dx <= 8; ++dx) {
                const QPoint px(int(at.x() * ratio) + dx, int(at.y() * ratio) + dy);
                if (!image.rect().contains(px) || image.pixelColor(px).lightness() < 100) continue;
                sx += px.x() + 0.5;
                sy += px.y() + 0.5;
                ++n;
            }
        return n ? QPointF(sx / n, sy / n) / ratio : QPointF(-1000, -1000);
    };
    for (const QSize size : {QSize(1000, 700), QSize(760, 740), QSize(1300, 500)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        QApplication::processEvents();
        w->redrawMap();
        const QPointF origin = centreOf("P2_2"), right = centreOf("P3_2"), down = centreOf("P2_3");
        EXPECT_NEAR(right.x() - origin.x(), down.y() - origin.y(), 1e-6);
        EXPECT_NEAR(right.y(), origin.y(), 1e-6);
        const double across = painted(right).x() - painted(origin).x();
        const double downward = painted(down).y() - painted(origin).y();
        EXPECT_GT(across, 20);
        EXPECT_NEAR(across, downward, 1.5);
        // The whole visible square of Zoom units fits the map's shorter side.
        EXPECT_NEAR((right.x() - origin.x()) * s.view.Zoom / 250,
                    std::min(w->mapSurface()->width(), w->mapSurface()->height()), 1.0);
    }
}

// At 800 by 600 the window is usable: the side column scrolls down to the race editor's player
// chooser, the map keeps its room.
TEST_F(WindowLayoutTest, SideColumnScrollsAt800x600)
{
    open({800, 600});
    EXPECT_LE(w->minimumSizeHint().width(), 800);
    EXPECT_LE(w->minimumSizeHint().height(), 600);
    EXPECT_EQ(w->size(), QSize(800, 600));
    auto* column = w->findChild<QScrollArea*>("sideColumn");
    ASSERT_NE(column, nullptr);
    EXPECT_GT(column->verticalScrollBar()->maximum(), 0) << "the column is taller than the window";
    EXPECT_GE(map()->width(), 300);
    EXPECT_GE(map()->height(), 200);
    auto* chooser = w->findChild<QWidget*>("playerNumberBar");
    ASSERT_NE(chooser, nullptr);
    const QRect viewport = inWindow(column->viewport());
    EXPECT_FALSE(viewport.contains(inWindow(chooser))) << "out of sight before scrolling";
    column->ensureWidgetVisible(chooser);
    QApplication::processEvents();
    EXPECT_TRUE(viewport.contains(inWindow(chooser)));
    // Nothing of the column is cut at its side: no horizontal scrolling, the panel whole.
    EXPECT_FALSE(column->horizontalScrollBar()->isVisible());
    EXPECT_GE(column->viewport()->width(), w->findChild<QWidget*>("planetPanel")->width());

    // The Planets dock opened here would leave the map a sliver: the window grows (the screen
    // has room) and the dock stays open beside a usable map; its name filter shows what it is for.
    showDock(true);
    QApplication::processEvents();
    EXPECT_TRUE(dock()->isVisible());
    EXPECT_GT(w->width(), 800);
    EXPECT_FALSE(inWindow(map()).intersects(inWindow(dock())));
    EXPECT_GE(map()->width(), 300);
    auto* filter = dock()->findChild<QLineEdit*>("txtPlanetFilter");
    EXPECT_GE(filter->width(), filter->fontMetrics().horizontalAdvance(filter->placeholderText()));
}

// The title names the game and your player; File > Exit takes the platform's Quit shortcut and
// closes as the toolbar's Exit does (saving the players table first).
TEST_F(WindowLayoutTest, TitleNamesTheGameAndExitCloses)
{
    open();
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("game \u2014 player 1 \u2014 VornexInfo"));
    auto* file = w->findChild<QMenu*>("File");
    ASSERT_NE(file, nullptr);
    QAction* exit = file->actions().isEmpty() ? nullptr : file->actions().last();
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->objectName(), "Exit");
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    exit->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(QFile::exists(dir.filePath("player.inf")));
}

// A layout saved on a larger screen (the window wider and taller than this screen, the dock open)
// comes back onto the screen with the map usable, and every part of the window within reach.
TEST_F(WindowLayoutTest, LayoutFromALargerScreenComesBackOntoThisOne)
{
    open({1200, 700});
    showDock(true);
    w->close();
    w.reset();
    open();
    w->resize(2400, 1400); // as a geometry saved on a screen of 2560 by 1440 comes back
    w->ensureMapRoom();
    QApplication::processEvents();
    const QRect room = w->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(w->frameGeometry())) << "the window fits its screen";
    EXPECT_GE(map()->width(), 300);
    EXPECT_GE(map()->height(), 200);
    if (dock()->isVisible()) {
        EXPECT_TRUE(room.contains(QRect(dock()->mapToGlobal(QPoint(0, 0)), dock()->size())));
    }
}
