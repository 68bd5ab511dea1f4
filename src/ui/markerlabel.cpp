#include "ui/markerlabel.h"

#include <QPainter>

namespace vornex::ui {

MarkerLabel::MarkerLabel(Shape shape, const QColor& colour, QWidget* parent)
    : QLabel(parent), m_shape(shape), m_colour(colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MarkerLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double cx = width() / 2.0, cy = height() / 2.0;
    if (m_shape == Shape::Concentration) {
        // A downward wedge whose tip stands on the concentration.
        QPolygonF wedge({QPointF(cx - 4.5, 1.5), QPointF(cx + 4.5, 1.5), QPointF(cx, height() - 1.5)});
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(m_colour);
        p.drawPolygon(wedge);
    } else {
        // An open diamond: the "+" of the value stays visible through it.
        QPolygonF diamond({QPointF(cx, 0.5), QPointF(cx + 6, cy), QPointF(cx, height() - 0.5), QPointF(cx - 6, cy)});
        p.setPen(QPen(m_colour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(diamond);
    }
}

} // namespace vornex::ui
