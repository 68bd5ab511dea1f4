// View arithmetic: zoom steps, centring, drags, nearest planet and distances.
#include <gtest/gtest.h>

#include "analysis/view.h"

using namespace vornex;

namespace {

Map planetsAt(std::initializer_list<std::pair<int, int>> points)
{
    Map m;
    int16_t id = 1;
    for (auto [x, y] : points) {
        auto p = m.Add("P" + std::to_string(id));
        p->ID = id++;
        p->Xcord = static_cast<int16_t>(x);
        p->Ycord = static_cast<int16_t>(y);
    }
    return m;
}

} // namespace

TEST(StepView, ZoomInThenOutKeepsTheClickedPointCentred)
{
    View v; // reset view: 2000 at (0, 0)
    auto in = stepView(v, ViewStep::ZoomIn, 500, 500);
    ASSERT_TRUE(in);
    EXPECT_EQ(*in, (View{1000, 0, 0}));
    auto out = stepView(*in, ViewStep::ZoomOut, 500, 500);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, (View{2000, -500, -500}));
    // "Move" keeps the zoom; other texts (case-sensitive) count as moves too.
    EXPECT_EQ(*stepView(v, ViewStep::Keep, 100, 1500), (View{2000, -900, 500}));
    EXPECT_EQ(*stepView(v, viewStepOfMode("zoom in"), 1000, 1000), (View{2000, 0, 0}));
}

TEST(StepView, ZoomInRoundsHalvesToEven)
{
    for (auto [from, to] : {std::pair<int16_t, int16_t>{125, 62}, {3, 2}, {2, 1}, {5, 2}, {7, 4}}) {
        auto v = stepView(View{from, 0, 0}, ViewStep::ZoomIn, 0, 0);
        ASSERT_TRUE(v) << from;
        EXPECT_EQ(v->Zoom, to) << from;
    }
    // The new corner: point 0 + 0 minus 62 / 2.
    EXPECT_EQ(stepView(View{125, 0, 0}, ViewStep::ZoomIn, 0, 0)->XStart, -31);
    // Odd zoom: 101 - 125 / 2 = 38.5 goes to 38.
    EXPECT_EQ(stepView(View{125, 1, 0}, ViewStep::Keep, 100, 0)->XStart, 38);
}

TEST(StepView, RefusesStepsThatLeaveSixteenBits)
{
    std::string why;
    EXPECT_FALSE(stepView(View{1, 0, 0}, ViewStep::ZoomIn, 0, 0, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(stepView(View{16384, 0, 0}, ViewStep::ZoomOut, 0, 0));
    EXPECT_TRUE(stepView(View{16383, 0, 0}, ViewStep::ZoomOut, 0, 0));
    // x + XStart beyond 32767
    EXPECT_FALSE(stepView(View{2000, 32000, 0}, ViewStep::Keep, 1000, 0));
    // the new XStart beyond -32768
    EXPECT_FALSE(stepView(View{32000, -32000, 0}, ViewStep::Keep, 0, 0));
    EXPECT_FALSE(stepView(View{0, 0, 0}, ViewStep::Keep, 0, 0)); // no square to show
}

TEST(DragTarget, ViewFollowsThePointer)
{
    View v{2000, 100, 200};
    // Pointer moved 10 right and 5 down since the last step.
    auto t = dragTarget(v, 510.0, 305.0, 500, 300);
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, std::make_pair(int16_t(1010), int16_t(1005)));
    auto moved = stepView(v, ViewStep::Keep, t->first, t->second);
    EXPECT_EQ(moved->XStart, 110);
    EXPECT_EQ(moved->YStart, 205);
    // Fractions of the pointer position round half to even: 1000 + 0.5 -> 1000.
    EXPECT_EQ(dragTarget(v, 500.5, 300, 500, 300)->first, 1000);
    EXPECT_FALSE(dragTarget(View{32000, 0, 0}, 20000, 0, 0, 0));
}

TEST(NearestPlanet, LimitTiesAndOverflow)
{
    Map m = planetsAt({{0, 0}, {150, 0}, {50, 49}, {49, 50}});
    // From (0, 99): (0, 0) is 99 away, (49, 50) 98, (50, 49) exactly 100.
    EXPECT_EQ(nearestPlanet(m, 0, 99), std::optional<int16_t>(4));
    EXPECT_EQ(nearestPlanet(planetsAt({{0, 0}, {50, 49}}), 0, 99), std::optional<int16_t>(1));
    // 100 away is not picked.
    Map lone = planetsAt({{100, 0}});
    EXPECT_EQ(nearestPlanet(lone, 0, 0), std::nullopt);
    EXPECT_EQ(nearestPlanet(lone, 1, 0), std::optional<int16_t>(1));
    // Equal distances: the earlier planet.
    EXPECT_EQ(nearestPlanet(m, 50, 50), std::optional<int16_t>(3));
    // A planet's own position selects it.
    EXPECT_EQ(nearestPlanet(m, 150, 0), std::optional<int16_t>(2));
    // Differences that leave 16 bits make no candidate, and do not stop the search.
    Map far = planetsAt({{-32768, 0}, {32700, 10}});
    EXPECT_EQ(nearestPlanet(far, 32700, 0), std::optional<int16_t>(2));
    Map sumOverflow = planetsAt({{-20000, -20000}});
    EXPECT_EQ(nearestPlanet(sumOverflow, 20000, 20000, 40000), std::nullopt);
}

TEST(Distance, StraightLineRoundedHalfToEven)
{
    Map m = planetsAt({{0, 0}, {3, 4}, {1, 1}, {-32000, 0}, {32000, 0}, {0, 5}});
    EXPECT_EQ(planetDistance(*m.Item(1), *m.Item(2)), std::optional<int16_t>(5));
    EXPECT_EQ(planetDistance(*m.Item(1), *m.Item(3)), std::optional<int16_t>(1)); // 1.414
    EXPECT_EQ(planetDistance(*m.Item(2), *m.Item(2)), std::optional<int16_t>(0));
    EXPECT_EQ(planetDistance(*m.Item(4), *m.Item(5)), std::nullopt);              // 64000 does not fit
    EXPECT_EQ(planetDistance(*m.Item(6), *m.Item(2)), std::optional<int16_t>(3)); // sqrt(10)
}
