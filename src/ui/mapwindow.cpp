#include "ui/mapwindow.h"
#include "ui/mapwindowimpl.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <optional>

#include "analysis/numbertext.h"
#include "analysis/panel.h"
#include "analysis/view.h"
#include "app/gamechoice.h"
#include "app/gamefollower.h"
#include "app/programstate.h"
#include "app/starttrace.h"
#include "app/startup.h"
#include "base/numeric.h"
#include "io/memorysettings.h"
#include "io/tables.h"
#include "ui/dialogs.h"
#include "ui/exportdialog.h"
#include "ui/loadnotesbutton.h"
#include "ui/maplayer.h"
#include "ui/maprenderer.h"
#include "ui/planetpanel.h"
#include "ui/planetsdock.h"
#include "ui/racesdock.h"
#include "ui/theme.h"
#include "ui/turnhistory.h"

// The icons live in the static library's resources, which need pulling in explicitly.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace vornex::ui {

MapWindow::MapWindow(ProgramState& state, SettingsStore& settings, Prompter& prompter, QWidget* parent)
    : MapWindow(state, settings, prompter, std::function<void()>(), parent)
{
}

MapWindow::MapWindow(ProgramState& state, SettingsStore& settings, Prompter& prompter,
                     const std::function<void()>& tablesRead, QWidget* parent)
    : QMainWindow(parent), d(std::make_unique<Impl>(state, settings, prompter))
{
    initResources();
    setObjectName("mapWindow");
    setWindowIcon(QIcon(":/icons/vornex.png"));
    if (!darkTheme()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, classicGrey());
        pal.setColor(QPalette::Button, classicGrey());
        setPalette(pal);
    }

    auto* client = new QWidget(this);
    client->setObjectName("clientArea");
    auto* row = new QHBoxLayout(client);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setCentralWidget(client);

    buildMenus();
    buildToolbar();
    buildSideColumn();
    row->addWidget(d->sideColumn);
    d->map = new MapSurface(state, *this, client);
    d->map->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    d->map->installEventFilter(this);
    row->addWidget(d->map, 1);
    buildFollowing();
    // The map's own layers get their toolbar actions (Names).
    d->viewMenu->addSeparator();
    for (MapLayer* layer : d->map->renderer().layers())
        if (!layer->title().isEmpty()) addLayerAction(layer);
    buildPlanning();
    buildHistory();
    // A dock the user opens takes its room from the map, but not all of it.
    for (QDockWidget* dock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
        connect(dock->toggleViewAction(), &QAction::triggered, this, [this](bool shown) {
            if (shown) QTimer::singleShot(0, this, [this] { ensureMapRoom(MapRoomFor::OpenedDock); });
        });
    restoreMapLayers();
    d->fileMenu->addSeparator();
    d->fileMenu->addAction(findChild<QAction*>("Exit"));

    d->pointer = new QLabel(this);
    d->pointer->setObjectName("lblPointer");
    d->pointer->setMinimumWidth(130);
    statusBar()->addPermanentWidget(d->pointer);
    statusBar()->setSizeGripEnabled(true);

    placeOnScreen();
    // The parts above read no table; the race editor and the rest do.
    traceStartStep("window built");
    if (tablesRead) {
        // While the files are still being read: the style of the widgets built so far, their
        // fonts, and the window's native side, which showing the game would otherwise wait for.
        for (QWidget* w : findChildren<QWidget*>())
            w->ensurePolished();
        winId();
        traceStartStep("window prepared");
        tablesRead();
    }
    addRaceEditor();
    showGame();
    showDiagnosticsNote();
    restoreGeometry(storedWindowGeometry(settings));
    restoreState(storedWindowLayout(settings));
    d->map->setFocus();
    traceStartStep("game shown");
}

MapWindow::~MapWindow() = default;

MapSurface* MapWindow::mapSurface() const
{
    return d->map;
}

void MapWindow::buildMenus()
{
    d->fileMenu = menuBar()->addMenu(tr("&File"));
    d->fileMenu->setObjectName("File");
    QAction* exportAction = d->fileMenu->addAction(tr("&Export"));
    exportAction->setObjectName("Export");
    connect(exportAction, &QAction::triggered, this, [this] {
        if (d->exportDialog) {
            d->exportDialog->raise();
            d->exportDialog->activateWindow();
            return;
        }
        auto* dialog = new ExportDialog(d->state, this);
        connect(dialog, &ExportDialog::exportWritten, d->follower, &GameFollower::ownFileWritten);
        d->exportDialog = dialog;
        dialog->show();
    });
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("Edit");
    QAction* find = edit->addAction(tr("F&ind"));
    find->setObjectName("Find");
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, &MapWindow::findPlanet);
    d->viewMenu = menuBar()->addMenu(tr("&View"));
    d->viewMenu->setObjectName("View");
}

