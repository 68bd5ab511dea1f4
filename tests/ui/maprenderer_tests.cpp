// The map renderer's caches: a renderer that has drawn before must draw exactly what a fresh one
// draws after colours, race names, planet names, the view or the font changed, and after the kept
// pictures were moved by a drag; sprites must land where the painter would draw the same circle,
// also at fractional positions and at the edges.
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <gtest/gtest.h>

#include <cmath>

#include "support/galaxyfixture.h"
#include "ui/maprenderer.h"
#include "ui/nameslayer.h"

using namespace vornex;
using namespace vornex::testing;
using vornex::ui::MapRenderer;
using vornex::ui::RenderStats;

namespace {

QImage blank(QSize pixels, qreal dpr = 1.0)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    return image;
}

QImage draw(MapRenderer& renderer, const ProgramState& s, bool names, QSize size = {400, 400}, qreal dpr = 1.0)
{
    QImage image = blank(QSize(qRound(size.width() * dpr), qRound(size.height() * dpr)), dpr);
    renderer.render(image, QSizeF(size), s, names);
    return image;
}

QImage fresh(const ProgramState& s, bool names, QSize size = {400, 400}, qreal dpr = 1.0)
{
    MapRenderer renderer;
    return draw(renderer, s, names, size, dpr);
}

int maxDifference(const QImage& a, const QImage& b, int* over40 = nullptr)
{
    int worst = 0;
    int over = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            worst = std::max(worst, d);
            if (d > 40) ++over;
        }
    if (over40) *over40 = over;
    return worst;
}

bool near(const QColor& c, int r, int g, int b, int tolerance = 12)
{
    return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
           std::abs(c.blue() - b) <= tolerance;
}

class MapRendererTest : public ::testing::Test {
protected:
    ProgramState s;
    MapRenderer renderer;

    void SetUp() override
    {
        addPlayer(s, "Blues", 0x00FF0000);
        addPlayer(s, "Reds", 0x000000FF);
        addPlanet(s, "Azure", 100, 100, "Blues");
        addPlanet(s, "Grey", 200, 100, "Uninhabited");
        addPlanet(s, "Crimson", 300, 300, "Reds");
        addPlanet(s, "Never", 200, 200, "Uninhabited", -1);
        s.view.Zoom = 400;
        s.view.PlanetSelected = 3;
    }
};

} // namespace

TEST_F(MapRendererTest, ChangesToTheTablesShowAtTheNextDrawAsFromAFreshRenderer)
{
    s.view.PlanetSelected = 2; // the ring lies over Grey only
    draw(renderer, s, true);   // fill the caches
    ASSERT_GT(renderer.spriteCount(), 0u);
    ASSERT_GT(renderer.nameCount(), 0u);

    // A colour chosen in the race editor.
    s.AllPlayers.At(1)->Colour = 0x0000FF00; // green
    QImage image = draw(renderer, s, true);
    EXPECT_TRUE(near(image.pixelColor(100, 100), 0, 255, 0)) << image.pixelColor(100, 100).name().toStdString();
    EXPECT_EQ(image, fresh(s, true));
    // Back to the first colour: the old sprites serve again.
    s.AllPlayers.At(1)->Colour = 0x00FF0000;
    image = draw(renderer, s, true);
    EXPECT_TRUE(near(image.pixelColor(100, 100), 0, 0, 255));

    // A race renamed so that it no longer matches its planets: they turn grey.
    s.AllPlayers.At(2)->RaceName = "Rubies";
    image = draw(renderer, s, true);
    EXPECT_TRUE(near(image.pixelColor(300, 300), 0xC0, 0xC0, 0xC0)) << image.pixelColor(300, 300).name().toStdString();
    EXPECT_EQ(image, fresh(s, true));

    // A planet of the same name reloaded with another owner, and a planet renamed: the names pass
    // writes the new text.
    s.AllPlanets.At(2)->Owner = "Blues";
    s.AllPlanets.At(4)->PlanetName = "Renamed planet with a long name";
    EXPECT_EQ(draw(renderer, s, true), fresh(s, true));

    // Another view and another device pixel ratio.
    s.view.Zoom = 333;
    s.view.XStart = -17;
    EXPECT_EQ(draw(renderer, s, true), fresh(s, true));
    EXPECT_EQ(draw(renderer, s, true, {300, 200}, 1.5), fresh(s, true, {300, 200}, 1.5));
}

TEST_F(MapRendererTest, ANewApplicationFontIsUsedForTheNames)
{
    const QFont before = QApplication::font();
    draw(renderer, s, true);
    QFont big = before;
    big.setPointSizeF(before.pointSizeF() * 2);
    QApplication::setFont(big);
    const QImage withCache = draw(renderer, s, true);
    const QImage withoutCache = fresh(s, true);
    QApplication::setFont(before);
    EXPECT_EQ(withCache, withoutCache);
    EXPECT_NE(withCache, draw(renderer, s, true)) << "the larger font draws larger names";
}

