#include "ui/changeslayer.h"

#include <QObject>
#include <QPainter>
#include <set>

#include "app/programstate.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

using history::ChangeKind;

ChangesLayer::ChangesLayer()
    : MapLayer(QStringLiteral("Changes"), QObject::tr("Changes"), Kind::Overlay,
               QIcon(QStringLiteral(":/icons/changes.png")),
               QObject::tr("Mark the planets that changed in the last turn"))
{
}

void ChangesLayer::setChanges(const std::vector<history::Change>& changes)
{
    m_marks.clear();
    std::set<int16_t> seen;
    for (const auto& c : changes)
        if (seen.insert(c.planet).second) m_marks.emplace_back(c.planet, c.kind);
}

QColor ChangesLayer::colourOf(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::Taken:
        return QColor(235, 40, 40);
    case ChangeKind::Lost:
        return QColor(255, 150, 30);
    case ChangeKind::Colonised:
        return QColor(60, 210, 80);
    case ChangeKind::FirstReport:
        return QColor(60, 210, 230);
    case ChangeKind::Population:
    case ChangeKind::Defences:
        break;
    }
    return QColor(240, 230, 60);
}

uint64_t ChangesLayer::signature(const MapScene& scene)
{
    SignatureHash h;
    for (const auto& [id, kind] : m_marks) {
        PlanetPtr p = scene.state.AllPlanets.ByID(id);
        h.add((uint64_t(uint16_t(id)) << 8) | uint64_t(kind));
        h.add(p ? (uint64_t(uint16_t(p->Xcord)) << 16) | uint16_t(p->Ycord) : 0x100000000ull);
    }
    return h.value();
}

void ChangesLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    if (m_marks.empty()) return;
    const double dpr = scene.dpr();
    // Outside the selection ring, so that both show on a selected planet that changed.
    const double r = (mapstyle::ringRadius(scene.unit()) + 3) * dpr;
    const qreal imageDpr = canvas.image.devicePixelRatio();
    canvas.image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&canvas.image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(Qt::NoBrush);
        for (const auto& [id, kind] : m_marks) {
            PlanetPtr p = scene.state.AllPlanets.ByID(id);
            if (!p) continue;
            const auto at = scene.devicePoint(p->Xcord, p->Ycord);
            if (!at || !canvas.touches(QRectF(at->x() - r - 2, at->y() - r - 2, 2 * r + 4, 2 * r + 4))) continue;
            painter.setPen(QPen(colourOf(kind), 2 * dpr));
            painter.drawEllipse(*at, r, r);
        }
    }
    canvas.image.setDevicePixelRatio(imageDpr);
}

} // namespace vornex::ui
