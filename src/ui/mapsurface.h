#pragma once
// The galaxy map: a backing image painted by the stack of map layers, the view arithmetic of zoom,
// pan and drag, and the mouse, wheel and key handling of the map.

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "analysis/view.h"

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

// What the surface needs from the map window.
class MapSurfaceHost {
public:
    virtual ~MapSurfaceHost() = default;
    // Select the planet nearest the map point, fill the panel, redraw.
    virtual void selectNearestPlanet(int16_t x, int16_t y) = 0;
    // The distance box's text.
    virtual void setDistanceText(const QString& text) = 0;
    // A short note in the window's status bar.
    virtual void showStatus(const QString& text) = 0;
    // The map coordinates under the pointer (empty when the pointer left the map).
    virtual void showPointer(const QString& text) { (void)text; }
};

class MapRenderer;

class MapSurface : public QWidget {
    Q_OBJECT
public:
    MapSurface(ProgramState& state, MapSurfaceHost& host, QWidget* parent = nullptr);
    ~MapSurface() override;

    // Paints the backing image with every layer shown; then schedules a repaint. While the map is
    // hidden the painting waits until it shows or its image is asked for.
    void redrawMap();
    // The stack of map layers.
    MapRenderer& renderer() const;

    // A zoom step and centring on view position (x, y), then redrawMap. A step that would leave
    // the 16-bit limits is refused (false), the view stays and the status bar says why.
    bool moveView(ViewStep step, int16_t x, int16_t y);

    // The distance from the selected planet to the planet nearest map point (x, y) (within 100),
    // with the dark red line drawn between them. nullopt when no planet is near.
    std::optional<int16_t> measureDistance(int16_t x, int16_t y);

    // The toolbar's "Reset": Zoom 2000, origin (0, 0), then redrawMap.
    void resetView();

    // The backing image (device pixels; devicePixelRatio set), as the map shows now.
    const QImage& image() const;

    // View position (scale units: Zoom across the width and down the height) of a widget point,
    // and back.
    QPointF viewPosition(const QPointF& widgetPoint) const;
    QPointF widgetPoint(const QPointF& viewPosition) const;
    // The status bar's "X x   Y y" for the map point under a widget point.
    QString pointerText(const QPointF& widgetPoint) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override; // tooltips
    void leaveEvent(QEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;

    void draw();
};

} // namespace vornex::ui
