#include "ui/environmentstrip.h"

#include <QPainter>
#include <algorithm>

namespace vornex::ui {

namespace {
// The scale's ends lie this far in from the strip's ends, so that a marker at an end shows whole.
constexpr double kInset = 5;
} // namespace

EnvironmentStrip::EnvironmentStrip(const QColor& rangeColour, const QColor& markerColour, QWidget* parent)
    : PanelFigure(17, parent), m_rangeColour(rangeColour), m_markerColour(markerColour)
{
}

void EnvironmentStrip::setRange(std::optional<std::pair<double, double>> clicks)
{
    m_range = clicks;
    update();
}

void EnvironmentStrip::setValue(std::optional<double> clicks)
{
    m_value = clicks;
    update();
}

void EnvironmentStrip::setTerraform(std::optional<double> clicks)
{
    m_terraform = clicks;
    update();
}

double EnvironmentStrip::xOfClicks(double clicks) const
{
    const double x = kInset + (clicks + 50) / 100 * (width() - 2 * kInset);
    return std::clamp(x, 0.0, double(width()));
}

void EnvironmentStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const double cy = height() / 2.0;
    if (m_range) {
        const double left = xOfClicks(m_range->first);
        const double right = xOfClicks(m_range->second);
        p.fillRect(QRectF(left, 2, std::max(0.0, right - left), height() - 4), m_rangeColour);
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    if (m_value) {
        // A "+" of the row's colour, centred on the value.
        const double x = xOfClicks(*m_value);
        p.setPen(QPen(m_markerColour, 2));
        p.drawLine(QPointF(x - 3.5, cy), QPointF(x + 3.5, cy));
        p.drawLine(QPointF(x, cy - 3.5), QPointF(x, cy + 3.5));
    }
    if (m_terraform) {
        // An open diamond: the "+" stays visible through it.
        const double x = xOfClicks(*m_terraform);
        const QPolygonF diamond(
            {QPointF(x, cy - 5), QPointF(x + 6, cy), QPointF(x, cy + 5), QPointF(x - 6, cy), QPointF(x, cy - 5)});
        p.setPen(QPen(m_markerColour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(diamond);
    }
}

} // namespace vornex::ui
