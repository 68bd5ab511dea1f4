#include "ui/mineralchart.h"

#include <QPainter>
#include <algorithm>

#include "ui/dialogs.h"

namespace vornex::ui {

namespace {
// Surface, mining (0x00BBGGRR), per row.
const int32_t kSurface[] = {0x00FF0000, 0x0000FF00, 0x0000FFFF};
const int32_t kMining[] = {0x00800000, 0x00008000, 0x00008080};
constexpr double kInset = 5;
} // namespace

MineralChart::MineralChart(QWidget* parent) : PanelFigure(53, parent) {}

void MineralChart::setRow(Mineral mineral, const Row& row)
{
    m_rows[mineral] = row;
    update();
}

double MineralChart::xOf(double fraction) const
{
    return kInset + std::clamp(fraction, 0.0, 1.0) * (width() - 2 * kInset);
}

QRectF MineralChart::rowBand(Mineral mineral) const
{
    const double band = height() / 3.0;
    return QRectF(0, band * int(mineral), width(), band);
}

void MineralChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    for (int i = 0; i < 8; ++i) {
        const double x = std::round(xOf(i / 7.0));
        p.fillRect(QRectF(x, 0, 1, height()), QColor(0x60, 0x60, 0x60));
    }
    for (int m = 0; m < 3; ++m) {
        const Row& r = m_rows[size_t(m)];
        const QRectF band = rowBand(Mineral(m)).adjusted(0, 3, 0, -3);
        const double left = xOf(0);
        if (r.mining)
            p.fillRect(QRectF(left, band.top(), xOf(*r.mining) - left, band.height()), colourFromBgr(kMining[m]));
        if (r.surface)
            p.fillRect(QRectF(left, band.top(), xOf(*r.surface) - left, band.height()), colourFromBgr(kSurface[m]));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int m = 0; m < 3; ++m) {
        const Row& r = m_rows[size_t(m)];
        if (!r.concentration) continue;
        // A downward wedge whose tip stands on the concentration.
        const QRectF band = rowBand(Mineral(m));
        const double x = xOf(*r.concentration);
        const QPolygonF wedge(
            {QPointF(x - 4.5, band.top() + 1.5), QPointF(x + 4.5, band.top() + 1.5), QPointF(x, band.bottom() - 1.5)});
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(colourFromBgr(kMining[m]));
        p.drawPolygon(wedge);
    }
}

} // namespace vornex::ui
