#pragma once
// The planet panel's mineral chart: for Ironium, Boranium and Germanium (top to bottom) the surface
// amount as a bright bar, surface plus a year's mining as a darker bar behind it, and the
// concentration as a wedge over a black field with a grid of eight lines. Figures come as fractions
// of the chart's width.

#include <QColor>
#include <array>
#include <optional>

#include "ui/panelfigure.h"

namespace vornex::ui {

class MineralChart : public PanelFigure {
    Q_OBJECT
public:
    struct Row {
        std::optional<double> surface, mining, concentration; // 0 to 1; nullopt: not shown
    };
    // Rows in the chart's order: Ironium, Boranium, Germanium.
    enum Mineral { Ironium = 0, Boranium = 1, Germanium = 2 };

    explicit MineralChart(QWidget* parent = nullptr);
    void setRow(Mineral mineral, const Row& row);
    const Row& row(Mineral mineral) const { return m_rows[mineral]; }
    // The x (logical pixels) of a fraction of the chart's width.
    double xOf(double fraction) const;
    // The band (logical pixels) of a row.
    QRectF rowBand(Mineral mineral) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<Row, 3> m_rows;
};

} // namespace vornex::ui
