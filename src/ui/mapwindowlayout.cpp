// The map window's layout: the side column beside the map, the window's place on the screen at
// the first start, the room the map keeps after a saved layout is restored, the map layers shown
// last, and the title.
#include <QAction>
#include <QDockWidget>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gamechoice.h"
#include "app/programstate.h"
#include "ui/historyview.h"
#include "ui/maplayer.h"
#include "ui/mapwindow.h"
#include "ui/mapwindowimpl.h"
#include "ui/planetpanel.h"
#include "ui/raceeditor.h"
#include "ui/turnhistory.h"

namespace vornex::ui {

namespace {

// The map never gets less than this after a layout is restored.
constexpr int kLeastMapWidth = 300;
constexpr int kLeastMapHeight = 200;

} // namespace

void MapWindow::buildSideColumn()
{
    // Panel above, race editor below, at their natural width; the column scrolls when the window
    // is shorter than both.
    auto* body = new QWidget;
    body->setObjectName("sideColumnBody");
    QFont panelFont = font();
    panelFont.setPixelSize(11);
    body->setFont(panelFont);
    d->sideLayout = new QVBoxLayout(body);
    d->sideLayout->setContentsMargins(0, 0, 0, 8);
    d->sideLayout->setSpacing(8);
    d->panel = new PlanetPanel(body);
    d->sideLayout->addWidget(d->panel, 0, Qt::AlignLeft);
    d->sideLayout->addStretch(1);
    body->setContentsMargins(8, 0, 0, 0);

    d->sideColumn = new QScrollArea;
    d->sideColumn->setObjectName("sideColumn");
    d->sideColumn->setFrameShape(QFrame::NoFrame);
    d->sideColumn->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->sideColumn->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    d->sideColumn->setWidgetResizable(true);
    d->sideColumn->setWidget(body);
    d->sideColumn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void MapWindow::addRaceEditor()
{
    // Below the panel, above the History view; it reads the players table as it is built.
    QWidget* body = d->sideColumn->widget();
    d->raceEditor = new RaceEditor(d->state, d->settings, d->prompter, *this, body);
    d->sideLayout->insertWidget(d->sideLayout->indexOf(d->panel) + 1, d->raceEditor, 0, Qt::AlignLeft);
    d->sideColumn->setFixedWidth(body->sizeHint().width() + d->sideColumn->verticalScrollBar()->sizeHint().width());
    // The History view goes under the panel and the race editor (the column scrolls when the
    // window is short), so the panel and the editor keep their places.
    d->sideLayout->insertWidget(d->sideLayout->indexOf(d->raceEditor) + 1, d->history->historyView());
}

void MapWindow::placeOnScreen()
{
    // At the first start the window takes what the screen offers up to a comfortable size,
    // leaving room for the window frame and the desktop's panels.
    const QRect room = screen()->availableGeometry();
    const QSize wanted(1200, 820);
    const QSize fits(room.width() - 16, room.height() - 40);
    resize(wanted.boundedTo(fits).expandedTo(minimumSizeHint()));
    move(room.center() - QPoint(width() / 2, height() / 2));
}

void MapWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (d->shownOnce) return;
    d->shownOnce = true;
    ensureMapRoom();
}

void MapWindow::ensureMapRoom(MapRoomFor reason)
{
    auto relayout = [this] {
        if (QLayout* l = layout()) {
            l->invalidate();
            l->activate();
        }
    };
    // A window saved on a larger screen is brought onto this one first: what lies beyond the
    // screen's edge (the map's far side, a dock) could not be reached.
    const QRect room = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize most(room.width() - frame.width(), room.height() - frame.height());
    if (size().width() > most.width() || size().height() > most.height())
        resize(size().boundedTo(most).expandedTo(minimumSizeHint()));
    if (!room.contains(frameGeometry()))
        move(std::clamp(x(), room.left(), std::max(room.left(), room.right() + 1 - frameGeometry().width())),
             std::clamp(y(), room.top(), std::max(room.top(), room.bottom() + 1 - frameGeometry().height())));
    relayout();
    auto lacking = [this] {
        return QSize(std::max(0, kLeastMapWidth - d->map->width()), std::max(0, kLeastMapHeight - d->map->height()));
    };
    if (lacking().isNull()) return;
    // A window smaller than its screen allows grows.
    auto grow = [&] {
        const QSize grown = (size() + lacking()).boundedTo(most).expandedTo(size());
        if (grown != size()) {
            resize(grown);
            relayout();
        }
    };
    // The docks beside or above the map give up what they took, down to their least size.
    auto narrowDocks = [&] {
        for (const Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
            for (QDockWidget* dock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                const int need = o == Qt::Horizontal ? lacking().width() : lacking().height();
                if (need == 0) break;
                const Qt::DockWidgetArea area = dockWidgetArea(dock);
                const bool beside = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
                if (!dock->isVisible() || dock->isFloating() || beside != (o == Qt::Horizontal)) continue;
                const int now = o == Qt::Horizontal ? dock->width() : dock->height();
                const QSize least = dock->minimumSizeHint();
                const int floor = o == Qt::Horizontal ? least.width() : least.height();
                resizeDocks({dock}, {std::max(floor, now - need)}, o);
                relayout();
            }
        }
    };
    if (reason == MapRoomFor::OpenedDock) {
        // The user asked for the dock: it narrows first, and the window grows only for what is
        // still lacking. The dock stays open whatever is left.
        narrowDocks();
        grow();
        return;
    }
    // A restored layout: the window grows first, then the docks narrow, and close when even that
    // leaves too little.
    grow();
    narrowDocks();
    for (QDockWidget* dock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (lacking().isNull()) break;
        if (dock->isVisible() && !dock->isFloating()) {
            dock->hide();
            relayout();
        }
    }
}

void MapWindow::restoreMapLayers()
{
    // Until a list is stored each layer keeps its own default.
    const std::optional<QStringList> shown = storedMapLayers(d->settings);
    if (!shown) return;
    for (const auto& [layer, action] : d->layerActions)
        action->setChecked(shown->contains(layer->id()));
}

QStringList MapWindow::shownMapLayers() const
{
    QStringList shown;
    for (const auto& [layer, action] : d->layerActions)
        if (layer->isShown()) shown << layer->id();
    return shown;
}

void MapWindow::showTitle()
{
    const auto& s = d->state;
    if (s.game.name.empty()) {
        setWindowTitle(QStringLiteral("VornexInfo"));
        return;
    }
    setWindowTitle(tr("%1 \u2014 player %2 \u2014 VornexInfo")
                       .arg(QString::fromStdString(s.game.name), QString::fromStdString(s.game.player.suffix)));
}

} // namespace vornex::ui
