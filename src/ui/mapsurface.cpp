#include "ui/mapsurface.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>
#include <string>

#include "analysis/view.h"
#include "app/programstate.h"
#include "app/starttrace.h"
#include "base/numeric.h"
#include "ui/dialogs.h"
#include "ui/distancelayer.h"
#include "ui/maprenderer.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

namespace {
const char* const kOutsideRange = "That point lies outside the map's coordinate range.";
} // namespace

struct MapSurface::Impl {
    ProgramState& state;
    MapSurfaceHost& host;
    QImage image;
    // Keeps the sprites and name layouts from one draw to the next.
    MapRenderer renderer;
    QTimer hoverTimer;
    QPoint hoverPos;
    int wheelRemainder = 0;
    // A redraw asked for while the map is hidden waits for the next paint or look at the image:
    // the window redraws several times while it is built, before it has its size.
    bool stale = true;

    Impl(ProgramState& s, MapSurfaceHost& h) : state(s), host(h) {}

    View view() const { return viewOf(state); }
};

namespace {
// The widget as the map transform sees it, at this device pixel ratio.
Surface surfaceOf(const QWidget& widget, double pixelRatio)
{
    return Surface{double(widget.width()), double(widget.height()), pixelRatio};
}
} // namespace

MapSurface::MapSurface(ProgramState& state, MapSurfaceHost& host, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Impl>(state, host))
{
    setObjectName("mapSurface");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(10, 10);
    // Tooltips of hovered planets come sooner than the toolkit's default delay.
    d->hoverTimer.setSingleShot(true);
    d->hoverTimer.setInterval(350);
    connect(&d->hoverTimer, &QTimer::timeout, this, [this] {
        if (!underMouse() || d->state.view.dragging) return;
        QHelpEvent help(QEvent::ToolTip, d->hoverPos, mapToGlobal(d->hoverPos));
        event(&help);
    });
}

MapSurface::~MapSurface() = default;

const QImage& MapSurface::image() const
{
    if (d->stale) const_cast<MapSurface*>(this)->draw();
    return d->image;
}

void MapSurface::redrawMap()
{
    if (!isVisible()) {
        d->stale = true;
        return;
    }
    draw();
    update();
}

void MapSurface::draw()
{
    d->stale = false;
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(std::max(1, qRound(width() * dpr)), std::max(1, qRound(height() * dpr)));
    if (d->image.size() != pixels) d->image = QImage(pixels, QImage::Format_RGB32);
    d->image.setDevicePixelRatio(dpr);
    d->renderer.render(d->image, QSizeF(size()), d->state);
}

MapRenderer& MapSurface::renderer() const
{
    return d->renderer;
}

void MapSurface::resetView()
{
    d->state.view.Zoom = 2000;
    d->state.view.XStart = 0;
    d->state.view.YStart = 0;
    redrawMap();
}

bool MapSurface::moveView(ViewStep step, int16_t x, int16_t y)
{
    std::string why;
    auto next = stepView(d->view(), step, x, y, &why);
    if (!next) {
        d->host.showStatus(QString::fromStdString(why));
        return false;
    }
    d->state.view.Zoom = next->Zoom;
    d->state.view.XStart = next->XStart;
    d->state.view.YStart = next->YStart;
    redrawMap();
    return true;
}

std::optional<int16_t> MapSurface::measureDistance(int16_t x, int16_t y)
{
    auto best = nearestPlanet(d->state.AllPlanets, x, y);
    if (!best) {
        d->host.showStatus(tr("No planet within %1 of that point: nothing measured.").arg(kNearestPlanetLimit));
        return std::nullopt;
    }
    PlanetPtr from = d->state.selectedPlanet();
    PlanetPtr to = d->state.AllPlanets.ByID(*best);
    if (!from || !to) {
        d->host.showStatus(tr("No planet is selected to measure from."));
        return std::nullopt;
    }
    auto distance = planetDistance(*from, *to);
    if (!distance) {
        d->host.showStatus(tr("The distance is too large to show."));
        return std::nullopt;
    }
    d->renderer.distance().setLine(from->ID, to->ID);
    redrawMap();
    return distance;
}

