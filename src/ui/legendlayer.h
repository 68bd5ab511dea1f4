#pragma once
// The map's key: a box in the map's top-left corner with each race's colour and name, your race
// first, then the grey of planets of no known race and of planets never reported. An overlay, so
// a saved map image carries it while it is shown (toolbar "Legend").

#include <QColor>
#include <QString>
#include <vector>

#include "ui/maplayer.h"

namespace vornex::ui {

class LegendLayer : public MapLayer {
public:
    LegendLayer();

    struct Entry {
        QColor outline, fill;
        QString text;
    };
    // What the key lists for this game, top to bottom.
    static std::vector<Entry> entries(const ProgramState& state);

    // The races' names and colours, which race is yours, and the font.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

private:
    std::vector<Entry> m_entries;
};

} // namespace vornex::ui