void MapWindow::buildToolbar()
{
    auto* tb = addToolBar(tr("Map tools"));
    d->toolbar = tb;
    tb->setObjectName("mapToolbar");
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->toggleViewAction()->setVisible(false);
    tb->setIconSize(QSize(16, 16));
    tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    d->modes = new QActionGroup(this);
    d->modes->setExclusive(true);
    auto add = [&](const char* name, const char* icon, const QString& tip) {
        QAction* a = tb->addAction(QIcon(QString(":/icons/%1.png").arg(icon)), tr(name));
        a->setObjectName(name);
        a->setToolTip(tip);
        if (QWidget* w = tb->widgetForAction(a)) w->setObjectName(name);
        return a;
    };
    const char* const modeNames[] = {"Zoom Out", "Zoom In", "Planets", "Move"};
    const char* const modeIcons[] = {"zoomout", "zoomin", "planets", "move"};
    const QString modeTips[] = {tr("Click on the map to zoom out around that point"),
                                tr("Click on the map to zoom in around that point"),
                                tr("Click on the map to select a planet; right-click to measure a distance"),
                                tr("Drag the map with the left button")};
    for (int i = 0; i < 4; ++i) {
        QAction* a = add(modeNames[i], modeIcons[i], modeTips[i]);
        a->setCheckable(true);
        d->modes->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] {
            a->setChecked(true);
            d->state.view.clickMode = clickModeNamed(a->objectName().toStdString()).value_or(ClickMode::Planets);
        });
    }
    QAction* reset = add("Reset", "reset", tr("Show the default view: zoom 2000 from 0, 0 (Home)"));
    connect(reset, &QAction::triggered, this, [this] { d->map->resetView(); });
    tb->addSeparator();
    d->layersEnd = tb->addSeparator();
    QAction* exit = add("Exit", "exit", tr("Save and close"));
    exit->setText(tr("E&xit"));
    QKeySequence quit(QKeySequence::Quit);
    exit->setShortcut(quit.isEmpty() ? QKeySequence(tr("Ctrl+Q")) : quit);
    exit->setShortcutContext(Qt::WindowShortcut);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // The button of the mode in force is down.
    for (QAction* a : d->modes->actions())
        if (a->objectName().toStdString() == clickModeName(d->state.view.clickMode)) a->setChecked(true);
}

QAction* MapWindow::addLayerAction(MapLayer* layer)
{
    auto* a = new QAction(layer->icon(), layer->title(), this);
    a->setObjectName(layer->id());
    a->setToolTip(layer->toolTip().isEmpty() ? layer->title() : layer->toolTip());
    a->setCheckable(true);
    a->setChecked(layer->isShown());
    d->toolbar->insertAction(d->layersEnd, a);
    d->layerActions.emplace_back(layer, a);
    if (QWidget* w = d->toolbar->widgetForAction(a)) w->setObjectName(layer->id());
    d->viewMenu->addAction(a);
    connect(a, &QAction::toggled, this, [this, layer](bool on) {
        layer->setShown(on);
        redrawMap();
    });
    return a;
}

void MapWindow::addMapLayer(std::unique_ptr<MapLayer> layer)
{
    MapLayer* added = layer.get();
    d->map->renderer().add(std::move(layer));
    if (!added->title().isEmpty()) addLayerAction(added);
    redrawMap();
}

void MapWindow::showGame()
{
    auto& s = d->state;
    // 1. The race editor shows your player (its scroll bar's change fills it).
    d->raceEditor->showPlayer(s.yourNumber());
    // 2. Your race's name.
    if (PlayerPtr you = s.yourPlayer()) d->panel->setYourRace(QString::fromStdString(you->RaceName));
    // 3. No race name is pending.
    d->raceEditor->setRaceNameChanged(false);
    // 4. The selected planet's details and the map.
    if (PlanetPtr p = s.selectedPlanet())
        selectNearestPlanet(p->Xcord, p->Ycord);
    else
        redrawMap();
    // 5. Your race's ranges.
    showRaceRanges();
    showTitle();
}

void MapWindow::redrawMap()
{
    d->map->redrawMap();
}

bool MapWindow::namesShown() const
{
    const MapLayer* names = d->map->renderer().layer(QStringLiteral("Names"));
    return names && names->isShown();
}

void MapWindow::setDistanceText(const QString& text)
{
    d->panel->setDistanceText(text);
}

void MapWindow::showStatus(const QString& text)
{
    // Every note reads as a sentence, whoever phrased it (some reasons come from the core in
    // lower case, as parts of longer texts).
    QString sentence = text.trimmed();
    if (sentence.isEmpty()) return;
    sentence[0] = sentence[0].toUpper();
    if (!sentence.endsWith(QLatin1Char('.')) && !sentence.endsWith(QLatin1Char('?')) &&
        !sentence.endsWith(QLatin1Char('!')))
        sentence += QLatin1Char('.');
    statusBar()->showMessage(sentence, 6000);
}

