#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <cstdio>

#include "analysis/view.h"
#include "app/gamechoice.h"
#include "app/gamewatcher.h"
#include "app/programstate.h"
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
        const GameChoice current{QString::fromStdString(d->state.FileLocation), d->state.YourNumber,
                                 QString::fromStdString(d->state.GameName)};
        OpenGameDialog dialog(current, this);
        if (dialog.exec() == QDialog::Accepted) openGame(dialog.choice());
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

    d->watcher = new GameWatcher(this);
    connect(d->watcher, &GameWatcher::turnFilesChanged, this, &MapWindow::reloadTurnFiles);
    watchGame();
}

void MapWindow::watchGame()
{
    QStringList files;
    for (const std::string& f : turnFiles(d->state))
        files << QString::fromStdString(f);
    d->watcher->watch(QString::fromStdString(d->state.FileLocation), files);
}

void MapWindow::fillRecentGames()
{
    d->recentGames->clear();
    int n = 0;
    for (const GameChoice& g : recentGames(d->settings)) {
        ++n;
        QAction* a = d->recentGames->addAction(
            tr("&%1 %2, player %3 (%4)").arg(n).arg(g.game).arg(g.player).arg(QDir::toNativeSeparators(g.folder)));
        a->setObjectName(QString("RecentGame%1").arg(n));
        connect(a, &QAction::triggered, this, [this, g] {
            const GameChoiceCheck check = checkGameChoice(g.folder, QString::number(g.player), g.game);
            if (!check.ok()) {
                showMessage(this, tr("Open Game"),
                            tr("%1 cannot be opened:\n%2").arg(g.game, check.folder + check.player + check.game));
                return;
            }
            openGame(g);
        });
    }
    d->recentGames->setEnabled(n > 0);
}

PlanetsDock* MapWindow::planetsDock() const
{
    return d->planets;
}

GameWatcher* MapWindow::gameWatcher() const
{
    return d->watcher;
}

TurnHistory* MapWindow::turnHistory() const
{
    return d->history;
}

void MapWindow::buildHistory()
{
    d->history = new TurnHistory(*this, d->state);
    // The History view goes under the panel and the race editor in the side column (which scrolls
    // when the window is short), so the panel and the editor keep their places.
    d->sideLayout->insertWidget(2, d->history->historyView());
    d->viewMenu->addAction(d->history->changesDock()->toggleViewAction());
}

void MapWindow::reloadTurnFiles()
{
    if (d->unloaded) return;
    auto& s = d->state;
    const TurnReload r = vornex::reloadTurnFiles(s);
    // What is on disk now has been read (or found unreadable): only a later change reloads again.
    d->watcher->markSeen();
    if (!r.ok) {
        showStatus(tr("Turn files not reloaded: %1").arg(QString::fromStdString(r.error)));
        return;
    }
    const QString reloaded = r.changed == 1 ? tr("Turn files reloaded: 1 planet changed")
                                            : tr("Turn files reloaded: %1 planets changed").arg(r.changed);
    // Recorded in the history's worker; the status bar then names the turn's biggest changes.
    d->history->turnLoaded(reloaded);
    d->planets->refresh();
    d->races->refresh();
    // The selected planet stays selected by its number; the panel shows its new figures.
    if (PlanetPtr p = s.selectedPlanet()) {
        selectNearestPlanet(p->Xcord, p->Ycord);
    } else {
        redrawMap();
    }
    showDiagnosticsNote();
    showStatus(reloaded);
    std::printf("reloaded %d planets from %s\n", r.planets, s.FileLocation.c_str());
    std::fflush(stdout);
}

bool MapWindow::openGame(const GameChoice& game)
{
    auto& s = d->state;
    const GameChoiceCheck check = checkGameChoice(game.folder, QString::number(game.player), game.game);
    if (!check.ok()) {
        showStatus(tr("The game cannot be opened: %1").arg(check.folder + check.player + check.game));
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

    const GameChoice before{QString::fromStdString(s.FileLocation), s.YourNumber, QString::fromStdString(s.GameName)};
    rememberGame(d->settings, before);
    storeGameChoice(d->settings, game);
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
    rememberGame(d->settings, game);
    fillRecentGames();

    // A new editor for the new players table: the old one still points at the players left.
    RaceEditor* old = d->raceEditor;
    d->raceEditor = new RaceEditor(s, d->settings, d->prompter, *this, old->parentWidget());
    delete d->sideLayout->replaceWidget(old, d->raceEditor);
    delete old;
    d->raceEditor->show();
    for (QAction* a : d->modes->actions())
        a->setChecked(a->objectName().toStdString() == s.ClickOption);

    d->planets->refresh();
    d->races->refresh();
    showGame();
    showDiagnosticsNote();
    watchGame();
    showStatus(tr("Opened %1, player %2").arg(game.game).arg(game.player));
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
            d->map->moveView(ViewStep::Keep, num::sub16(p->Xcord, s.XStart), num::sub16(p->Ycord, s.YStart));
        } catch (const OverflowError&) {
            showStatus(tr("The planet lies too far from the view to centre on it."));
        }
    }
    selectNearestPlanet(p->Xcord, p->Ycord);
}

} // namespace vornex::ui
