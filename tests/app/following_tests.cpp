// Choosing a game: the command line, the checks the open dialog shares, the recent-games list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

#include "app/commandline.h"
#include "app/gamechoice.h"
#include "support/fakes.h"

using namespace vornex;

namespace {

// A folder with the files start-up looks for: gravity.csv and the report of player 3 of "alpha".
class GameFolder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder;
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path();
        for (const char* name : {"gravity.csv", "alpha.map", "alpha.p3", "beta.map"}) {
            QFile f(QDir(folder).filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
};

TEST_F(GameFolder, CommandLineOpensAGameOrNamesTheBadValue)
{
    const QString missing = folder + "/nowhere";
    struct Case {
        QStringList args;
        CommandLine::Action action;
        QString errorPart; // the one line must name the bad value
    };
    using A = CommandLine::Action;
    const Case cases[] = {
        {{"--version"}, A::Version, {}},
        {{"--help"}, A::Help, {}},
        {{"--demo"}, A::Run, {}},
        {{"--folder", folder, "--player", "3", "--game", "alpha"}, A::Run, {}},
        {{"--folder", folder, "--player", "17", "--game", "alpha"}, A::Error, "--player 17"},
        {{"--folder", folder, "--player", "2.5", "--game", "alpha"}, A::Error, "--player 2.5"},
        {{"--folder", folder, "--player", "three", "--game", "alpha"}, A::Error, "--player three"},
        {{"--folder", missing, "--player", "3", "--game", "alpha"}, A::Error, "--folder " + missing},
        {{"--folder", folder, "--player", "3", "--game", "beta"}, A::Error, "beta.p3"},
        {{"--folder", folder, "--player", "3"}, A::Error, "--game"},
        {{"--demo", "--folder", folder, "--player", "3", "--game", "alpha"}, A::Error, "--demo"},
        {{"--player"}, A::Error, "player"},
        {{"--frobnicate"}, A::Error, "frobnicate"},
        {{"stray"}, A::Error, "stray"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CommandLine cl = parseCommandLine(QStringList{"vornexinfo"} + c.args);
        EXPECT_EQ(cl.action, c.action) << cl.text.toStdString();
        if (c.action == A::Error) {
            EXPECT_TRUE(cl.text.startsWith("vornexinfo: ")) << cl.text.toStdString();
            EXPECT_TRUE(cl.text.contains(c.errorPart)) << cl.text.toStdString();
            EXPECT_FALSE(cl.text.contains('\n'));
        }
    }
    const CommandLine ok = parseCommandLine({"vornexinfo", "--folder", folder, "--player", " 3", "--game", "alpha"});
    ASSERT_TRUE(ok.game);
    EXPECT_EQ(ok.game->folder, withSeparator(QDir(folder).absolutePath()));
    EXPECT_EQ(ok.game->player, 3);
    EXPECT_EQ(ok.game->game, "alpha");
    EXPECT_TRUE(parseCommandLine({"vornexinfo", "--version"})
                    .text.contains(QRegularExpression("^vornexinfo \\d+\\.\\d+\\.\\d+$")));
    EXPECT_TRUE(hasToolkitOptions({"vornexinfo", "-style", "Fusion"}));
    EXPECT_FALSE(hasToolkitOptions({"vornexinfo", "--stylish"}));
}

TEST_F(GameFolder, GameNamesAreTheMapFilesOfTheFolder)
{
    EXPECT_EQ(gameNamesIn(folder), (QStringList{"alpha", "beta"}));
}

TEST(RecentGames, LatestFirstFiveAtMostNoDuplicatesDamagedEntriesLeftOut)
{
    test::FakeSettings store;
    for (int i = 1; i <= 7; ++i)
        rememberGame(store, GameChoice{QString("/games/g%1").arg(i), int16_t(i), "game"});
    // The fifth again moves to the top instead of appearing twice.
    rememberGame(store, GameChoice{"/games/g5", 5, "game"});
    std::vector<int> players;
    for (const GameChoice& g : recentGames(store))
        players.push_back(g.player);
    EXPECT_EQ(players, (std::vector<int>{5, 7, 6, 4, 3}));
    EXPECT_EQ(recentGames(store).front().folder, withSeparator("/games/g5"));

    store.values["RecentGames/Player2"] = "99";
    EXPECT_EQ(recentGames(store).size(), 4u);

    // Storing a choice makes it the one start-up finds.
    storeGameChoice(store, GameChoice{"/games/x", 4, "gamma"});
    EXPECT_EQ(store.values["Startup/FileLocations"], withSeparator("/games/x").toStdString());
    EXPECT_EQ(store.values["Settings/YourNumber"], "4");
    EXPECT_EQ(store.values["Settings/GameName"], "gamma");
}

} // namespace
