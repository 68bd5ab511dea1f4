#pragma once
// The base of the planet panel's small drawings (the environment strips, the mineral chart): as
// wide as the panel gives them, 210 pixels preferred and 110 at the least, and of a fixed height.

#include <QWidget>

namespace vornex::ui {

class PanelFigure : public QWidget {
public:
    PanelFigure(int height, QWidget* parent) : QWidget(parent), m_height(height)
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override { return QSize(210, m_height); }
    QSize minimumSizeHint() const override { return QSize(110, m_height); }

private:
    int m_height;
};

} // namespace vornex::ui
