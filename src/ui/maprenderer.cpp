#include "ui/maprenderer.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

#include "analysis/numeric.h"
#include "app/programstate.h"
#include "ui/dialogs.h"

namespace vornex::ui {

namespace {

const QColor kLightGrey = colourFromBgr(0x00C0C0C0);
const QColor kRed = colourFromBgr(0x000000FF);
const QColor kWhite = colourFromBgr(0x00FFFFFF);
const QColor kPeach = colourFromBgr(0x00C0E0FF);
const char* const kUninhabited = "Uninhabited";

// The player whose race name is exactly owner (case counts), walking the table in order.
const Player* knownRace(const ProgramState& state, const std::string& owner)
{
    if (owner == kUninhabited) return nullptr;
    for (const auto& player : state.AllPlayers)
        if (player && player->RaceName == owner) return player.get();
    return nullptr;
}

// The colour of the player stored under the owner's name (table key, letter case ignored).
std::optional<QColor> keyedColour(const ProgramState& state, const std::string& owner)
{
    PlayerPtr p = state.AllPlayers.Find(owner);
    if (!p) return std::nullopt;
    return colourFromBgr(p->Colour);
}

void circle(QPainter& painter, const QPointF& centre, double radius, const QColor& outline, const QColor& fill)
{
    painter.setPen(QPen(outline, 1.0));
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);
}

} // namespace

bool mapToSurface(const ProgramState& state, const QSizeF& size, int16_t x, int16_t y, QPointF* out)
{
    if (state.Zoom < 1) return false;
    try {
        const int16_t dx = num::sub16(x, state.XStart);
        const int16_t dy = num::sub16(y, state.YStart);
        *out = QPointF(dx * size.width() / state.Zoom, dy * size.height() / state.Zoom);
        return true;
    } catch (const OverflowError&) {
        return false;
    }
}

void paintMap(QPainter& painter, const QSizeF& size, const ProgramState& state, bool names)
{
    painter.save();
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::black);
    if (state.Zoom < 1 || size.width() <= 0 || size.height() <= 0) {
        painter.restore();
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Radii are in map units along x.
    const double unit = size.width() / state.Zoom;
    const QRectF visible =
        QRectF(QPointF(0, 0), size).adjusted(-8 * unit - 2, -8 * unit - 2, 8 * unit + 2, 8 * unit + 2);

    QColor lastFill = kLightGrey;
    for (const auto& planet : state.AllPlanets) {
        QColor fill = kLightGrey;
        QColor outline = planet->ReportAge == -1 ? kLightGrey : kRed;
        double radius = 2;
        if (knownRace(state, planet->Owner)) {
            if (auto c = keyedColour(state, planet->Owner)) {
                fill = *c;
                outline = *c;
                radius = 4;
            }
        }
        lastFill = fill;
        QPointF at;
        if (!mapToSurface(state, size, planet->Xcord, planet->Ycord, &at)) continue;
        // Planets off the surface cannot show; skipping them keeps large galaxies fast when zoomed in.
        if (!visible.contains(at)) continue;
        circle(painter, at, radius * unit, outline, fill);
    }

    if (names) {
        painter.setPen(kWhite);
        const QFontMetricsF metrics(painter.font());
        for (const auto& planet : state.AllPlanets) {
            QPointF at;
            if (!mapToSurface(state, size, planet->Xcord, planet->Ycord, &at)) continue;
            if (at.x() > size.width() || at.y() > size.height() || at.y() + metrics.height() < 0) continue;
            // The text's top-left corner is the planet's centre.
            painter.drawText(at + QPointF(0, metrics.ascent()), QString::fromStdString(planet->PlanetName));
        }
    }

    if (PlanetPtr selected = state.selectedPlanet()) {
        QColor outline = kPeach;
        QColor fill = lastFill;
        if (selected->Owner != kUninhabited) {
            // An owner that is no race of the table has no colour: the ring then takes the grey of
            // such planets.
            fill = keyedColour(state, selected->Owner).value_or(kLightGrey);
        } else {
            outline = kWhite;
        }
        QPointF at;
        if (mapToSurface(state, size, selected->Xcord, selected->Ycord, &at))
            circle(painter, at, 6 * unit, outline, fill);
    }
    painter.restore();
}

} // namespace vornex::ui
