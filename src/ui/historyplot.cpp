#include "ui/historyplot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace vornex::ui {

HistoryPlot::HistoryPlot(QWidget* parent) : QWidget(parent)
{
    setObjectName("historyPlot");
    setMinimumSize(200, 90);
}

void HistoryPlot::setTurns(std::vector<PlotTurn> turns)
{
    m_turns = std::move(turns);
    update();
}

void HistoryPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().mid().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetrics fm(font());
    if (m_turns.empty()) {
        painter.setPen(palette().text().color());
        painter.drawText(rect(), Qt::AlignCenter, tr("No turns recorded"));
        return;
    }
    const int strip = 6;
    const QRectF area = QRectF(rect()).adjusted(6, 4 + fm.height(), -6, -(strip + 4));
    const size_t n = m_turns.size();
    auto xAt = [&](size_t i) {
        return n == 1 ? area.center().x() : area.left() + area.width() * double(i) / double(n - 1);
    };

    // The owner along the turns.
    for (size_t i = 0; i < n; ++i) {
        if (!m_turns[i].owner.isValid()) continue;
        const double half = n == 1 ? area.width() / 2 : area.width() / double(n - 1) / 2;
        painter.fillRect(QRectF(xAt(i) - half, area.bottom() + 3, 2 * half, strip), m_turns[i].owner);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    auto series = [&](double PlotTurn::*field, const QColor& colour) {
        double lo = 0, hi = 0;
        bool any = false;
        for (const auto& t : m_turns) {
            if (!t.reported) continue;
            lo = any ? std::min(lo, t.*field) : t.*field;
            hi = any ? std::max(hi, t.*field) : t.*field;
            any = true;
        }
        if (!any) return;
        lo = std::min(lo, 0.0);
        const double span = hi > lo ? hi - lo : 1;
        QPainterPath path;
        bool open = false;
        for (size_t i = 0; i < n; ++i) {
            if (!m_turns[i].reported) {
                open = false;
                continue;
            }
            const QPointF p(xAt(i), area.bottom() - area.height() * (m_turns[i].*field - lo) / span);
            if (open)
                path.lineTo(p);
            else
                path.moveTo(p);
            open = true;
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(p, 2, 2);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, 1.5));
        painter.drawPath(path);
    };
    series(&PlotTurn::population, populationColour());
    series(&PlotTurn::value, valueColour());
    series(&PlotTurn::defences, defencesColour());

    // The legend, and the first and last turn.
    painter.setRenderHint(QPainter::Antialiasing, false);
    int x = 6;
    const int y = 3 + fm.ascent();
    for (const auto& [label, colour] :
         {std::pair{tr("Population"), populationColour()}, std::pair{tr("Value"), valueColour()},
          std::pair{tr("Defences"), defencesColour()}}) {
        painter.setPen(colour);
        painter.drawText(x, y, label);
        x += fm.horizontalAdvance(label) + 10;
    }
    painter.setPen(palette().text().color());
    const QString span = n == 1 ? tr("turn %1").arg(m_turns.front().turn)
                                : tr("turns %1–%2").arg(m_turns.front().turn).arg(m_turns.back().turn);
    painter.drawText(QRect(0, 3, width() - 6, fm.height()), Qt::AlignRight, span);
}

} // namespace vornex::ui
