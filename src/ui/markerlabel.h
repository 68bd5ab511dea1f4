#pragma once
// The planet panel's markers. The value marker is a plain "+" label; the concentration and
// terraform markers are small shapes centred in their 17 by 13 box, so that the box's centre marks
// the value.

#include <QColor>
#include <QLabel>

namespace vornex::ui {

class MarkerLabel : public QLabel {
public:
    enum class Shape { Concentration, Terraform };
    MarkerLabel(Shape shape, const QColor& colour, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Shape m_shape;
    QColor m_colour;
};

} // namespace vornex::ui
