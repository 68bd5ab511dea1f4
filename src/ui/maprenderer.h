#pragma once
// Paints the galaxy map from the program state onto any painter: the widget's backing image, or
// later a PNG file. The painter's coordinate system is logical pixels with (0, 0) at the top left.

#include <QPointF>
#include <QSizeF>
#include <cstdint>

class QPainter;

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

// Clears the area to black and draws every planet as a filled circle coloured by its owner, the
// names (starting at each planet's centre) while names is true, and the ring of radius 6 around the
// selected planet. The visible square is Zoom map units wide and high from (XStart, YStart),
// stretched over size; radii are in map units along x, so circles stay round. A planet whose
// distance from the origin does not fit in 16 bits cannot be placed and is left out. Nothing is
// drawn when Zoom is below 1.
void paintMap(QPainter& painter, const QSizeF& size, const ProgramState& state, bool names);

// Where map point (x, y) lies in a surface of this size for the current view; false when the
// 16-bit differences x - XStart, y - YStart overflow.
bool mapToSurface(const ProgramState& state, const QSizeF& size, int16_t x, int16_t y, QPointF* out);

} // namespace vornex::ui
