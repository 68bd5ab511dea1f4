#pragma once
// The map is a stack of layers painted bottom to top: the planets, their names, the selection ring,
// the distance line, and any overlay added on top. Each layer is a small class that knows its own
// inputs (what it reads besides the view) and paints on the map's image in device pixels.
//
// Adding a layer:
//  1. Derive a class from MapLayer (one header and one source file in src/ui, e.g. rangeslayer.h).
//     Give the base an id (the object name of its toolbar action), a title and an icon: a layer with
//     a title gets a checkable toolbar action and a View menu entry that show and hide it. A layer
//     without a title is always shown.
//  2. Choose its kind. Overlay: painted straight onto the map at every draw; right for a few shapes
//     (rings, lines, circles, a legend). Kept: painted into a picture of its own that the stack keeps
//     between draws, reused while nothing changed and shifted by a drag (only the strips that come
//     into view are painted); right for something drawn for every planet.
//  3. signature(): hash every input the drawing reads besides the view and the surface (planets,
//     players, selections, your own settings) with a SignatureHash. Two draws with the same view and
//     the same signature must paint the same pixels: an input left out shows stale drawing. The
//     stack skips the whole draw when no visible layer's signature and not the view changed.
//  4. paint(): draw into canvas.image within canvas.areas; place map points with scene.devicePoint.
//  5. Register it: MapWindow::addMapLayer(std::make_unique<YourLayer>(...)) puts it on top of the
//     stack, adds its toolbar action and redraws. The map surface's renderer() gives the stack to
//     anything else that needs a layer (layer(id) finds one).
// Sizes on screen (radii, pen widths, text) are logical pixels times scene.dpr(): the map stays
// sharp at any screen's pixel ratio.

#include <QIcon>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

#include "analysis/view.h"

class QPainter;

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

// One draw of the map, as every layer sees it.
struct MapScene {
    const ProgramState& state;
    View view;
    Surface surface; // logical size and device pixel ratio
    MapGrid grid;    // device pixels per map unit; the image's pixel (0, 0) is grid pixel (originX, originY)
    QSize pixels;    // the image's size in device pixels

    double dpr() const { return surface.pixelRatio; }
    // Logical pixels per map unit.
    double unit() const { return grid.sx / surface.pixelRatio; }
    // The device pixel (fractional) of map point (x, y) on the image; nullopt when x - XStart or
    // y - YStart leaves 16 bits (such a planet cannot be placed and is left out).
    std::optional<QPointF> devicePoint(int16_t x, int16_t y) const;
};

// Where a layer paints: an image in device pixels anchored like the scene's, and the areas of it
// to paint (disjoint; all of it, or the strips a drag uncovered). Kept layers get them cleared.
struct LayerCanvas {
    QImage& image;
    const QRect* areas;
    int count;
    QRect bounds() const;
    // Whether a box (device pixels) touches one of the areas.
    bool touches(const QRectF& box) const;
};

// A running hash of a layer's inputs (FNV-1a over 64-bit words; texts by their std::hash).
class SignatureHash {
public:
    SignatureHash& add(uint64_t v)
    {
        m_h = (m_h ^ v) * 1099511628211ull;
        return *this;
    }
    SignatureHash& add(std::string_view text);
    SignatureHash& addReal(double v);
    uint64_t value() const { return m_h; }

private:
    uint64_t m_h = 1469598103934665603ull;
};

class MapLayer {
public:
    enum class Kind { Kept, Overlay };

    MapLayer(QString id, QString title, Kind kind, QIcon icon = QIcon(), QString toolTip = QString());
    virtual ~MapLayer();
    MapLayer(const MapLayer&) = delete;
    MapLayer& operator=(const MapLayer&) = delete;

    const QString& id() const { return m_id; }
    const QString& title() const { return m_title; }
    const QIcon& icon() const { return m_icon; }
    const QString& toolTip() const { return m_toolTip; }
    Kind kind() const { return m_kind; }
    bool isShown() const { return m_shown; }
    void setShown(bool shown) { m_shown = shown; }

    // Kept layers: whether the picture covers every pixel (it is then copied, not blended).
    virtual bool opaque() const { return false; }
    // Kept layers: how the picture is cleared before painting (premultiplied ARGB).
    virtual uint32_t background() const { return 0u; }

    // Everything the drawing reads besides the view and the surface, hashed.
    virtual uint64_t signature(const MapScene& scene) = 0;
    // Paints the layer over the canvas's areas.
    virtual void paint(LayerCanvas& canvas, const MapScene& scene) = 0;

private:
    QString m_id, m_title;
    Kind m_kind;
    QIcon m_icon;
    QString m_toolTip;
    bool m_shown = true;
};

} // namespace vornex::ui
