#pragma once
// The map's stack of layers (ui/maplayer.h), painted bottom to top into the map surface's image:
// planets, names, selection ring, distance line, and the overlays added on top of them.

#include <QSizeF>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/view.h"
#include "ui/maplayer.h"

class QImage;

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

class PlanetsLayer;
class NamesLayer;
class DistanceLayer;

// How the kept pictures were brought up to date, counted over the renderer's life.
struct RenderStats {
    int drawn = 0;   // drawn anew
    int shifted = 0; // moved with the view, only the strips that came into view drawn
    int reused = 0;  // taken as they were
};

// Draws the map into an image, fast enough to redraw the largest galaxy on every drag step.
//
// The visible square is Zoom map units from (XStart, YStart) on the map grid (analysis/view.h); a
// planet whose distance from the origin does not fit in 16 bits cannot be placed and is left out.
// Nothing but black is drawn when Zoom is below 1. The view's top-left corner lies on a whole
// device pixel, so a drag moves the whole picture by whole pixels: kept pictures are then moved
// and only the strips that came into view are painted. A kept picture is reused while its layer's
// signature and the scale stay the same and painted afresh otherwise; a draw in which no visible
// layer's signature, no layer's visibility and not the view changed leaves the image as it is.
class MapRenderer {
public:
    MapRenderer();
    ~MapRenderer();
    MapRenderer(const MapRenderer&) = delete;
    MapRenderer& operator=(const MapRenderer&) = delete;

    // Puts a layer on top of the stack.
    void add(std::unique_ptr<MapLayer> layer);
    // The layer of this id, or nullptr.
    MapLayer* layer(const QString& id) const;
    // Bottom to top.
    std::vector<MapLayer*> layers() const;
    NamesLayer& names() const;
    DistanceLayer& distance() const;

    // image is in device pixels with its devicePixelRatio set; size is its logical size. Images of
    // other formats than RGB32 and ARGB32_Premultiplied are converted to RGB32.
    void render(QImage& image, const QSizeF& size, const ProgramState& state);
    // The same with the names shown or hidden.
    void render(QImage& image, const QSizeF& size, const ProgramState& state, bool names);

    // Cache sizes, for tests and diagnostics.
    std::size_t spriteCount() const;
    std::size_t nameCount() const;
    RenderStats stats() const;
    // Drops every cached sprite, name layout and kept picture.
    void clear();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The view of the program state, for the map transform (analysis/view.h).
View viewOf(const ProgramState& state);

} // namespace vornex::ui
