#include "ui/selectionlayer.h"

#include <QPainter>
#include <QStaticText>
#include <cmath>

#include "app/programstate.h"
#include "ui/mapstyle.h"
#include "ui/nameslayer.h"

namespace vornex::ui {

using namespace mapstyle;

SelectionLayer::SelectionLayer(const NamesLayer& names)
    : MapLayer(QStringLiteral("Selection layer"), QString(), Kind::Overlay), m_names(names)
{
}

uint64_t SelectionLayer::signature(const MapScene& scene)
{
    SignatureHash h;
    PlanetPtr selected = scene.state.selectedPlanet();
    if (!selected) return h.value();
    h.add(uint64_t(uint16_t(selected->ID)));
    h.add((uint64_t(uint16_t(selected->Xcord)) << 16) | uint16_t(selected->Ycord));
    h.add(selected->Owner);
    h.add(uint64_t(keyedColour(scene.state, selected->Owner).value_or(QColor()).rgba()));
    if (m_names.isShown()) {
        h.add(selected->PlanetName);
        h.add(std::string_view(m_names.deviceFont().key().toStdString()));
    }
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
        if (m_names.isShown()) {
            // The name where the names layer puts names, on a plate that hides what lies below.
            QStaticText text(QString::fromStdString(selected->PlanetName));
            text.setTextFormat(Qt::PlainText);
            painter.setFont(m_names.deviceFont());
            text.prepare(QTransform(), m_names.deviceFont());
            const QPointF corner(std::floor(at->x() + 0.5), std::floor(at->y() + 0.5));
            const double pad = 2 * dpr;
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 0, 0, 190));
            painter.drawRoundedRect(QRectF(corner, text.size()).adjusted(-pad, -pad / 2, pad, pad / 2), pad, pad);
            drawOutlinedTexts(painter, {{corner, &text}}, std::max(1.0, std::round(dpr)));
        }
        painter.setPen(QPen(outline, kPenWidth * dpr));
        painter.setBrush(fill);
        const double r = ringRadius(scene.unit()) * dpr;
        painter.drawEllipse(*at, r, r);
    }
    canvas.image.setDevicePixelRatio(imageDpr);
}

} // namespace vornex::ui
