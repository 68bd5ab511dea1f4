// The races of a game: the figures of the Races view and the legend's order, and your worlds' ranges.
#include <gtest/gtest.h>

#include "analysis/races.h"

using namespace vornex;

namespace {

void addPlanet(Map& map, const std::string& name, const std::string& owner, int32_t population, int16_t value,
               int16_t age, int16_t scanner = 0, int16_t penetration = 0)
{
    PlanetPtr p = map.Add(name);
    p->PlanetName = name;
    p->Owner = owner;
    p->Population = population;
    p->Value = value;
    p->ReportAge = age;
    p->Xcord = int16_t(map.Count() * 10);
    p->Scanner = scanner;
    p->Penetration = penetration;
}

void addPlayer(Players& players, const std::string& race, int32_t colour)
{
    PlayerPtr p = players.Add(race);
    p->RaceName = race;
    p->PlayerName = race.empty() ? "" : race + " player";
    p->Colour = colour;
    p->Number = int16_t(players.Count());
}

} // namespace

TEST(Races, YourRaceFirstWithWhatItOwns)
{
    Players players;
    addPlayer(players, "Kethari", 0xFF);
    addPlayer(players, "", 0);
    addPlayer(players, "Humanoid", 0xFF00);
    addPlayer(players, "Insectoid", 0xFF0000);
    Map map;
    addPlanet(map, "A", "Humanoid", 1000, 50, 0, 100, 50);
    addPlanet(map, "B", "Kethari", 2000, -10, 3);
    addPlanet(map, "C", "Humanoid", 500, 20, 2, 0, 0);
    addPlanet(map, "D", "Uninhabited", 0, 70, 0);
    addPlanet(map, "E", "Nobody we know", 7, 7, 0);
    addPlanet(map, "F", "humanoid", 9, 9, 0); // owners are named exactly

    const auto races = raceSummaries(map, players, 3);
    ASSERT_EQ(races.size(), 3u);
    EXPECT_EQ(races[0].race, "Humanoid");
    EXPECT_TRUE(races[0].yours);
    EXPECT_EQ(races[0].number, 3);
    EXPECT_EQ(races[0].colour, 0xFF00);
    EXPECT_EQ(std::tie(races[0].planets, races[0].population, races[0].value, races[0].reportedThisTurn),
              std::make_tuple(2, 1500LL, 70LL, 1));
    EXPECT_EQ(races[1].race, "Kethari");
    EXPECT_EQ(std::tie(races[1].planets, races[1].population, races[1].value, races[1].reportedThisTurn),
              std::make_tuple(1, 2000LL, -10LL, 0));
    EXPECT_EQ(races[2].race, "Insectoid");
    EXPECT_EQ(races[2].planets, 0);

    const auto worlds = ownRanges(map, "Humanoid");
    ASSERT_EQ(worlds.size(), 2u);
    EXPECT_EQ(std::tie(worlds[0].x, worlds[0].scanner, worlds[0].penetration),
              std::make_tuple(int16_t(10), int16_t(100), int16_t(50)));
    EXPECT_EQ(worlds[1].x, 30);
    EXPECT_TRUE(ownRanges(map, "").empty());
}
