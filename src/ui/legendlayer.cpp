#include "ui/legendlayer.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QObject>
#include <QPainter>

#include "analysis/races.h"
#include "app/programstate.h"
#include "ui/dialogs.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

LegendLayer::LegendLayer()
    : MapLayer(QStringLiteral("Legend"), QObject::tr("Legend"), Kind::Overlay, QIcon(":/icons/legend.png"),
               QObject::tr("Show the races' colours (your race first)"))
{
    setShown(false);
}

std::vector<LegendLayer::Entry> LegendLayer::entries(const ProgramState& state)
{
    std::vector<Entry> list;
    for (const RaceSummary& r : raceSummaries(state.AllPlanets, state.AllPlayers, state.yourNumber())) {
        const QColor c = colourFromBgr(r.colour);
        QString text = QString::fromStdString(r.race);
        if (r.yours) text = QObject::tr("%1 (you)").arg(text);
        list.push_back({c, c, text});
    }
    list.push_back({mapstyle::red(), mapstyle::lightGrey(), QObject::tr("Uninhabited or another race")});
    list.push_back({mapstyle::lightGrey(), mapstyle::lightGrey(), QObject::tr("Not reported")});
    return list;
}

uint64_t LegendLayer::signature(const MapScene& scene)
{
    m_entries = entries(scene.state);
    SignatureHash h;
    for (const Entry& e : m_entries)
        h.add(e.text.toStdString()).add(uint64_t(e.fill.rgba()) << 32 | e.outline.rgba());
    h.add(QGuiApplication::font().toString().toStdString());
    return h.value();
}

void LegendLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    const qreal imageDpr = canvas.image.devicePixelRatio();
    canvas.image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&canvas.image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        // Logical pixels from here on, so that the key has the same size on any screen.
        painter.scale(scene.dpr(), scene.dpr());
        const QFont font = QGuiApplication::font();
        painter.setFont(font);
        const QFontMetricsF metrics(font);
        const double line = metrics.height() + 2, dot = 5, margin = 8, pad = 6;
        double textWidth = 0;
        for (const Entry& e : m_entries)
            textWidth = std::max(textWidth, metrics.horizontalAdvance(e.text));
        const QRectF box(margin, margin, pad * 3 + 2 * dot + textWidth, pad * 2 + line * double(m_entries.size()));
        painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
        painter.setBrush(QColor(0, 0, 0, 190));
        painter.drawRoundedRect(box, 4, 4);
        double y = box.top() + pad;
        for (const Entry& e : m_entries) {
            const QPointF centre(box.left() + pad + dot, y + line / 2);
            painter.setPen(QPen(e.outline, mapstyle::kPenWidth));
            painter.setBrush(e.fill);
            painter.drawEllipse(centre, dot, dot);
            painter.setPen(Qt::white);
            painter.drawText(QRectF(centre.x() + dot + pad, y, textWidth + 1, line), Qt::AlignVCenter | Qt::AlignLeft,
                             e.text);
            y += line;
        }
    }
    canvas.image.setDevicePixelRatio(imageDpr);
}

} // namespace vornex::ui