QPointF MapSurface::viewPosition(const QPointF& p) const
{
    const Point2 v = vornex::viewPosition(d->view(), surfaceOf(*this, devicePixelRatioF()), Point2{p.x(), p.y()});
    return QPointF(v.x, v.y);
}

QPointF MapSurface::widgetPoint(const QPointF& v) const
{
    const Point2 at = viewToSurface(d->view(), surfaceOf(*this, devicePixelRatioF()), Point2{v.x(), v.y()});
    return QPointF(at.x, at.y);
}

QString MapSurface::pointerText(const QPointF& widgetPoint) const
{
    const Point2 at =
        pointerMapPoint(d->view(), surfaceOf(*this, devicePixelRatioF()), Point2{widgetPoint.x(), widgetPoint.y()});
    return tr("X %1   Y %2").arg(at.x).arg(at.y);
}

void MapSurface::paintEvent(QPaintEvent*)
{
    const qreal dpr = devicePixelRatioF();
    if (d->stale || d->image.size() != QSize(qRound(width() * dpr), qRound(height() * dpr))) draw();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), d->image);
    if (startTraceOn()) {
        const QSize frame = window()->size();
        traceStartStep("first map paint", QString("window %1x%2").arg(frame.width()).arg(frame.height()).toStdString());
    }
}

void MapSurface::resizeEvent(QResizeEvent* event)
{
    // The image keeps the widget's size, so that what is saved or tested is what shows.
    QWidget::resizeEvent(event);
    redrawMap();
}

namespace {

// floor(v) as a 16-bit number.
std::optional<int16_t> floor16(double v)
{
    return num::tryInt16(num::floorValue(v));
}

} // namespace

void MapSurface::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    QToolTip::hideText();
    const QPointF v = viewPosition(event->position());
    auto& s = d->state;
    auto startDrag = [&] {
        auto dx = num::tryInt16(v.x());
        auto dy = num::tryInt16(v.y());
        if (!dx || !dy) return;
        s.view.dragging = true;
        s.view.DragX = *dx;
        s.view.DragY = *dy;
    };
    // Map point under the pointer: floor of the view position plus the origin, in 16 bits.
    auto mapPoint = [&]() -> std::optional<std::pair<int16_t, int16_t>> {
        auto fx = floor16(v.x());
        auto fy = floor16(v.y());
        try {
            if (fx && fy) return std::pair{num::add16(*fx, s.view.XStart), num::add16(*fy, s.view.YStart)};
        } catch (const OverflowError&) {
        }
        d->host.showStatus(tr(kOutsideRange));
        return std::nullopt;
    };

    switch (event->button()) {
    case Qt::LeftButton:
        if (s.view.clickMode == ClickMode::Move) {
            startDrag();
        } else if (s.view.clickMode == ClickMode::Planets) {
            if (auto p = mapPoint()) d->host.selectNearestPlanet(p->first, p->second);
        } else {
            auto fx = floor16(v.x());
            auto fy = floor16(v.y());
            if (fx && fy)
                moveView(s.view.clickMode == ClickMode::ZoomIn ? ViewStep::ZoomIn : ViewStep::ZoomOut, *fx, *fy);
        }
        break;
    case Qt::RightButton:
        if (auto p = mapPoint()) {
            if (auto distance = measureDistance(p->first, p->second))
                d->host.setDistanceText(QString::number(*distance));
        }
        break;
    case Qt::MiddleButton:
        startDrag();
        break;
    default:
        break;
    }
    event->accept();
}

void MapSurface::mouseMoveEvent(QMouseEvent* event)
{
    auto& s = d->state;
    const QPointF v = viewPosition(event->position());
    if (s.view.dragging) {
        if (auto target = dragTarget(d->view(), v.x(), v.y(), s.view.DragX, s.view.DragY))
            moveView(ViewStep::Keep, target->first, target->second);
        else
            d->host.showStatus(tr(kOutsideRange));
        if (auto dx = num::tryInt16(v.x())) s.view.DragX = *dx;
        if (auto dy = num::tryInt16(v.y())) s.view.DragY = *dy;
    } else {
        d->hoverPos = event->position().toPoint();
        d->hoverTimer.start();
    }
    // The map coordinates under the pointer, after any drag step moved the view.
    d->host.showPointer(pointerText(event->position()));
    update();
}

