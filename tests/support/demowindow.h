#pragma once
// The window on a copy of the demo galaxy for the window tests: player 1, planet 10 selected, the
// message box's texts collected in `messages`.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "app/gamechoice.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "ui/dialogs.h"
#include "ui/mapwindow.h"
#include "ui/planetsdock.h"
#include "ui/planetsfilter.h"
#include "ui/planetstablemodel.h"

namespace vornex::testing {

// Copies the demo game's files into `to`, renamed for the game `game`.
inline bool copyDemo(const QString& to, const QString& game = "game")
{
    QDir source(VORNEX_DEMO_DIR);
    for (const QFileInfo& f : source.entryInfoList(QDir::Files)) {
        QString name = f.fileName();
        if (name.startsWith("game.")) name = game + name.mid(4);
        if (!QFile::copy(f.absoluteFilePath(), QDir(to).filePath(name))) return false;
    }
    return true;
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class DemoWindow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder;
    ProgramState s;
    MemorySettings store;
    FixedAnswer prompter;
    std::unique_ptr<ui::MapWindow> w;
    QStringList messages;

    // The demo copied, started as the program starts and shown at 1400 by 800.
    void openDemo()
    {
        ui::dialogHooks().message = [this](const QString&, const QString& text) { messages << text; };
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(copyDemo(dir.path()));
        folder = dir.path() + "/";
        storeGameChoice(store, Game{folder.toStdString(), "game", playerNumberOf(1)});
        ASSERT_EQ(startGame(s, store, prompter, FileExists), StartupResult::Ready);
        s.view.PlanetSelected = 10;
        w = std::make_unique<ui::MapWindow>(s, store, prompter);
        w->resize(1400, 800);
        w->show();
    }
    void TearDown() override
    {
        if (w) w->close();
        ui::dialogHooks() = ui::DialogHooks();
    }
    ui::PlanetsDock* dock() const { return w->planetsDock(); }
    ui::PlanetsTableModel* model() const
    {
        return static_cast<ui::PlanetsTableModel*>(dock()->filter()->sourceModel());
    }
};

} // namespace vornex::testing
