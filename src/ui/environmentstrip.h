#pragma once
// One row of the planet panel's environment display: a black strip carrying the click scale from
// -50 to 50, your race's habitable range as a bar, the planet's value as a "+" and where
// terraforming would bring it as an open diamond. Positions come in clicks; the strip turns them
// into pixels at whatever width the layout gives it.

#include <QColor>
#include <optional>
#include <utility>

#include "ui/panelfigure.h"

namespace vornex::ui {

class EnvironmentStrip : public PanelFigure {
    Q_OBJECT
public:
    EnvironmentStrip(const QColor& rangeColour, const QColor& markerColour, QWidget* parent = nullptr);

    // nullopt hides that part.
    void setRange(std::optional<std::pair<double, double>> clicks);
    void setValue(std::optional<double> clicks);
    void setTerraform(std::optional<double> clicks);
    std::optional<std::pair<double, double>> range() const { return m_range; }
    std::optional<double> value() const { return m_value; }
    std::optional<double> terraform() const { return m_terraform; }

    // The x (logical pixels in the strip) of a click; the scale's ends lie a marker's half width in
    // from the strip's ends, and a click beyond them stops at the strip's edge.
    double xOfClicks(double clicks) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_rangeColour, m_markerColour;
    std::optional<std::pair<double, double>> m_range;
    std::optional<double> m_value, m_terraform;
};

} // namespace vornex::ui
