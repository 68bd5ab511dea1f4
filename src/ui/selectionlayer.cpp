#include "ui/selectionlayer.h"

#include <QPainter>

#include "app/programstate.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

using namespace mapstyle;

SelectionLayer::SelectionLayer() : MapLayer(QStringLiteral("Selection layer"), QString(), Kind::Overlay) {}

uint64_t SelectionLayer::signature(const MapScene& scene)
{
    SignatureHash h;
    PlanetPtr selected = scene.state.selectedPlanet();
    if (!selected) return h.value();
    h.add(uint64_t(uint16_t(selected->ID)));
    h.add((uint64_t(uint16_t(selected->Xcord)) << 16) | uint16_t(selected->Ycord));
    h.add(selected->Owner);
    h.add(uint64_t(keyedColour(scene.state, selected->Owner).value_or(QColor()).rgba()));
    return h.value();
}

void SelectionLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    PlanetPtr selected = scene.state.selectedPlanet();
    if (!selected) return;
    const auto at = scene.devicePoint(selected->Xcord, selected->Ycord);
    if (!at) return;
    QColor outline = peach();
    QColor fill = lightGrey();
    if (selected->Owner != kUninhabited) {
        // An owner that is no race of the table has no colour: the ring then takes the grey of
        // such planets.
        fill = keyedColour(scene.state, selected->Owner).value_or(lightGrey());
    } else {
        outline = white();
    }
    const double dpr = scene.dpr();
    const qreal imageDpr = canvas.image.devicePixelRatio();
    canvas.image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&canvas.image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(outline, kPenWidth * dpr));
        painter.setBrush(fill);
        const double r = ringRadius(scene.unit()) * dpr;
        painter.drawEllipse(*at, r, r);
    }
    canvas.image.setDevicePixelRatio(imageDpr);
}

} // namespace vornex::ui
