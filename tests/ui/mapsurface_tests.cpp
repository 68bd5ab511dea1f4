// The map surface on its own: drawing into the backing image, the view steps of the mouse, wheel
// and keys, the distance tool and the hover tooltip.
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/view.h"
#include "support/galaxyfixture.h"
#include "ui/maprenderer.h"
#include "ui/mapsurface.h"
#include "ui/nameslayer.h"

using namespace vornex;
using namespace vornex::testing;
using vornex::ui::MapSurface;

namespace {

struct FakeHost : ui::MapSurfaceHost {
    std::vector<std::pair<int16_t, int16_t>> infoCalls;
    QString distance = "unchanged";
    QStringList status;
    void selectNearestPlanet(int16_t x, int16_t y) override { infoCalls.emplace_back(x, y); }
    void setDistanceText(const QString& t) override { distance = t; }
    void showStatus(const QString& t) override { status << t; }
};

class MapSurfaceTest : public ::testing::Test {
protected:
    ProgramState s;
    FakeHost host;
    std::unique_ptr<MapSurface> pic;

    void SetUp() override
    {
        addPlayer(s, "Blues", 0x00FF0000); // blue in the 0x00BBGGRR form
        addPlayer(s, "Reds", 0x000000FF);  // red
        addPlanet(s, "Azure", 100, 100, "Blues");
        addPlanet(s, "Grey", 200, 100, "Uninhabited");
        addPlanet(s, "Wrongcase", 100, 200, "blues");
        addPlanet(s, "Never", 200, 200, "Uninhabited", -1);
        addPlanet(s, "Crimson", 300, 300, "Reds");
        s.Zoom = 400;
        s.ClickOption = "Planets";
        s.PlanetSelected = 5;
        pic = std::make_unique<MapSurface>(s, host);
        pic->resize(400, 400);
        pic->show();
        pic->redrawMap();
    }

    void showNames(bool on) { pic->renderer().names().setShown(on); }
    QColor at(int x, int y) const { return pic->image().pixelColor(x, y); }

    void mouse(QEvent::Type type, Qt::MouseButton button, QPointF p, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent e(type, p, pic->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(pic.get(), &e);
    }
    void click(Qt::MouseButton button, QPointF p)
    {
        mouse(QEvent::MouseButtonPress, button, p, button);
        mouse(QEvent::MouseButtonRelease, button, p);
    }
    void wheel(QPointF p, int delta)
    {
        QWheelEvent e(p, pic->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(pic.get(), &e);
    }
    void key(int k)
    {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(pic.get(), &e);
    }
    View view() const { return View{s.Zoom, s.XStart, s.YStart}; }
    // The antialiased one-pixel line: some pixel of the 3 by 3 block is close to 0x0000AC.
    bool darkRedNear(int x, int y) const
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = at(x + dx, y + dy);
                if (std::abs(c.red() - 0xAC) <= 24 && c.green() < 16 && c.blue() < 16) return true;
            }
        return false;
    }
};

bool near(const QColor& c, int r, int g, int b, int tolerance = 12)
{
    return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
           std::abs(c.blue() - b) <= tolerance;
}

} // namespace

TEST_F(MapSurfaceTest, PlanetsTakeTheirOwnersColourRedInTheLowByte)
{
    EXPECT_TRUE(near(at(100, 100), 0, 0, 255)) << at(100, 100).name().toStdString();
    EXPECT_TRUE(near(at(200, 100), 0xC0, 0xC0, 0xC0)) << "unowned planet is light grey";
    EXPECT_TRUE(near(at(100, 200), 0xC0, 0xC0, 0xC0)) << "owner differing in case is no known race";
    EXPECT_TRUE(near(at(200, 200), 0xC0, 0xC0, 0xC0));
    EXPECT_TRUE(near(at(0, 399), 0, 0, 0)) << "background black";
    // Known race: radius 4; others radius 2 (with one map unit per pixel).
    EXPECT_TRUE(near(at(103, 100), 0, 0, 255));
    EXPECT_TRUE(near(at(204, 100), 0, 0, 0));
}

