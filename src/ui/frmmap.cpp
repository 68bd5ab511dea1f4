#include "ui/frmmap.h"
#include "ui/frmmapimpl.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/numbertext.h"
#include "analysis/panel.h"
#include "analysis/view.h"
#include "app/gamechoice.h"
#include "app/gamefollower.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "base/numeric.h"
#include "io/memorysettings.h"
#include "io/tables.h"
#include "ui/dialogs.h"
#include "ui/frmexport.h"
#include "ui/loadnotesbutton.h"
#include "ui/maprenderer.h"
#include "ui/planetpanel.h"
#include "ui/planetsdock.h"
#include "ui/theme.h"

// The icons live in the static library's resources, which need pulling in explicitly.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace vornex::ui {

namespace {

const QColor kGrey = classicGrey();

} // namespace

frmMap::frmMap(ProgramState& state, SettingsStore& settings, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), d(std::make_unique<Impl>(state, settings, prompter))
{
    initResources();
    setObjectName("frmMap");
    setWindowTitle("Map");
    setWindowIcon(QIcon(":/icons/vornex.png"));
    if (!darkTheme()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kGrey);
        pal.setColor(QPalette::Button, kGrey);
        setPalette(pal);
    }

    d->client = new ClientArea(this);
    d->client->setObjectName("clientArea");
    setCentralWidget(d->client);
    QFont panelFont = font();
    panelFont.setPixelSize(11);
    d->client->setFont(panelFont);

    buildMenus();
    buildToolbar();
    d->pic = new MapSurface(state, *this, d->client);
    d->pic->move(327, 40);
    d->pic->resize(490, 431);
    d->pic->installEventFilter(this);
    buildPanel();
    buildFollowing();

    d->pointer = new QLabel(this);
    d->pointer->setObjectName("lblPointer");
    d->pointer->setMinimumWidth(130);
    statusBar()->addPermanentWidget(d->pointer);
    statusBar()->setSizeGripEnabled(true);

    // The design client area is 1016 by 728 below the menu bar, plus the status bar.
    resize(1016, 728 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    load();
    showDiagnosticsNote();
    restoreState(storedWindowLayout(settings));
    d->pic->setFocus();
}

frmMap::~frmMap() = default;

MapSurface* frmMap::pic() const
{
    return d->pic;
}

void frmMap::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("File");
    QAction* exportAction = file->addAction(tr("&Export"));
    exportAction->setObjectName("Export");
    connect(exportAction, &QAction::triggered, this, [this] {
        if (d->exportDialog) {
            d->exportDialog->raise();
            d->exportDialog->activateWindow();
            return;
        }
        auto* dialog = new frmExport(d->state, this);
        connect(dialog, &frmExport::exportWritten, d->follower, &GameFollower::ownFileWritten);
        d->exportDialog = dialog;
        dialog->show();
    });
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("Edit");
    QAction* find = edit->addAction(tr("F&ind"));
    find->setObjectName("Find");
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, &frmMap::Find);
}

void frmMap::buildToolbar()
{
    auto* tb = new QToolBar(d->client);
    d->toolbar = tb;
    tb->setObjectName("Toolbar1");
    tb->setGeometry(0, 0, 1016, 40);
    tb->setMovable(false);
    tb->setIconSize(QSize(16, 16));
    tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tb->setStyleSheet("QToolBar { border: none; border-bottom: 1px solid #808080; spacing: 2px; padding: 2px; }");

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
    }
    add("Reset", "reset", tr("Show the default view: zoom 2000 from 0, 0 (Home)"));
    tb->addSeparator();
    d->namesAction = add("Names", "names", tr("Show or hide the planet names"));
    d->namesAction->setCheckable(true);
    tb->addSeparator();
    add("Exit", "exit", tr("Save and close"));

    // The button of the mode in force is down; a restored mode that is no button leaves all up.
    for (QAction* a : d->modes->actions())
        if (a->objectName().toStdString() == d->state.ClickOption) a->setChecked(true);

    connect(tb, &QToolBar::actionTriggered, this, &frmMap::toolbarClicked);
}

void frmMap::toolbarClicked(QAction* action)
{
    const QString name = action->objectName();
    if (name == "Exit") {
        close();
    } else if (name == "Reset") {
        d->pic->resetView();
    } else if (name == "Names") {
        DrawPic();
    } else {
        action->setChecked(true);
        d->state.ClickOption = name.toStdString();
    }
}

void frmMap::buildPanel()
{
    // The panel keeps the design's window coordinates for its controls, so it starts at the
    // client area's corner; the toolbar stays on top of its first 40 pixels.
    d->panel = new PlanetPanel(d->client);
    d->panel->setGeometry(0, 0, 327, 528);
    d->toolbar->raise();

    // The race editor with its own controls (hscNumber, SSTab1, ...).
    d->raceEditor = new RaceEditor(d->state, d->settings, d->prompter, *this, d->client);
    d->raceEditor->setObjectName("frameRace");
    d->raceEditor->setGeometry(8, 528, 265, 193);
}

void frmMap::load()
{
    auto& s = d->state;
    // 1. The race editor shows your player (its scroll bar's change fills it).
    if (auto* hsc = d->raceEditor->findChild<QScrollBar*>("hscNumber")) {
        if (s.yourNumber() >= hsc->minimum() && s.yourNumber() <= hsc->maximum()) hsc->setValue(s.yourNumber());
    }
    // 2. Your race's name.
    if (PlayerPtr you = s.yourPlayer()) d->panel->setYourRace(QString::fromStdString(you->RaceName));
    // 3. No race name is pending.
    d->raceEditor->setRaceNameChanged(false);
    // 4. The selected planet's details and the map.
    if (PlanetPtr p = s.selectedPlanet())
        PlanetInfo(p->Xcord, p->Ycord);
    else
        DrawPic();
    // 5. Your race's ranges.
    ChangeRaceHabs();
}