TEST_F(MapRendererTest, SpritesLandWhereThePainterDrawsTheSameCircles)
{
    // Planets at fractional pixel positions (7 map units per 3 pixels) and across the edges.
    ProgramState g;
    addPlayer(g, "Blues", 0x00FF0000);
    const int16_t coords[][2] = {{0, 0},   {1, 1},    {2, 5},    {33, 71},   {100, 57},  {-3, 40},
                                 {40, -4}, {931, 40}, {40, 933}, {935, 935}, {500, 501}, {467, 468}};
    for (size_t i = 0; i < std::size(coords); ++i)
        addPlanet(g, std::string(1, char('A' + i)), coords[i][0], coords[i][1], i % 2 ? "Blues" : "Uninhabited",
                  i % 3 == 0 ? -1 : 0);
    g.view.PlanetSelected = 0; // no ring
    for (int16_t zoom : {int16_t(933), int16_t(400), int16_t(100), int16_t(37)}) {
        g.view.Zoom = zoom;
        const QImage image = fresh(g, false);
        QImage reference = blank(image.size());
        reference.fill(Qt::black);
        QPainter p(&reference);
        p.setRenderHint(QPainter::Antialiasing, true);
        const double unit = 400.0 / zoom;
        for (size_t i = 0; i < std::size(coords); ++i) {
            const bool known = i % 2;
            const QColor fill = known ? QColor(0, 0, 255) : QColor(0xC0, 0xC0, 0xC0);
            const QColor outline = known ? fill : (i % 3 == 0 ? QColor(0xC0, 0xC0, 0xC0) : QColor(255, 0, 0));
            p.setPen(QPen(outline, 1.0));
            p.setBrush(fill);
            // Discs grow with the zoom up to 12 pixels across (6 for the others).
            const double r = known ? std::min(4 * unit, 6.0) : std::min(2 * unit, 3.0);
            p.drawEllipse(QPointF(coords[i][0] * unit, coords[i][1] * unit), r, r);
        }
        p.end();
        int over = 0;
        const int worst = maxDifference(image, reference, &over);
        // An eighth of a pixel of placement changes antialiased edges a little; a whole pixel would
        // differ by the full colour along every edge.
        EXPECT_LT(worst, 110) << "zoom " << zoom;
        EXPECT_LE(over, 12) << "zoom " << zoom;
    }
}

TEST_F(MapRendererTest, NamesOfPlanetsLeftOfOrAboveTheSurfaceStillReachIntoIt)
{
    s.AllPlanets.At(1)->Xcord = -20; // text starts 20 pixels left of the surface
    s.AllPlanets.At(1)->PlanetName = "Wide enough name";
    const QImage image = draw(renderer, s, true);
    int white = 0;
    for (int y = 95; y < 120; ++y)
        for (int x = 0; x < 60; ++x)
            if (image.pixelColor(x, y).lightness() > 150 && image.pixelColor(x, y).saturation() < 40) ++white;
    EXPECT_GT(white, 5);
}

// Close up, discs stop growing at 12 pixels across and the ring at 16, so that neighbours stay
// apart; they keep their colours. Far out the ring stays 10 pixels across.
TEST_F(MapRendererTest, DiscsAndTheRingStopGrowingCloseUp)
{
    // 10 pixels per map unit: a known race's disc would be 80 pixels across without the cap.
    s.view.Zoom = 40;
    s.view.XStart = 280;
    s.view.YStart = 280;
    addPlanet(s, "Neighbour", 302, 300, "Blues"); // 20 pixels from Crimson's centre
    const QImage image = draw(renderer, s, false);
    EXPECT_TRUE(near(image.pixelColor(200, 200), 255, 0, 0)) << "Crimson under the ring";
    EXPECT_TRUE(near(image.pixelColor(220, 200), 0, 0, 255)) << "the neighbour keeps its own colour";
    EXPECT_TRUE(near(image.pixelColor(211, 200), 0, 0, 0)) << "black between the two discs";
    int peach = 0;
    for (int y = 180; y < 220; ++y)
        for (int x = 180; x < 210; ++x) {
            const double dist = std::hypot(x + 0.5 - 200, y + 0.5 - 200);
            if (near(image.pixelColor(x, y), 255, 0xE0, 0xC0, 60)) {
                EXPECT_NEAR(dist, 8, 1.5);
                ++peach;
            }
        }
    EXPECT_GT(peach, 20) << "peach ring of radius 8";
    EXPECT_TRUE(near(image.pixelColor(200, 211), 0, 0, 0));

    // Far out (a fifth of a pixel per map unit) the ring keeps 10 pixels across, so the selection
    // shows at any zoom: Crimson at (300, 300) is at pixel (60, 60).
    s.view.Zoom = 2000;
    s.view.XStart = 0;
    s.view.YStart = 0;
    const QImage far = draw(renderer, s, false);
    peach = 0;
    for (int y = 50; y < 70; ++y)
        for (int x = 50; x < 70; ++x)
            if (near(far.pixelColor(x, y), 255, 0xE0, 0xC0, 60)) {
                EXPECT_NEAR(std::hypot(x + 0.5 - 60, y + 0.5 - 60), 5, 1.5);
                ++peach;
            }
    EXPECT_GT(peach, 12) << "peach ring of radius 5";
}