TEST_F(MapSurfaceTest, SelectedPlanetGetsThePeachRingFilledWithItsColour)
{
    // Pixels whose centres lie on the ring of radius 6 around (cx, cy), close to the colour.
    auto ring = [&](int cx, int cy, int r, int g, int b) {
        int n = 0;
        for (int y = cy - 8; y <= cy + 8; ++y)
            for (int x = cx - 8; x <= cx + 8; ++x) {
                const double dist = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
                if (dist > 5.7 && dist < 6.3 && near(at(x, y), r, g, b, 60)) ++n;
            }
        return n;
    };
    EXPECT_TRUE(near(at(303, 300), 255, 0, 0)) << "inside the ring: owner's red";
    EXPECT_GE(ring(300, 300, 0xFF, 0xE0, 0xC0), 8) << "light peach ring";
    EXPECT_TRUE(near(at(309, 300), 0, 0, 0));
    // An uninhabited selection is ringed in white.
    s.PlanetSelected = 2;
    pic->redrawMap();
    EXPECT_GE(ring(200, 100, 255, 255, 255), 8);
    EXPECT_EQ(ring(300, 300, 0xFF, 0xE0, 0xC0), 0) << "old ring is gone";
    // A selection that names no planet draws no ring and does not fail.
    s.PlanetSelected = 99;
    pic->redrawMap();
    EXPECT_EQ(ring(200, 100, 255, 255, 255), 0);
}

TEST_F(MapSurfaceTest, NamesStartAtThePlanetCentreOnlyWhileShown)
{
    auto whiteIn = [&](QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (at(x, y).lightness() > 150 && at(x, y).saturation() < 40) ++n;
        return n;
    };
    const QRect right_of_azure(108, 100, 40, 14);
    const QImage before = pic->image().copy();
    EXPECT_EQ(whiteIn(right_of_azure), 0);
    showNames(true);
    pic->redrawMap();
    EXPECT_GT(whiteIn(right_of_azure), 5);
    EXPECT_EQ(whiteIn(QRect(60, 80, 30, 15)), 0) << "no text left of or above the planet";
    showNames(false);
    pic->redrawMap();
    EXPECT_EQ(pic->image(), before);
}

TEST_F(MapSurfaceTest, ZoomClicksFollowTheHalvingAndDoublingSteps)
{
    s.Zoom = 2000;
    s.ClickOption = "Zoom In";
    click(Qt::LeftButton, {100, 100}); // view position (500, 500)
    EXPECT_EQ(view(), (View{1000, 0, 0}));
    s.ClickOption = "Zoom Out";
    click(Qt::LeftButton, {200, 200}); // view position (500, 500) at zoom 1000
    EXPECT_EQ(view(), (View{2000, -500, -500}));
    EXPECT_TRUE(host.infoCalls.empty());

    s.Zoom = 125;
    EXPECT_TRUE(pic->moveView(ViewStep::ZoomIn, 0, 0));
    EXPECT_EQ(s.Zoom, 62);
    s.Zoom = 3;
    EXPECT_TRUE(pic->moveView(ViewStep::ZoomIn, 0, 0));
    EXPECT_EQ(s.Zoom, 2);
}

TEST_F(MapSurfaceTest, StepsBeyondSixteenBitsAreRefusedAndLeaveTheView)
{
    struct Case {
        View start;
        ViewStep step;
        int16_t x, y;
    };
    const Case cases[] = {{{1, 0, 0}, ViewStep::ZoomIn, 0, 0},
                          {{16384, 0, 0}, ViewStep::ZoomOut, 0, 0},
                          {{400, 32700, 0}, ViewStep::Keep, 390, 0},
                          {{400, 0, -32700}, ViewStep::Keep, 0, -100}};
    for (const Case& c : cases) {
        s.Zoom = c.start.Zoom;
        s.XStart = c.start.XStart;
        s.YStart = c.start.YStart;
        pic->redrawMap();
        const QImage before = pic->image().copy();
        host.status.clear();
        SCOPED_TRACE(int(c.step));
        EXPECT_FALSE(pic->moveView(c.step, c.x, c.y));
        EXPECT_EQ(view(), c.start);
        EXPECT_EQ(pic->image(), before);
        EXPECT_FALSE(host.status.isEmpty() || host.status.back().isEmpty());
    }
}

