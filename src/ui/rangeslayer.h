#pragma once
// Your worlds' scanner ranges from the planets report: a translucent disc of each world's scanner
// range and a darker one of its penetrating range. Discs are merged, not stacked: where ranges
// overlap the map shows one tint, so a thousand worlds never pile up into opaque blobs. A kept
// layer (drags shift the picture and paint only the strips that come into view); hidden until
// the toolbar's "Ranges" is pressed.

#include <vector>

#include "analysis/races.h"
#include "ui/maplayer.h"

namespace vornex::ui {

class RangesLayer : public MapLayer {
public:
    RangesLayer();

    // The worlds' places and ranges.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

    // The tints, premultiplied as the picture holds them.
    static QColor scannerTint();
    static QColor penetrationTint();

private:
    std::vector<OwnRanges> m_worlds;
};

// The ring of a typed radius around the selected planet: how far a ship gets from it. Drawn
// while the radius is above 0.
class RangeRingLayer : public MapLayer {
public:
    RangeRingLayer();
    void setRadius(int radius) { m_radius = radius; }
    int radius() const { return m_radius; }

    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

private:
    int m_radius = 0;
};

} // namespace vornex::ui