// The ring around an uninhabited planet is white with the grey fill of such planets, whatever
// planet was drawn last.
TEST_F(MapRendererTest, AnUninhabitedSelectionHasAFillOfItsOwn)
{
    for (const char* lastOwner : {"Blues", "Reds", "Uninhabited"}) {
        SCOPED_TRACE(lastOwner);
        ProgramState g = s;
        addPlanet(g, "Last", -3000, -3000, lastOwner);
        g.view.PlanetSelected = 2;
        const QImage image = fresh(g, false);
        EXPECT_TRUE(near(image.pixelColor(204, 100), 0xC0, 0xC0, 0xC0))
            << image.pixelColor(204, 100).name().toStdString();
        int white = 0;
        for (int y = 92; y <= 108; ++y)
            for (int x = 192; x <= 208; ++x)
                if (near(image.pixelColor(x, y), 255, 255, 255, 60)) {
                    EXPECT_NEAR(std::hypot(x + 0.5 - 200, y + 0.5 - 100), 6, 1.0);
                    ++white;
                }
        EXPECT_GE(white, 8) << "white ring";
    }
}

TEST_F(MapRendererTest, NothingButBlackBelowZoomOneAndOtherFormatsAreConverted)
{
    s.view.Zoom = 0;
    QImage image = draw(renderer, s, true);
    EXPECT_EQ(maxDifference(image,
                            [&] {
                                QImage black = blank(image.size());
                                black.fill(Qt::black);
                                return black;
                            }()),
              0);
    s.view.Zoom = 400;
    QImage rgb888(400, 400, QImage::Format_RGB888);
    renderer.render(rgb888, QSizeF(400, 400), s, false);
    EXPECT_TRUE(near(rgb888.pixelColor(100, 100), 0, 0, 255));
}

TEST_F(MapRendererTest, KeptPicturesMovedByADragOrReusedShowWhatAFreshDrawShows)
{
    // Many planets with long names, so that strips coming into view cut through names and circles.
    for (int i = 0; i < 60; ++i)
        addPlanet(s, "Planet number " + std::to_string(i), int16_t(-100 + (i * 37) % 600),
                  int16_t(-50 + (i * 53) % 500), i % 3 ? "Blues" : "Uninhabited", i % 5 ? 0 : -1);
    struct Case {
        int16_t zoom;
        QSize size;
        qreal dpr;
    };
    // One map unit per pixel; fractional pixels per unit; a device pixel ratio.
    const Case cases[] = {{400, {400, 400}, 1.0}, {333, {400, 300}, 1.0}, {520, {300, 200}, 1.5}};
    // Drag steps (XStart, YStart changes), then a selection at the same view.
    const int steps[][2] = {{3, 0}, {0, 2}, {-5, -4}, {7, 9}, {-1, 1}, {250, 0}};
    for (const Case& c : cases) {
        MapRenderer kept;
        s.view.Zoom = c.zoom;
        s.view.XStart = 0;
        s.view.YStart = 0;
        draw(kept, s, true, c.size, c.dpr);
        for (const auto& step : steps) {
            s.view.XStart = int16_t(s.view.XStart + step[0]);
            s.view.YStart = int16_t(s.view.YStart + step[1]);
            ASSERT_EQ(draw(kept, s, true, c.size, c.dpr), fresh(s, true, c.size, c.dpr))
                << "zoom " << c.zoom << " after moving by " << step[0] << ", " << step[1];
        }
        s.view.PlanetSelected = 5;
        EXPECT_EQ(draw(kept, s, true, c.size, c.dpr), fresh(s, true, c.size, c.dpr)) << "zoom " << c.zoom;
        s.view.PlanetSelected = 3;
        const RenderStats st = kept.stats();
        EXPECT_GE(st.shifted, 2 * 5) << "small steps move the kept pictures";
        EXPECT_GE(st.reused, 2) << "a selection keeps the view";
    }
}