TEST_F(MapSurfaceTest, DragMovesTheOriginWithThePointer)
{
    for (auto [mode, button] : {std::pair{"Move", Qt::LeftButton}, std::pair{"Planets", Qt::MiddleButton},
                                std::pair{"Zoom In", Qt::MiddleButton}}) {
        s.ClickOption = mode;
        s.XStart = 0;
        s.YStart = 0;
        mouse(QEvent::MouseButtonPress, button, {100, 100}, button);
        EXPECT_EQ(s.Dragging, -1) << mode;
        mouse(QEvent::MouseMove, Qt::NoButton, {104, 102}, button);
        mouse(QEvent::MouseMove, Qt::NoButton, {110, 105}, button);
        mouse(QEvent::MouseButtonRelease, button, {110, 105});
        EXPECT_EQ(view(), (View{400, 10, 5})) << mode;
        EXPECT_EQ(s.Dragging, 0);
        // After the release, moving changes nothing.
        mouse(QEvent::MouseMove, Qt::NoButton, {150, 150});
        EXPECT_EQ(view(), (View{400, 10, 5}));
        EXPECT_TRUE(host.infoCalls.empty()) << "a middle press selects nothing";
    }
}

TEST_F(MapSurfaceTest, NamesStayAtTheirPlanetsThroughADragAndASelection)
{
    // The surface keeps its pictures between draws; what it shows must be what a fresh drawing of
    // the same state shows, with Azure's name starting at Azure's new place.
    showNames(true);
    pic->resize(400, 300); // 4/3 map units per pixel: drag steps of fractional pixels
    pic->redrawMap();
    auto freshDrawing = [&] {
        QImage image(pic->image().size(), QImage::Format_RGB32);
        ui::MapRenderer().render(image, QSizeF(pic->size()), s, true);
        return image;
    };
    mouse(QEvent::MouseButtonPress, Qt::MiddleButton, {200, 150}, Qt::MiddleButton);
    for (QPointF p : {QPointF(197, 149), QPointF(193, 146), QPointF(190, 143)})
        mouse(QEvent::MouseMove, Qt::NoButton, p, Qt::MiddleButton);
    mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, {190, 143});
    ASSERT_EQ(view(), (View{400, -13, -9}));
    EXPECT_EQ(pic->image(), freshDrawing());
    int white = 0;
    for (int y = 82; y < 96; ++y)
        for (int x = 140; x < 172; ++x)
            if (at(x, y).lightness() > 150 && at(x, y).saturation() < 40) ++white;
    // The visible square starts 50 pixels in from the left.
    EXPECT_GT(white, 5) << "Azure's name right of Azure, now at (134.75, 81.75)";
    s.PlanetSelected = 1;
    pic->redrawMap();
    EXPECT_EQ(pic->image(), freshDrawing());
}

TEST_F(MapSurfaceTest, LeftClickInPlanetsModeAsksForTheFlooredMapPoint)
{
    s.Zoom = 1000;
    pic->resize(300, 300); // 10/3 map units per pixel
    s.XStart = -40;
    s.YStart = 7;
    click(Qt::LeftButton, {1, 2}); // view position (3.33, 6.67)
    ASSERT_EQ(host.infoCalls.size(), 1u);
    EXPECT_EQ(host.infoCalls[0], (std::pair<int16_t, int16_t>{3 - 40, 6 + 7}));
    EXPECT_EQ(view(), (View{1000, -40, 7})) << "selecting does not move the view";
}

