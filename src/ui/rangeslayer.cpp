#include "ui/rangeslayer.h"

#include <QObject>
#include <QPainter>
#include <QRegion>

#include "app/programstate.h"

namespace vornex::ui {

namespace {

// The ellipse of `radius` map units around map point (x, y), in device pixels: the true range on
// a map stretched to its surface.
std::optional<QRectF> rangeBox(const MapScene& scene, int16_t x, int16_t y, double radius)
{
    const auto at = scene.devicePoint(x, y);
    if (!at || radius <= 0) return std::nullopt;
    const double rx = radius * scene.grid.sx, ry = radius * scene.grid.sy;
    return QRectF(at->x() - rx, at->y() - ry, 2 * rx, 2 * ry);
}

} // namespace

RangesLayer::RangesLayer()
    : MapLayer(QStringLiteral("Ranges"), QObject::tr("Ranges"), Kind::Kept, QIcon(":/icons/ranges.png"),
               QObject::tr("Show your worlds' scanner ranges (penetrating ranges darker)"))
{
    setShown(false);
}

QColor RangesLayer::scannerTint()
{
    return QColor(70, 150, 255, 56);
}

QColor RangesLayer::penetrationTint()
{
    return QColor(70, 150, 255, 104);
}

uint64_t RangesLayer::signature(const MapScene& scene)
{
    PlayerPtr you = scene.state.yourPlayer();
    m_worlds = ownRanges(scene.state.AllPlanets, you ? you->RaceName : std::string());
    SignatureHash h;
    for (const OwnRanges& w : m_worlds)
        h.add((uint64_t(uint16_t(w.x)) << 48) | (uint64_t(uint16_t(w.y)) << 32) |
              (uint64_t(uint16_t(w.scanner)) << 16) | uint16_t(w.penetration));
    return h.value();
}

void RangesLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    if (m_worlds.empty()) return;
    QRegion clip;
    for (int i = 0; i < canvas.count; ++i)
        clip += canvas.areas[i];
    const qreal imageDpr = canvas.image.devicePixelRatio();
    canvas.image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&canvas.image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setClipRegion(clip);
        painter.setPen(Qt::NoPen);
        // Each disc replaces what is under it instead of blending with it: overlapping discs give one
        // tint. The scanner discs first, then the penetrating ones over them.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (bool penetration : {false, true}) {
            painter.setBrush(penetration ? penetrationTint() : scannerTint());
            for (const OwnRanges& w : m_worlds) {
                const auto box = rangeBox(scene, w.x, w.y, penetration ? w.penetration : w.scanner);
                if (box && canvas.touches(*box)) painter.drawEllipse(*box);
            }
        }
    }
    canvas.image.setDevicePixelRatio(imageDpr);
}

RangeRingLayer::RangeRingLayer() : MapLayer(QStringLiteral("Range ring"), QString(), Kind::Overlay) {}

uint64_t RangeRingLayer::signature(const MapScene& scene)
{
    SignatureHash h;
    PlanetPtr selected = scene.state.selectedPlanet();
    if (!selected || m_radius <= 0) return h.value();
    h.add(uint64_t(m_radius)).add((uint64_t(uint16_t(selected->Xcord)) << 16) | uint16_t(selected->Ycord));
    return h.value();
}

void RangeRingLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    PlanetPtr selected = scene.state.selectedPlanet();
    if (!selected) return;
    const auto box = rangeBox(scene, selected->Xcord, selected->Ycord, m_radius);
    if (!box) return;
    const qreal imageDpr = canvas.image.devicePixelRatio();
    canvas.image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&canvas.image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(QColor(255, 214, 90), 1.5 * scene.dpr(), Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(*box);
    }
    canvas.image.setDevicePixelRatio(imageDpr);
}

} // namespace vornex::ui
