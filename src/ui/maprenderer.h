#pragma once
// Paints the galaxy map from the program state into the widget's backing image, through a
// MapRenderer that keeps its caches between draws. Where things go on the surface is the core's
// map transform (analysis/view.h).

#include <QSizeF>
#include <cstddef>
#include <cstdint>
#include <memory>

class QImage;
class QPainter;

#include "analysis/view.h"

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

// How the kept pictures (planets, names) were brought up to date, counted over the renderer's life.
struct RenderStats {
    int drawn = 0;   // drawn anew
    int shifted = 0; // moved with the view, only the strips that came into view drawn
    int reused = 0;  // taken as they were
};

// Draws the map into an image, fast enough to redraw the largest galaxy on every drag step.
//
// What it draws: the area cleared to black, every planet a filled circle coloured by its owner in
// collection order, the names (starting at each planet's centre) while names is true, and the ring
// of radius 6 around the selected planet over everything. The visible square is Zoom map units wide
// and high from (XStart, YStart), stretched over the logical size; radii are in map units along x,
// so circles stay round. A planet whose distance from the origin does not fit in 16 bits cannot be
// placed and is left out. Nothing but black is drawn when Zoom is below 1. The view's top-left
// corner is placed on a whole device pixel (at most half a pixel from the exact view) and each
// name starts at a whole pixel, so that a drag moves the whole picture by whole pixels.
//
// How: small circles are pre-rendered antialiased sprites (per outline colour, fill colour, pixel
// radius and eighth-pixel offset) blended straight into the image; names are laid out once per
// text and font. The planets and the names are kept as two pictures of the view: a draw that keeps
// the view takes them as they are, a drag moves them and draws only the strips that came into
// view, anything else draws them afresh. What they show is checked on every draw by a signature of
// the planets (places, owners, report ages, names) and the players' colours, so a changed colour, a
// renamed planet or a reload is drawn afresh: nothing can go stale.
class MapRenderer {
public:
    MapRenderer();
    ~MapRenderer();
    MapRenderer(const MapRenderer&) = delete;
    MapRenderer& operator=(const MapRenderer&) = delete;

    // image is in device pixels with its devicePixelRatio set; size is its logical size. Images of
    // other formats than RGB32 and ARGB32_Premultiplied are converted to RGB32.
    void render(QImage& image, const QSizeF& size, const ProgramState& state, bool names);

    // Cache sizes, for tests and diagnostics.
    std::size_t spriteCount() const;
    std::size_t nameCount() const;
    RenderStats stats() const;
    // Drops every cached sprite, name layout and the names layer.
    void clear();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The view of the program state, for the map transform (analysis/view.h).
View viewOf(const ProgramState& state);

} // namespace vornex::ui
