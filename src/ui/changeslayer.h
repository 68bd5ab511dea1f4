#pragma once
// The changes of the turn on the map: a ring around every planet that changed, coloured by what
// happened (taken red, lost orange, colonised green, first report cyan, a jump yellow). Shown and
// hidden with the toolbar's "Changes" action.

#include <QColor>
#include <cstdint>
#include <vector>

#include "history/changes.h"
#include "ui/maplayer.h"

namespace vornex::ui {

class ChangesLayer : public MapLayer {
public:
    ChangesLayer();
    // The planets to mark; a planet with several changes takes the colour of the first.
    void setChanges(const std::vector<history::Change>& changes);
    const std::vector<std::pair<int16_t, history::ChangeKind>>& marks() const { return m_marks; }

    static QColor colourOf(history::ChangeKind kind);

    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

private:
    std::vector<std::pair<int16_t, history::ChangeKind>> m_marks;
};

} // namespace vornex::ui
