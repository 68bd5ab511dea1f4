#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "analysis/view.h"
#include "app/gamechoice.h"
#include "app/gamefollower.h"
#include "app/programstate.h"
#include "app/starttrace.h"
#include "app/startup.h"
#include "app/turnreload.h"
#include "base/numeric.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "ui/changesdock.h"
#include "ui/dialogs.h"
#include "ui/historyview.h"
#include "ui/maprenderer.h"
#include "ui/mapwindow.h"
#include "ui/mapwindowimpl.h"
#include "ui/opengamedialog.h"
#include "ui/planetsdock.h"
#include "ui/raceeditor.h"
#include "ui/racesdock.h"
#include "ui/turnhistory.h"

namespace vornex::ui {

// ---- following a game: open, reload, the planet table, the map as a picture ------------------

void MapWindow::buildFollowing()
{
    d->planets = new PlanetsDock(d->state, this);
    addDockWidget(Qt::RightDockWidgetArea, d->planets);
    // Hidden until the user asks for it (View > Planets); the window then remembers it.
    d->planets->hide();
    connect(d->planets, &PlanetsDock::planetActivated, this, &MapWindow::selectPlanet);

    QMenu* file = d->fileMenu;
    QAction* first = file->actions().value(0);
    QAction* open = new QAction(tr("&Open Game…"), file);
    open->setObjectName("OpenGame");
    open->setShortcut(QKeySequence::Open);
    file->insertAction(first, open);
    connect(open, &QAction::triggered, this, [this] {
        OpenGameDialog dialog(d->state.game, this);
        if (dialog.exec() == QDialog::Accepted)
            if (auto game = dialog.choice()) openGame(*game);
    });
    QAction* image = file->addAction(tr("Save Map &Image…"));
    image->setObjectName("SaveMapImage");
    connect(image, &QAction::triggered, this, &MapWindow::chooseMapImageFile);
    file->addSeparator();
    d->recentGames = file->addMenu(tr("&Recent Games"));
    d->recentGames->setObjectName("RecentGames");
    fillRecentGames();

    QMenu* view = d->viewMenu;
    QAction* reload = view->addAction(tr("&Reload"));
    reload->setObjectName("Reload");
    reload->setShortcut(QKeySequence::Refresh);
    reload->setShortcutContext(Qt::WindowShortcut);
    connect(reload, &QAction::triggered, this, &MapWindow::reloadTurnFiles);
    QAction* toggle = d->planets->toggleViewAction();
    toggle->setObjectName("ShowPlanets");
    view->addAction(toggle);

    d->follower = new GameFollower(d->state, this);
    connect(d->follower, &GameFollower::turnReloaded, this, &MapWindow::turnReloaded);
    connect(d->follower, &GameFollower::message, this, &MapWindow::showStatus);
    // While the game folder is missing the status bar says so for good, not for a few seconds.
    auto* stopped = new QLabel(this);
    stopped->setObjectName("lblFollowingStopped");
    stopped->setText(tr("Not following: the game folder is missing"));
    stopped->hide();
    statusBar()->addPermanentWidget(stopped);
    connect(d->follower->watcher(), &GameWatcher::followingStopped, stopped, [stopped](const QString& folder) {
        stopped->setToolTip(QDir::toNativeSeparators(folder));
        stopped->show();
    });
    connect(d->follower->watcher(), &GameWatcher::followingResumed, stopped, &QLabel::hide);
}

void MapWindow::fillRecentGames()
{
    d->recentGames->clear();
    int n = 0;
    for (const Game& g : recentGames(d->settings)) {
        ++n;
        QAction* a = d->recentGames->addAction(tr("&%1 %2, player %3 (%4)")
                                                   .arg(n)
                                                   .arg(QString::fromStdString(g.name))
                                                   .arg(QString::fromStdString(g.player.suffix))
                                                   .arg(QDir::toNativeSeparators(QString::fromStdString(g.folder))));
        a->setObjectName(QString("RecentGame%1").arg(n));
        connect(a, &QAction::triggered, this, [this, g] {
            const GameChoiceCheck check = checkGameChoice(g);
            if (!check.ok()) {
                showMessage(this, tr("Open Game"),
                            tr("%1 cannot be opened:\n%2").arg(QString::fromStdString(g.name), check.reasons()));
                return;
            }
            openGame(*check.game);
        });
    }
    d->recentGames->setEnabled(n > 0);
}

void MapWindow::finishStartup()
{
    if (d->started) return;
    d->started = true;
    d->races->refresh();
    d->history->turnLoaded();
    d->follower->follow();
    traceStartStep("start-up finished");
}

PlanetsDock* MapWindow::planetsDock()
{
    finishStartup();
    return d->planets;
}

GameWatcher* MapWindow::gameWatcher()
{
    finishStartup();
    return d->follower->watcher();
}

GameFollower* MapWindow::gameFollower()
{
    finishStartup();
    return d->follower;
}

TurnHistory* MapWindow::turnHistory()
{
    finishStartup();
    return d->history;
}

void MapWindow::buildHistory()
{
    // Its History view joins the side column with the race editor (addRaceEditor).
    d->history = new TurnHistory(*this, d->state);
    d->viewMenu->addAction(d->history->changesDock()->toggleViewAction());
}

void MapWindow::reloadTurnFiles()
{
    if (d->unloaded) return;
    finishStartup();
    d->follower->reload(true);
}

void MapWindow::turnReloaded(const TurnReload& result)
{
    auto& s = d->state;
    // Recorded in the history's worker; the status bar then names the turn's biggest changes.
    d->history->turnLoaded(GameFollower::reloadedText(result));
    d->planets->refresh();
    d->races->refresh();
    // The selected planet stays selected by its number and the panel shows its new figures; a
    // planet the new turn no longer has leaves the panel empty and the map without a ring.
    if (d->planets) d->planets->showSelected(s.view.PlanetSelected);
    showSelectedPlanet();
    redrawMap();
    showDiagnosticsNote();
}

bool MapWindow::openGame(const Game& game)
{
    finishStartup();
    auto& s = d->state;
    const GameChoiceCheck check = checkGameChoice(game);
    if (!check.ok()) {
        showStatus(tr("The game cannot be opened: %1").arg(check.reasons()));
        return false;
    }
    // Leaving the game: its players table is saved as on closing the window.
    if (d->exportDialog) d->exportDialog->close();
    d->raceEditor->commitPending();
    if (!savePlayersOrAsk(tr("Open without saving"))) {
        showStatus(tr("The game was not opened: the players table of this game could not be saved."));
        return false;
    }
    d->raceEditor->setRaceNameChanged(false);
    SaveSettings(s, d->settings);

    const Game before = s.game;
    rememberGame(d->settings, before);
    storeGameChoice(d->settings, *check.game);
    ProgramState next;
    FixedAnswer noQuestions;
    if (startGame(next, d->settings, noQuestions, FileExists) != StartupResult::Ready) {
        // The files went away between the check and the loading: stay with the game shown.
        storeGameChoice(d->settings, before);
        showStatus(tr("The game cannot be opened: its files could not be read."));
        return false;
    }
    s = std::move(next);
    d->history->turnLoaded();
    rememberGame(d->settings, s.game);
    fillRecentGames();

    // A new editor for the new players table: the old one still points at the players left.
    RaceEditor* old = d->raceEditor;
    d->raceEditor = new RaceEditor(s, d->settings, d->prompter, *this, old->parentWidget());
    delete d->sideLayout->replaceWidget(old, d->raceEditor);
    delete old;
    d->raceEditor->show();
    for (QAction* a : d->modes->actions())
        a->setChecked(a->objectName().toStdString() == clickModeName(s.view.clickMode));

    d->planets->refresh();
    d->races->refresh();
    showGame();
    showDiagnosticsNote();
    d->follower->follow();
    showStatus(tr("Opened %1, player %2")
                   .arg(QString::fromStdString(s.game.name), QString::fromStdString(s.game.player.suffix)));
    return true;
}

void MapWindow::selectPlanet(int16_t id)
{
    auto& s = d->state;
    PlanetPtr p = s.AllPlanets.ByID(id);
    if (!p) return;
    const auto at =
        mapToSurface(viewOf(s), Surface{double(d->map->width()), double(d->map->height()), d->map->devicePixelRatioF()},
                     p->Xcord, p->Ycord);
    if (!at || !d->map->rect().contains(QPointF(at->x, at->y).toPoint())) {
        try {
            d->map->moveView(ViewStep::Keep, num::sub16(p->Xcord, s.view.XStart), num::sub16(p->Ycord, s.view.YStart));
        } catch (const OverflowError&) {
            showStatus(tr("The planet lies too far from the view to centre on it."));
        }
    }
    selectNearestPlanet(p->Xcord, p->Ycord);
}

} // namespace vornex::ui
