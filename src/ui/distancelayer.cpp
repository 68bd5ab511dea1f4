#include "ui/distancelayer.h"

#include <QPainter>

#include "app/programstate.h"
#include "ui/dialogs.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

DistanceLayer::DistanceLayer() : MapLayer(QStringLiteral("Distance layer"), QString(), Kind::Overlay) {}

void DistanceLayer::setLine(int16_t from, int16_t to)
{
    m_line = std::make_pair(from, to);
}

void DistanceLayer::clearLine()
{
    m_line.reset();
}

uint64_t DistanceLayer::signature(const MapScene& scene)
{
    SignatureHash h;
    // A line measured from a planet that is no longer selected is gone.
    if (m_line && m_line->first != scene.state.PlanetSelected) m_line.reset();
    if (!m_line) return h.value();
    h.add((uint64_t(uint16_t(m_line->first)) << 16) | uint16_t(m_line->second));
    for (int16_t id : {m_line->first, m_line->second}) {
        PlanetPtr p = scene.state.AllPlanets.ByID(id);
        h.add(p ? (uint64_t(uint16_t(p->Xcord)) << 16) | uint16_t(p->Ycord) : 0x100000000ull);
    }
    return h.value();
}

void DistanceLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    if (!m_line) return;
    PlanetPtr from = scene.state.AllPlanets.ByID(m_line->first);
    PlanetPtr to = scene.state.AllPlanets.ByID(m_line->second);
    if (!from || !to) return;
    const auto a = scene.devicePoint(from->Xcord, from->Ycord);
    const auto b = scene.devicePoint(to->Xcord, to->Ycord);
    if (!a || !b) return;
    const qreal imageDpr = canvas.image.devicePixelRatio();
    canvas.image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&canvas.image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(colourFromBgr(0x000000AC), mapstyle::kPenWidth * scene.dpr()));
        painter.drawLine(*a, *b);
    }
    canvas.image.setDevicePixelRatio(imageDpr);
}

} // namespace vornex::ui
