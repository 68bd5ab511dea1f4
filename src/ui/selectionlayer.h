#pragma once
// The ring around the selected planet, over the planets and their names: light peach filled with
// the owner's colour, or white around an uninhabited planet, filled with the grey of such planets.

#include "ui/maplayer.h"

namespace vornex::ui {

class SelectionLayer : public MapLayer {
public:
    SelectionLayer();
    // The selected planet's place and owner, and its owner's colour.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;
};

} // namespace vornex::ui
