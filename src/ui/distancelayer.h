#pragma once
// The distance line: dark red from the selected planet to the planet last measured to. It follows
// the view and goes when either planet is no longer the one measured from or to.

#include <cstdint>
#include <optional>

#include "ui/maplayer.h"

namespace vornex::ui {

class DistanceLayer : public MapLayer {
public:
    DistanceLayer();
    // A line from planet `from` to planet `to` (IDs).
    void setLine(int16_t from, int16_t to);
    void clearLine();
    // The planet IDs the line joins, if one is drawn.
    std::optional<std::pair<int16_t, int16_t>> line() const { return m_line; }

    // The two planets' places, and whether the first is still the selected planet.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

private:
    std::optional<std::pair<int16_t, int16_t>> m_line;
};

} // namespace vornex::ui
