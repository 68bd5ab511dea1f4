// Map point <-> surface point: the grid the drawing uses, its inverse, and the pointer's reading.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/view.h"

using namespace vornex;

TEST(MapTransform, RoundTripsAndWholeDevicePixelCorner)
{
    struct Case {
        View view;
        Surface surface;
    };
    const Case cases[] = {
        {{2000, 0, 0}, {400, 400, 1.0}},       {{333, -17, 5}, {400, 300, 1.0}},
        {{333, -17, 5}, {400, 300, 1.5}},      {{1000, 123, -77}, {643, 511, 2.0}},
        {{7, 32760, -32768}, {400, 400, 1.5}}, {{32767, -32768, 32767}, {10, 10, 2.0}},
    };
    const int16_t points[][2] = {{0, 0}, {1, -1}, {250, 999}, {-300, 41}, {32767, -32768}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.view.Zoom << " " << c.view.XStart << " " << c.view.YStart << " @"
                                        << c.surface.pixelRatio);
        const auto grid = mapGrid(c.view, c.surface);
        ASSERT_TRUE(grid);
        // The view's corner lands within half a device pixel of the visible square's corner, which
        // lies on a whole device pixel.
        const auto corner = mapToSurface(c.view, c.surface, c.view.XStart, c.view.YStart);
        ASSERT_TRUE(corner);
        const double cx = corner->x * c.surface.pixelRatio, cy = corner->y * c.surface.pixelRatio;
        EXPECT_LE(std::abs(cx - double(grid->offsetX)), 0.5 + 1e-9);
        EXPECT_LE(std::abs(cy - double(grid->offsetY)), 0.5 + 1e-9);
        EXPECT_TRUE(grid->offsetX == 0 || grid->offsetY == 0) << "the square spans the shorter side";
        for (auto [x, y] : points) {
            const auto at = mapToSurface(c.view, c.surface, x, y);
            // Only a difference beyond 16 bits refuses.
            const int dx = int(x) - c.view.XStart, dy = int(y) - c.view.YStart;
            ASSERT_EQ(at.has_value(), dx >= -32768 && dx <= 32767 && dy >= -32768 && dy <= 32767) << x << "," << y;
            if (!at) continue;
            // The inverse finds the point again.
            const auto back = surfaceToMap(c.view, c.surface, *at);
            ASSERT_TRUE(back);
            EXPECT_NEAR(back->x, x, 1e-6);
            EXPECT_NEAR(back->y, y, 1e-6);
        }
    }
}

TEST(MapTransform, DragByWholeUnitsMovesByWholePixelsAndBadSurfacesRefuse)
{
    // Shifting the view by one unit moves every point by the same whole number of device pixels,
    // so kept pictures can be shifted instead of redrawn.
    for (double ratio : {1.0, 1.5, 2.0}) {
        const Surface s{400, 400, ratio};
        for (int16_t start = -5; start < 5; ++start) {
            const auto a = mapToSurface(View{333, start, 0}, s, 100, 0);
            const auto b = mapToSurface(View{333, int16_t(start + 1), 0}, s, 100, 0);
            const auto c = mapToSurface(View{333, int16_t(start + 1), 0}, s, 101, 0);
            ASSERT_TRUE(a && b && c);
            const double shift = (a->x - b->x) * ratio;
            EXPECT_NEAR(shift, std::round(shift), 1e-9) << ratio << " " << start;
            EXPECT_NEAR((c->x - b->x) * ratio, 400 * ratio / 333, 1e-9);
        }
    }
    const Surface fine{400, 400, 1.0};
    EXPECT_FALSE(mapToSurface(View{0, 0, 0}, fine, 0, 0));
    EXPECT_FALSE(mapToSurface(View{100, 0, 0}, Surface{400, 400, 0}, 0, 0));
    EXPECT_FALSE(mapToSurface(View{100, 0, 0}, Surface{0, 400, 1}, 0, 0));
    EXPECT_FALSE(surfaceToMap(View{0, 0, 0}, fine, Point2{}));
    // x - XStart beyond 16 bits cannot be placed; -32768 still can.
    EXPECT_FALSE(mapToSurface(View{100, -2, 0}, fine, 32767, 0));
    EXPECT_TRUE(mapToSurface(View{100, 0, 0}, fine, -32768, 0));
}

