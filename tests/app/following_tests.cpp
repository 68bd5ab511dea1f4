// Choosing a game: the command line, the checks the open dialog shares, the recent-games list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/commandline.h"
#include "app/gamechoice.h"
#include "app/programstate.h"
#include "app/turnreload.h"
#include "support/fakes.h"
#include "support/folders.h"

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
        {{"--folder", folder, "--player", "0.99999999999999999", "--game", "alpha"}, A::Error, "--player 0.9"},
        {{"--folder", folder, "--player", "3", "--game", "../alpha"}, A::Error, "--game ../alpha: A game name"},
        {{"--folder", folder, "--player", "3", "--game", "sub/alpha"}, A::Error, "--game sub/alpha"},
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
    EXPECT_EQ(ok.game->folder, test::keptFolder(folder));
    EXPECT_EQ(ok.game->player, (PlayerNumber{"3", 3}));
    EXPECT_EQ(ok.game->name, "alpha");
    // A relative folder is made absolute, so that the stored game holds from any folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QFileInfo(folder).absolutePath()));
    const CommandLine relative =
        parseCommandLine({"vornexinfo", "--folder", QFileInfo(folder).fileName(), "--player", "3", "--game", "alpha"});
    QDir::setCurrent(before);
    ASSERT_TRUE(relative.game) << relative.text.toStdString();
    EXPECT_EQ(relative.game->folder, ok.game->folder);
    EXPECT_TRUE(parseCommandLine({"vornexinfo", "--version"})
                    .text.contains(QRegularExpression("^vornexinfo \\d+\\.\\d+\\.\\d+$")));
    EXPECT_TRUE(hasToolkitOptions({"vornexinfo", "-style", "Fusion"}));
    EXPECT_FALSE(hasToolkitOptions({"vornexinfo", "--stylish"}));
}

// A file that is there but cannot be read is named with the real reason, never called missing:
// in the checks of the command line and the dialog, and when the turn files are read again.
TEST_F(GameFolder, FilesThatCannotBeReadAreNamedWithTheRealReason)
{
    const QString base = QString::fromStdString(normalFolder(folder));
    auto replaceByFolder = [&](const char* name) {
        QFile::remove(base + name);
        ASSERT_TRUE(QDir(folder).mkdir(name));
    };
    struct Case {
        std::function<void()> spoil; // of gravity.csv and alpha.p3, both there at first
        QString folderPart, gamePart, reloadPart;
    };
    const Case cases[] = {
        {[] {}, {}, {}, {}},
        {[&] { QFile::remove(base + "gravity.csv"); }, "gravity.csv is not in this folder.", {}, {}},
        {[&] { replaceByFolder("gravity.csv"); }, "gravity.csv: is a folder, not a file.", {}, {}},
        {[&] { replaceByFolder("alpha.p3"); }, {}, "alpha.p3: is a folder, not a file.", "alpha.p3: is a folder"},
#ifndef _WIN32
        {[&] {
             QFile::remove(base + "alpha.p3");
             ASSERT_EQ(::mkfifo((base + "alpha.p3").toLocal8Bit().constData(), 0600), 0);
         },
         {},
         "alpha.p3: not a regular file.",
         "alpha.p3: not a regular file"},
#endif
        {[&] { QFile::remove(base + "alpha.p3"); },
         {},
         "No planets report alpha.p3 in this folder.",
         "alpha.p3: file not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folderPart.toStdString() + c.gamePart.toStdString());
        for (const char* name : {"gravity.csv", "alpha.p3"}) {
            QFile::remove(base + name);
            QDir(folder).rmdir(name);
            QFile f(base + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        c.spoil();
        const GameChoiceCheck check = checkGameChoice(folder, "3", "alpha");
        EXPECT_EQ(check.folder, c.folderPart);
        EXPECT_EQ(check.name, c.gamePart);
        if (c.reloadPart.isEmpty()) continue;
        ProgramState state;
        state.game.folder = base.toStdString();
        state.game.name = "alpha";
        state.game.player = playerNumberOf(3);
        const TurnReload reload = reloadTurnFiles(state);
        EXPECT_FALSE(reload.ok);
        EXPECT_NE(reload.error.find(c.reloadPart.toStdString()), std::string::npos) << reload.error;
    }
#ifndef _WIN32
    // A folder the user may not enter: only a user other than the administrator is refused.
    if (::geteuid() == 0) return;
    ASSERT_TRUE(QDir(folder).mkdir("locked"));
    QFile(base + "locked/gravity.csv").open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::setPermissions(base + "locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const GameChoiceCheck locked = checkGameChoice(base + "locked", "3", "alpha");
    QFile::setPermissions(base + "locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(locked.folder, "gravity.csv: cannot open: Permission denied.");
#endif
}

TEST_F(GameFolder, GameNamesAreTheMapFilesOfTheFolder)
{
    EXPECT_EQ(gameNamesIn(folder), (QStringList{"alpha", "beta"}));
}

TEST(RecentGames, LatestFirstFiveAtMostNoDuplicatesDamagedEntriesLeftOut)
{
    test::FakeSettings store;
    for (int i = 1; i <= 7; ++i)
        rememberGame(store, Game{"/games/g" + std::to_string(i), "game", playerNumberOf(int16_t(i))});
    // The fifth again moves to the top instead of appearing twice.
    rememberGame(store, Game{"/games/g5", "game", playerNumberOf(5)});
    std::vector<int> players;
    for (const Game& g : recentGames(store))
        players.push_back(g.playerNumber());
    EXPECT_EQ(players, (std::vector<int>{5, 7, 6, 4, 3}));
    EXPECT_EQ(recentGames(store).front().folder, "/games/g5" + test::separator());

    store.values["RecentGames/Player2"] = "99";
    store.values["RecentGames/Game3"] = "../evil";
    EXPECT_EQ(recentGames(store).size(), 3u);

    // Storing a game makes it the one start-up finds, its number as given.
    storeGameChoice(store, Game{"/games/x/", "gamma", PlayerNumber{"04", 4}});
    EXPECT_EQ(store.values["Startup/FileLocations"], "/games/x/");
    EXPECT_EQ(store.values["Settings/YourNumber"], "04");
    EXPECT_EQ(store.values["Settings/GameName"], "gamma");
}

} // namespace
