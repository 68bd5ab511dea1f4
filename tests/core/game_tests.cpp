// The game value: the one reading of a player number, the game names that stay in the folder, and
// the files every part of the program takes from it.
#include <gtest/gtest.h>

#include "io/game.h"

using namespace vornex;

TEST(Game, PlayerNumbersAreReadInOnePlaceAsTypedOrAsStored)
{
    struct Case {
        const char* text;
        std::optional<PlayerNumber> typed, stored;
    };
    const PlayerNumber four{"4", 4}, padded{"04", 4};
    const Case cases[] = {
        {"4", four, four},
        {" 04 ", padded, padded},
        {"-3", PlayerNumber{"-3", -3}, PlayerNumber{"-3", -3}},
        {"-1", std::nullopt, std::nullopt}, // no number given yet
        {"2.5", std::nullopt, PlayerNumber{"2.5", 2}},
        {"3.5", std::nullopt, PlayerNumber{"3.5", 4}},
        {"0.99999999999999999", std::nullopt, PlayerNumber{"0.99999999999999999", 1}},
        {"1e0", std::nullopt, PlayerNumber{"1e0", 1}},
        {"+4", std::nullopt, PlayerNumber{"+4", 4}},
        {"40000", std::nullopt, std::nullopt},
        {"four", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"4 4", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parsePlayerNumber(c.text, PlayerText::Typed), c.typed);
        EXPECT_EQ(parsePlayerNumber(c.text, PlayerText::Stored), c.stored);
    }
    EXPECT_EQ(playerNumberOf(12), (PlayerNumber{"12", 12}));
}

TEST(Game, NamesThatLeaveTheFolderAreRefusedWithAReason)
{
    for (const char* good : {"game", "alpha 2", "my.game", "Ärger"})
        EXPECT_FALSE(gameNameProblem(good)) << good;
    for (const char* bad : {"", "  ", "../other/evil", "sub/game", "sub\\game", "..", "a..b", "/etc/game"}) {
        auto why = gameNameProblem(bad);
        ASSERT_TRUE(why) << bad;
        EXPECT_FALSE(why->empty());
    }
    EXPECT_TRUE(gameNameProblem(std::string("ga\0me", 5)));
}

TEST(Game, EveryFileIsNamedFromTheGame)
{
    const Game g{"/g/", "alpha", PlayerNumber{"04", 4}};
    EXPECT_EQ(g.mapFile(), "/g/alpha.map");
    EXPECT_EQ(g.reportFile(), "/g/alpha.p04");
    EXPECT_EQ(g.exportFile(), "/g/export.p4");
    EXPECT_EQ(g.gravityFile(), "/g/gravity.csv");
    EXPECT_EQ(g.playersFile(), "/g/player.inf");
    const auto files = g.turnFiles();
    ASSERT_EQ(files.size(), 18u);
    EXPECT_EQ(files[1], "/g/alpha.p04");
    EXPECT_EQ(files.back(), "/g/export.p16");
#ifdef _WIN32
    EXPECT_EQ(withFolderSeparator("c:\\g"), "c:\\g\\");
#else
    EXPECT_EQ(withFolderSeparator("/g"), "/g/");
#endif
    EXPECT_EQ(withFolderSeparator("c:\\g\\"), "c:\\g\\");
}
