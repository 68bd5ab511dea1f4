// Settings that hold garbage (hand edits, other versions, a folder that went away) start the
// program with defaults or the start-up questions, and the window opens and draws without fault.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

#include "app/programstate.h"
#include "app/qsettingsstore.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "support/fakes.h"
#include "support/folders.h"
#include "ui/dialogs.h"
#include "ui/mapsurface.h"
#include "ui/mapwindow.h"

using namespace vornex;

namespace {

class GarbageSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString game; // copy of the demo galaxy
    QString ini;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        game = dir.filePath("game") + "/";
        ASSERT_TRUE(QDir().mkpath(game));
        const QDir demo(VORNEX_DEMO_DIR);
        for (const QString& f : demo.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(demo.filePath(f), game + f)) << f.toStdString();
        ini = dir.filePath("settings.ini");
        ui::dialogHooks().message = [](const QString&, const QString&) {};
    }
    void TearDown() override { ui::dialogHooks() = ui::DialogHooks{}; }

    void store(const std::map<std::string, std::string>& values)
    {
        QSettingsStore s(ini.toStdString());
        for (const auto& [k, v] : values) {
            const auto slash = k.find('/');
            s.write(kApplication, k.substr(0, slash), k.substr(slash + 1), v);
        }
        s.sync();
    }

    // Start-up, then the window: it must open, select and draw.
    void openWindow(ProgramState& state, SettingsStore& settings, Prompter& prompter)
    {
        ui::MapWindow w(state, settings, prompter);
        w.show();
        QApplication::processEvents();
        auto* pic = w.findChild<ui::MapSurface*>("mapSurface");
        ASSERT_NE(pic, nullptr);
        pic->redrawMap();
        w.selectNearestPlanet(0, 0);
        QApplication::processEvents();
        EXPECT_FALSE(pic->image().isNull());
    }
};

TEST_F(GarbageSettingsTest, TextAndOutOfRangeNumbersFallBackToDefaults)
{
    store({{"Startup/FileLocations", game.toStdString()},
           {"Settings/GameName", "game"},
           {"Settings/YourNumber", "1"},
           {"Display/Zoom", "lots"},
           {"Display/XStart", "99999"},
           {"Display/YStart", "-1e9"},
           {"Display/ClickOption", "Banana"},
           {"Display/PlanetSelected", "32767"}});
    QSettingsStore settings(ini.toStdString());
    test::ScriptedPrompter prompter;
    ProgramState state;
    ASSERT_EQ(startGame(state, settings, prompter, FileExists), StartupResult::Ready);
    EXPECT_TRUE(prompter.titles.empty());
    EXPECT_EQ(state.view.Zoom, 2000);
    EXPECT_EQ(state.view.XStart, 0);
    EXPECT_EQ(state.view.YStart, 0);
    EXPECT_EQ(state.view.clickMode, ClickMode::Planets); // no such mode: the first
    EXPECT_EQ(state.selectedPlanet(), nullptr);
    EXPECT_GT(state.AllPlanets.Count(), 100);
    openWindow(state, settings, prompter);
}

TEST_F(GarbageSettingsTest, ZeroOrNegativeZoomIsNoViewAndExtremeOriginsStillDraw)
{
    for (const char* zoom : {"0", "-7"}) {
        store({{"Startup/FileLocations", game.toStdString()},
               {"Settings/GameName", "game"},
               {"Settings/YourNumber", "1"},
               {"Display/Zoom", zoom},
               {"Display/XStart", "32767"},
               {"Display/YStart", "-32768"}});
        QSettingsStore settings(ini.toStdString());
        test::ScriptedPrompter prompter;
        ProgramState state;
        ASSERT_EQ(startGame(state, settings, prompter, FileExists), StartupResult::Ready);
        EXPECT_EQ(state.view.Zoom, 2000) << zoom;
        EXPECT_EQ(state.view.XStart, 32767);
        openWindow(state, settings, prompter);
    }
}

TEST_F(GarbageSettingsTest, FolderThatWentAwayAndUnknownPlayerAskAgain)
{
    store({{"Startup/FileLocations", dir.filePath("gone").toStdString() + "/"},
           {"Settings/GameName", "game"},
           {"Settings/YourNumber", "not a number"}});
    QSettingsStore settings(ini.toStdString());
    test::ScriptedPrompter prompter;
    // The folder, the race number, then the planet loader's own player number question.
    prompter.answers = {game.toStdString(), "1", "1"};
    ProgramState state;
    ASSERT_EQ(startGame(state, settings, prompter, FileExists), StartupResult::Ready);
    EXPECT_EQ(state.game.folder, test::keptFolder(game));
    EXPECT_EQ(state.yourNumber(), 1);
    ASSERT_GE(prompter.titles.size(), 2u);
    EXPECT_EQ(prompter.titles[0], "Missing files!");
    EXPECT_EQ(prompter.titles[1], "Race Number");
    EXPECT_GT(state.AllPlanets.Count(), 100);
    openWindow(state, settings, prompter);
}

TEST_F(GarbageSettingsTest, PlayerNumberOfNoPlayerOpensWithoutARace)
{
    store({{"Startup/FileLocations", game.toStdString()}, {"Settings/GameName", "game"}, {"Settings/YourNumber", "1"}});
    QSettingsStore settings(ini.toStdString());
    test::ScriptedPrompter prompter;
    ProgramState state;
    ASSERT_EQ(startGame(state, settings, prompter, FileExists), StartupResult::Ready);
    state.game.player = playerNumberOf(40); // no such player: no race bars, ratings of 0, no crash
    openWindow(state, settings, prompter);
}

} // namespace
