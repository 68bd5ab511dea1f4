#pragma once
// The ring around the selected planet, over the planets and their names: light peach filled with
// the owner's colour, or white around an uninhabited planet, filled with the grey of such planets.
// While names are shown, the selected planet's name always shows, on a dark plate over any other.

#include "ui/maplayer.h"

namespace vornex::ui {

class NamesLayer;

class SelectionLayer : public MapLayer {
public:
    // names: the layer whose visibility and font the selected name follows.
    explicit SelectionLayer(const NamesLayer& names);
    // The selected planet's place, name and owner, its owner's colour, and whether names show.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

private:
    const NamesLayer& m_names;
};

} // namespace vornex::ui