void frmMap::DrawPic()
{
    d->pic->DrawPic();
}

bool frmMap::CentreMap(const QString& action, int16_t x, int16_t y)
{
    return d->pic->CentreMap(action, x, y);
}

bool frmMap::namesShown() const
{
    return d->namesAction && d->namesAction->isChecked();
}

void frmMap::setDistanceText(const QString& text)
{
    d->panel->setDistanceText(text);
}

void frmMap::showStatus(const QString& text)
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

void frmMap::showPointer(const QString& text)
{
    d->pointer->setText(text);
}

bool frmMap::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->pic) {
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
                showPointer(d->pic->pointerText(*d->pointerAt));
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMap::PlanetInfo(int16_t x, int16_t y)
{
    auto& s = d->state;
    if (auto best = nearestPlanet(s.AllPlanets, x, y)) s.PlanetSelected = *best;
    if (d->planets) d->planets->showSelected(s.PlanetSelected);
    PlanetPtr planet = s.selectedPlanet();
    if (!planet) {
        d->panel->showNoPlanet();
        DrawPic();
        return;
    }
    PlayerPtr you = s.yourPlayer();
    d->panel->showPlanet(computePanel(*planet, you.get(), s.AllGravities));
    DrawPic();
}

void frmMap::ChangeRaceHabs()
{
    PlayerPtr you = d->state.yourPlayer();
    d->panel->showRaceBars(computeRaceBars(you.get(), d->state.AllGravities));
    // The table's ratings are your race's too.
    if (d->planets) d->planets->refresh();
}

void frmMap::tablesReloaded()
{
    if (PlayerPtr you = d->state.yourPlayer()) d->panel->setYourRace(QString::fromStdString(you->RaceName));
    ChangeRaceHabs();
    DrawPic();
    showDiagnosticsNote();
}

void frmMap::Find()
{
    // Cancel searches for the empty name, like an empty answer.
    const QString typed = askText(this, "Find Planet", "Planet Name").value_or(QString());
    const std::string name = typed.toStdString();
    auto& s = d->state;
    for (const auto& planet : s.AllPlanets) {
        if (planet->PlanetName != name) continue;
        const int16_t x = planet->Xcord, y = planet->Ycord;
        try {
            CentreMap("Move", num::sub16(x, s.XStart), num::sub16(y, s.YStart));
        } catch (const OverflowError&) {
            showStatus(tr("The planet lies too far from the view to centre on it."));
        }
        PlanetInfo(x, y);
        return;
    }
    showMessage(this, "Find Planet", "Not Found");
}

QString frmMap::diagnosticsText() const
{
    QStringList lines;
    for (const Diagnostic& diag : d->state.diagnostics)
        lines << QString::fromStdString(diag.text());
    return lines.join('\n');
}

void frmMap::showDiagnosticsNote()
{
    if (!d->diagnosticsNote) {
        if (d->state.diagnostics.empty()) return;
        d->diagnosticsNote = new LoadNotesButton(d->state, this);
        statusBar()->insertPermanentWidget(0, d->diagnosticsNote);
    }
    d->diagnosticsNote->refresh();
}

void frmMap::applyResizeRule()
{
    // Outer size (frame and title bar included), as 16-bit numbers.
    const QSize outer = frameGeometry().size();
    const auto w = num::tryInt16(outer.width()).value_or(32767);
    const auto h = num::tryInt16(outer.height()).value_or(32767);
    int picWidth = int(MaxSingle(float(w - 337), 10.0f));
    int picHeight = int(MaxSingle(float(h - 81), 10.0f));
    // The status bar takes room the rule does not know of: the map stops above it.
    picHeight = std::max(10, std::min(picHeight, d->client->height() - 40));
    // Likewise a dock beside the map takes width from it.
    picWidth = std::max(10, std::min(picWidth, d->client->width() - 329));
    d->pic->resize(picWidth, picHeight);
    d->toolbar->resize(std::max(1016, d->client->width()), 40);
    DrawPic();
}

void frmMap::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyResizeRule();
}

bool frmMap::savePlayersOrAsk(const QString& discardText)
{
    auto& s = d->state;
    // The race editor's edits live only in memory until this save: a save that fails holds the
    // close (or the change of game) until the user decides.
    for (;;) {
        const WriteResult saved = SavePlayers(s.game.folder, s.AllPlayers);
        if (saved.ok) return true;
        const QString file = QString::fromStdString(s.game.playersFile());
        const SaveFailureAnswer answer = askAfterFailedSave(
            this, tr("Map"),
            tr("The players table %1 could not be saved:\n%2\n\nThe race editor's changes of this session are "
               "only in memory. Retry once the cause is mended, go on without saving them, or cancel to go "
               "back to the map with the changes kept.")
                .arg(file, QString::fromStdString(saved.error)),
            discardText);
        if (answer == SaveFailureAnswer::Retry) continue;
        return answer == SaveFailureAnswer::QuitWithoutSaving;
    }
}

void frmMap::closeEvent(QCloseEvent* event)
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
    storeWindowLayout(d->settings, saveState());
    event->accept();
}

} // namespace vornex::ui