void MapSurface::mouseReleaseEvent(QMouseEvent* event)
{
    d->state.view.dragging = false;
    event->accept();
}

void MapSurface::leaveEvent(QEvent* event)
{
    d->hoverTimer.stop();
    d->host.showPointer(QString());
    QWidget::leaveEvent(event);
}

void MapSurface::wheelEvent(QWheelEvent* event)
{
    d->wheelRemainder += event->angleDelta().y();
    const QPointF v = viewPosition(event->position());
    while (std::abs(d->wheelRemainder) >= 120) {
        const bool zoomIn = d->wheelRemainder > 0;
        d->wheelRemainder += zoomIn ? -120 : 120;
        const int16_t zoom = d->state.view.Zoom;
        // The new zoom, as moveView computes it; it refuses what does not fit.
        const double next = zoomIn ? num::roundHalfEven(zoom / 2.0) : zoom * 2.0;
        // Centre on the point that keeps the map point under the pointer where it is:
        // x = X (1 - Zoom' / Zoom) + Zoom' / 2.
        const double ratio = next / zoom;
        auto cx = num::tryInt16(v.x() * (1 - ratio) + next / 2);
        auto cy = num::tryInt16(v.y() * (1 - ratio) + next / 2);
        if (!cx || !cy) {
            d->host.showStatus(tr(kOutsideRange));
            break;
        }
        if (!moveView(zoomIn ? ViewStep::ZoomIn : ViewStep::ZoomOut, *cx, *cy)) {
            d->wheelRemainder = 0;
            break;
        }
    }
    event->accept();
}

void MapSurface::keyPressEvent(QKeyEvent* event)
{
    const int16_t zoom = d->state.view.Zoom;
    const int16_t centre = num::toInt16(zoom / 2.0);
    const int16_t step = std::max<int16_t>(1, num::toInt16(zoom / 10.0));
    auto move = [&](int dx, int dy) {
        auto x = num::tryInt16(centre + dx * double(step));
        auto y = num::tryInt16(centre + dy * double(step));
        if (x && y) moveView(ViewStep::Keep, *x, *y);
    };
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        moveView(ViewStep::ZoomIn, centre, centre);
        break;
    case Qt::Key_Minus:
        moveView(ViewStep::ZoomOut, centre, centre);
        break;
    case Qt::Key_Left:
        move(-1, 0);
        break;
    case Qt::Key_Right:
        move(1, 0);
        break;
    case Qt::Key_Up:
        move(0, -1);
        break;
    case Qt::Key_Down:
        move(0, 1);
        break;
    case Qt::Key_Home:
        resetView();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool MapSurface::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    // The planet drawn under the pointer, or the nearest one within a few pixels.
    const View view = d->view();
    const Surface surface = surfaceOf(*this, devicePixelRatioF());
    const double unit = pixelsPerUnit(view, surface);
    PlanetPtr hit;
    const auto at = surfaceToMap(view, surface, Point2{double(help->pos().x()), double(help->pos().y())});
    const auto x = at ? num::tryInt16(at->x) : std::nullopt;
    const auto y = at ? num::tryInt16(at->y) : std::nullopt;
    if (x && y) {
        const int limit = pixelLimit(view, surface, std::max(6.0, mapstyle::discRadius(true, unit) + 2));
        if (auto id = nearestPlanet(d->state.AllPlanets, *x, *y, limit)) hit = d->state.AllPlanets.ByID(*id);
    }
    if (!hit) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QString text = QString::fromStdString(hit->PlanetName);
    if (hit->ReportAge == -1)
        text += tr(" (never reported)");
    else if (!hit->Owner.empty())
        text += QStringLiteral(" \u2013 ") + QString::fromStdString(hit->Owner);
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}

} // namespace vornex::ui