TEST_F(MapSurfaceTest, RightClickMeasuresAndDrawsTheDarkRedLine)
{
    addPlanet(s, "Far", 360, 380, "Uninhabited"); // 60 across and 80 down from Crimson: distance 100
    pic->redrawMap();
    click(Qt::RightButton, {362, 381});
    EXPECT_EQ(host.distance, "100");
    EXPECT_TRUE(darkRedNear(330, 340));

    // Nothing within 100: line and text stay, the status bar says why.
    const QImage before = pic->image().copy();
    host.status.clear();
    click(Qt::RightButton, {20, 380});
    EXPECT_EQ(host.distance, "100");
    EXPECT_EQ(pic->image(), before);
    EXPECT_FALSE(host.status.isEmpty());

    // The line stays through redraws and follows the view; it goes when another planet is selected.
    pic->redrawMap();
    EXPECT_TRUE(darkRedNear(330, 340));
    s.XStart = 10;
    pic->redrawMap();
    EXPECT_TRUE(darkRedNear(320, 340));
    EXPECT_FALSE(darkRedNear(330, 340));
    s.PlanetSelected = 1;
    pic->redrawMap();
    EXPECT_FALSE(darkRedNear(320, 340));
}

TEST_F(MapSurfaceTest, DistanceLimitIsStrictAndTiesGoToTheFirstPlanet)
{
    // From Crimson (300, 300): a point 99 away from Azure picks it; 100 away does not.
    EXPECT_EQ(pic->measureDistance(100 - 60, 100 - 39), std::optional<int16_t>(283)); // sqrt(2) * 200
    EXPECT_EQ(pic->measureDistance(100 - 60, 100 - 40), std::nullopt);
    // (150, 100) lies 50 from Azure and from Grey: Azure, first in the map, wins.
    EXPECT_EQ(pic->measureDistance(150, 100), std::optional<int16_t>(283));
}

TEST_F(MapSurfaceTest, WheelKeepsTheMapPointUnderThePointer)
{
    s.Zoom = 2000;
    const QPointF pointer(100, 300); // map point (500, 1500)
    wheel(pointer, 120);
    EXPECT_EQ(s.Zoom, 1000);
    const QPointF v = pic->viewPosition(pointer);
    EXPECT_NEAR(v.x() + s.XStart, 500, 1.0);
    EXPECT_NEAR(v.y() + s.YStart, 1500, 1.0);
    wheel(pointer, -120);
    EXPECT_EQ(view(), (View{2000, 0, 0}));

    // A refused step (zoom out beyond 16 bits) leaves the view.
    s.Zoom = 16384;
    wheel(pointer, -120);
    EXPECT_EQ(view(), (View{16384, 0, 0}));
}

TEST_F(MapSurfaceTest, KeysZoomAboutTheCentrePanAndReset)
{
    s.Zoom = 2000;
    key(Qt::Key_Plus);
    EXPECT_EQ(view(), (View{1000, 500, 500}));
    key(Qt::Key_Right);
    EXPECT_EQ(view(), (View{1000, 600, 500}));
    key(Qt::Key_Up);
    EXPECT_EQ(view(), (View{1000, 600, 400}));
    key(Qt::Key_Minus);
    EXPECT_EQ(view(), (View{2000, 100, -100}));
    key(Qt::Key_Home);
    EXPECT_EQ(view(), (View{2000, 0, 0}));
}

TEST_F(MapSurfaceTest, HoverTooltipNamesThePlanetAndOwner)
{
    QHelpEvent over(QEvent::ToolTip, QPoint(101, 99), pic->mapToGlobal(QPoint(101, 99)));
    QApplication::sendEvent(pic.get(), &over);
    EXPECT_TRUE(QToolTip::text().contains("Azure")) << QToolTip::text().toStdString();
    EXPECT_TRUE(QToolTip::text().contains("Blues"));
    // hideText() only starts Qt's fade-out timer; hide the tip's label at once instead of waiting.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "qtooltip_label") top->hide();
    ASSERT_FALSE(QToolTip::isVisible());
    QHelpEvent empty(QEvent::ToolTip, QPoint(50, 350), pic->mapToGlobal(QPoint(50, 350)));
    QApplication::sendEvent(pic.get(), &empty);
    EXPECT_FALSE(QToolTip::isVisible());
}