void MapWindow::showPointer(const QString& text)
{
    d->pointer->setText(text);
}

bool MapWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->map) {
        // The coordinates under a pointer that stands still change with the view (keys, Reset,
        // Find, zoom clicks): every redraw of the map refreshes them.
        switch (event->type()) {
        case QEvent::MouseMove:
            d->pointerAt = static_cast<QMouseEvent*>(event)->position();
            break;
        case QEvent::Leave:
            d->pointerAt.reset();
            break;
        case QEvent::Paint:
            if (d->pointerAt) {
                showPointer(d->map->pointerText(*d->pointerAt));
            }
            // The rest of the start-up comes once the map is on the screen.
            if (!d->startAsked) {
                d->startAsked = true;
                QTimer::singleShot(0, this, &MapWindow::finishStartup);
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MapWindow::selectNearestPlanet(int16_t x, int16_t y)
{
    auto& s = d->state;
    if (auto best = nearestPlanet(s.AllPlanets, x, y)) s.view.PlanetSelected = *best;
    if (d->planets) d->planets->showSelected(s.view.PlanetSelected);
    showSelectedPlanet();
    redrawMap();
}

void MapWindow::showSelectedPlanet()
{
    auto& s = d->state;
    PlanetPtr planet = s.selectedPlanet();
    if (d->history) d->history->planetSelected(planet ? planet->ID : int16_t(0));
    if (!planet) {
        d->panel->showNoPlanet();
        return;
    }
    PlayerPtr you = s.yourPlayer();
    d->panel->showPlanet(computePanel(*planet, you.get(), s.AllGravities));
}

void MapWindow::showRaceRanges()
{
    PlayerPtr you = d->state.yourPlayer();
    d->panel->showRaceRanges(computeRaceRanges(you.get(), d->state.AllGravities));
    // The panel's ratings and the table's are your race's: they follow its ranges at once, and the
    // races' figures follow their names.
    showSelectedPlanet();
    if (d->planets) d->planets->refresh();
    if (d->races && d->started) d->races->refresh();
}

void MapWindow::tablesReloaded()
{
    if (PlayerPtr you = d->state.yourPlayer()) d->panel->setYourRace(QString::fromStdString(you->RaceName));
    showRaceRanges();
    redrawMap();
    showDiagnosticsNote();
}

QString MapWindow::diagnosticsText() const
{
    QStringList lines;
    for (const Diagnostic& diag : d->state.diagnostics)
        lines << QString::fromStdString(diag.text());
    return lines.join('\n');
}

void MapWindow::showDiagnosticsNote()
{
    if (!d->diagnosticsNote) {
        if (d->state.diagnostics.empty()) return;
        d->diagnosticsNote = new LoadNotesButton(d->state, this);
        statusBar()->insertPermanentWidget(0, d->diagnosticsNote);
    }
    d->diagnosticsNote->refresh();
}

bool MapWindow::savePlayersOrAsk(const QString& discardText)
{
    auto& s = d->state;
    // The race editor's edits live only in memory until this save: a save that fails holds the
    // close (or the change of game) until the user decides.
    for (;;) {
        const WriteResult saved = SavePlayers(s.game.folder, s.AllPlayers);
        if (saved.ok) return true;
        const QString file = QString::fromStdString(s.game.playersFile());
        const SaveFailureAnswer answer = askAfterFailedSave(
            this, tr("Players table"),
            tr("The players table %1 could not be saved:\n%2\n\nThe race editor's changes of this session are "
               "only in memory. Retry once the cause is mended, go on without saving them, or cancel to go "
               "back to the map with the changes kept.")
                .arg(file, QString::fromStdString(saved.error)),
            discardText);
        if (answer == SaveFailureAnswer::Retry) continue;
        return answer == SaveFailureAnswer::QuitWithoutSaving;
    }
}

void MapWindow::closeEvent(QCloseEvent* event)
{
    if (d->unloaded) {
        event->accept();
        return;
    }
    auto& s = d->state;
    // What the user typed last counts: a limit still in its box is taken, a refused name goes back
    // to the last accepted one. A race name typed but not yet applied is in the player's record:
    // the save below writes it.
    d->raceEditor->commitPending();
    if (!savePlayersOrAsk(tr("Quit without saving"))) {
        event->ignore();
        return;
    }
    d->unloaded = true;
    d->raceEditor->setRaceNameChanged(false);
    // The export dialog works on the tables about to be released.
    if (d->exportDialog) d->exportDialog->close();
    s.AllPlanets = Map();
    s.AllPlayers = Players();
    SaveSettings(s, d->settings);
    rememberGame(d->settings, s.game);
    storeMapLayers(d->settings, shownMapLayers());
    storeWindowLayout(d->settings, saveState());
    storeWindowGeometry(d->settings, saveGeometry());
    event->accept();
}

} // namespace vornex::ui