TEST_F(MapRendererTest, KeptNamesLookLikeTextDrawnStraightOntoTheMap)
{
    // The names layer, composed over the planets, against the painter writing the same outlined
    // texts straight onto the same planets at the same whole pixels.
    s.view.PlanetSelected = 0;
    const QImage withNames = draw(renderer, s, true);
    QImage reference = draw(renderer, s, false);
    {
        QPainter p(&reference);
        std::vector<QStaticText> texts;
        for (const auto& planet : s.AllPlanets)
            texts.emplace_back(QString::fromStdString(planet->PlanetName));
        std::vector<std::pair<QPointF, const QStaticText*>> placed;
        for (int i = 0; i < s.AllPlanets.Count(); ++i)
            placed.emplace_back(QPointF(s.AllPlanets.At(i + 1)->Xcord, s.AllPlanets.At(i + 1)->Ycord),
                                &texts[size_t(i)]);
        ui::drawOutlinedTexts(p, placed, 1);
    }
    int over = 0;
    EXPECT_LE(maxDifference(withNames, reference, &over), 40);
    EXPECT_EQ(over, 0);
}

namespace {

// The boxes of white text on the image: connected white pixels grouped by rows of names.
int whitePixels(const QImage& image, const QRect& r)
{
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
            if (image.pixelColor(x, y).lightness() > 200 && image.pixelColor(x, y).saturation() < 40) ++n;
    return n;
}

} // namespace

// A crowd of planets at the full view: names that would overlap are left out (and keep no layout),
// your planets' first, then reported ones; zooming in brings the others back. Every name has a dark
// outline, so it reads on a pale disc.
TEST_F(MapRendererTest, NamesReadOnAnyDiscAndThoseThatWouldOverlapAreLeftOut)
{
    ProgramState g;
    PlayerPtr you = addPlayer(g, "Blues", 0x00FF0000);
    g.game.player = playerNumberOf(1);
    // A row of planets 4 units apart: at 1 pixel a unit their names overlap.
    for (int i = 0; i < 40; ++i) {
        const char* owner = i % 10 == 7 ? "Blues" : "Uninhabited";
        addPlanet(g, "Name" + std::to_string(i), int16_t(10 + 4 * i), 200, owner, i % 10 == 3 ? 0 : -1);
    }
    g.view.Zoom = 400;
    g.view.PlanetSelected = 0;
    MapRenderer kept;
    QImage image = draw(kept, g, true);
    const std::size_t placed = kept.names().placedCount();
    EXPECT_GE(placed, 2u);
    EXPECT_LT(placed, 40u) << "overlapping names are left out";
    EXPECT_EQ(kept.names().layoutCount(), placed) << "the names left out keep no layout";
    // Your planets (7, 17, 27, 37) come first, then the reported ones (3, 13, ...): the first of
    // your planets' names shows, the first planet's (never reported, at the row's start) does not.
    auto nameShown = [&](const QImage& im, int i, int unitsPerPixelDivisor) {
        const int x = (10 + 4 * i) * unitsPerPixelDivisor;
        return whitePixels(im, QRect(x + 1, 200 * unitsPerPixelDivisor + 1, 6, 10)) > 3;
    };
    EXPECT_TRUE(nameShown(image, 7, 1));
    EXPECT_TRUE(nameShown(image, 27, 1)) << "the next of your planets that has room";
    EXPECT_FALSE(nameShown(image, 0, 1) && nameShown(image, 1, 1)) << "two names 4 pixels apart cannot both show";
    // Zoomed in 16 times (64 pixels between planets), every name in view shows.
    g.view.Zoom = 25;
    g.view.XStart = 8;
    g.view.YStart = 195;
    image = draw(kept, g, true);
    EXPECT_EQ(kept.names().placedCount(), 40u);
    EXPECT_EQ(image, fresh(g, true)) << "names left out before are laid out again";
    for (int i = 0; i < 6; ++i)
        EXPECT_GT(whitePixels(image, QRect((10 + 4 * i - 8) * 16 + 1, (200 - 195) * 16 + 1, 30, 12)), 5) << i;

    // A name over a pale disc: white glyph pixels next to dark outline pixels.
    ProgramState pale;
    addPlayer(pale, "Pale", 0x00F0F0F0);
    addPlanet(pale, "WWWW", 100, 100, "Pale");
    pale.view.Zoom = 50; // discs at their largest, 12 pixels across
    pale.view.XStart = 80;
    pale.view.YStart = 80;
    pale.view.PlanetSelected = 0;
    image = fresh(pale, true);
    int edges = 0;
    // Only inside the disc (centre (160, 160), radius 6), where the ground itself is pale.
    for (int y = 158; y < 166; ++y)
        for (int x = 158; x < 165; ++x)
            if (image.pixelColor(x, y).lightness() > 230 &&
                std::min(image.pixelColor(x + 1, y).lightness(), image.pixelColor(x, y + 1).lightness()) < 120)
                ++edges;
    EXPECT_GT(edges, 3) << "white text edged in dark on the pale disc";
}