TEST(MapTransform, PointerReadingAndPixelLimits)
{
    struct Case {
        View view;
        Surface surface;
        Point2 pointer;
        Point2 map;
    };
    const Case cases[] = {
        {{400, 0, 0}, {400, 400, 1}, {101, 99}, {101, 99}},
        {{2000, 0, 0}, {400, 400, 1}, {0.5, 399.9}, {2, 1999}},
        {{1000, -40, 7}, {500, 250, 2}, {3, 3}, {-528, 19}},              // the square starts 125 pixels in
        {{1000, -40, 7}, {250, 500, 1}, {3, 128}, {-28, 19}},             // the square starts 125 pixels down
        {{400, 32767, -32768}, {400, 400, 1.5}, {1, 0}, {32768, -32768}}, // outside 16 bits: reported
        {{333, 0, 0}, {0.5, 0.5, 1}, {0.5, 0.5}, {166, 166}},             // narrower than a pixel: one
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pointerMapPoint(c.view, c.surface, c.pointer), c.map) << c.pointer.x << "," << c.pointer.y;
        const Point2 v = viewPosition(c.view, c.surface, c.pointer);
        const Point2 back = viewToSurface(c.view, c.surface, v);
        if (c.surface.width >= 1) {
            EXPECT_NEAR(back.x, c.pointer.x, 1e-3);
        }
    }
    // A pixel distance in whole map units, rounded up; none without a view.
    EXPECT_EQ(pixelLimit(View{400, 0, 0}, Surface{400, 400, 2}, 6), 6);
    EXPECT_EQ(pixelLimit(View{2000, 0, 0}, Surface{400, 400, 1}, 6), 30);
    EXPECT_EQ(pixelLimit(View{1, 0, 0}, Surface{400, 400, 1}, 1602), 5);
    EXPECT_EQ(pixelLimit(View{0, 0, 0}, Surface{400, 400, 1}, 6), 0);
}

// One map unit is the same number of pixels across and down on any surface; the visible square of
// Zoom units spans the shorter side, centred on the longer one, so the view's centre is the
// surface's centre and the stored view keeps its meaning.
TEST(MapTransform, TrueProportionsOnSurfacesOfAnyShape)
{
    const Surface surfaces[] = {{400, 400, 1}, {800, 400, 1}, {400, 700, 1}, {1017, 643, 1.5}, {300, 900, 2}};
    const View view{1000, 200, -100};
    for (const Surface& surface : surfaces) {
        SCOPED_TRACE(testing::Message() << surface.width << "x" << surface.height << " @" << surface.pixelRatio);
        const auto grid = mapGrid(view, surface);
        ASSERT_TRUE(grid);
        EXPECT_EQ(grid->sx, grid->sy);
        const double side = std::min(surface.width, surface.height);
        EXPECT_DOUBLE_EQ(pixelsPerUnit(view, surface), side / 1000);
        // A 100 by 100 square of the map is as many pixels wide as high.
        const auto a = mapToSurface(view, surface, 300, 0);
        const auto b = mapToSurface(view, surface, 400, 100);
        ASSERT_TRUE(a && b);
        EXPECT_NEAR(b->x - a->x, b->y - a->y, 1e-9);
        EXPECT_NEAR(b->x - a->x, side / 10, 1e-9);
        // The visible square's centre is the surface's centre, within a pixel.
        const auto centre = mapToSurface(view, surface, 700, 400);
        ASSERT_TRUE(centre);
        EXPECT_NEAR(centre->x, surface.width / 2, 1.0);
        EXPECT_NEAR(centre->y, surface.height / 2, 1.0);
        const Point2 middle = viewPosition(view, surface, Point2{surface.width / 2, surface.height / 2});
        EXPECT_NEAR(middle.x, 500, 1000 / side + 1e-3);
        EXPECT_NEAR(middle.y, 500, 1000 / side + 1e-3);
        // The longer side shows more of the galaxy: its edges lie beyond the square.
        const Point2 corner = viewPosition(view, surface, Point2{0, 0});
        EXPECT_NEAR(std::min(corner.x, corner.y), -(std::max(surface.width, surface.height) - side) / 2 * 1000 / side,
                    1000 / side + 1e-3);
        // A click reads back the map point under it, wherever it falls.
        for (const Point2 at : {Point2{5, 7}, Point2{surface.width - 3, surface.height / 3}}) {
            const Point2 v = viewPosition(view, surface, at);
            const auto m = surfaceToMap(view, surface, at);
            ASSERT_TRUE(m);
            EXPECT_NEAR(v.x + view.XStart, m->x, 0.5 * 1000 / side + 1e-3);
            EXPECT_NEAR(v.y + view.YStart, m->y, 0.5 * 1000 / side + 1e-3);
        }
    }
}
