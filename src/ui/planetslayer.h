#pragma once
// The bottom layer: the black ground and every planet a disc coloured by its owner, in collection
// order. Discs are pre-rendered sprites (per colours, device radius and eighth-pixel offset) blended
// straight into the kept picture, fast enough for the largest galaxy on every drag step.

#include <array>
#include <utility>
#include <vector>

#include "ui/maplayer.h"
#include "ui/mapsprites.h"

namespace vornex {
struct Planet;
}

namespace vornex::ui {

class PlanetsLayer : public MapLayer {
public:
    PlanetsLayer();

    bool opaque() const override { return true; }
    uint32_t background() const override { return 0xff000000u; }
    // The planets' places, owners and report ages, and the players' race names and colours.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

    std::size_t spriteCount() const { return m_sprites.size(); }
    void clear();

private:
    struct Walked {
        int16_t x, y, reportAge;
        uint64_t ownerHash;
        const Planet* planet;
    };
    struct Entry {
        int16_t x, y;  // Xcord, Ycord
        double gx, gy; // centre in grid pixels (fractional)
        uint16_t style;
    };
    struct Style {
        QColor outline, fill;
        bool known = false;
        std::array<const Sprite*, kSpritePhases * kSpritePhases> sprites{};
    };
    void build(const MapScene& scene);
    // Makes the sprites of (style, phase) pairs the cache lacks and gives them to their styles.
    void makeSprites(const std::vector<std::pair<std::size_t, int>>& missing, double unit, double dpr);

    SpriteCache m_sprites;
    std::vector<Walked> m_walk;
    std::vector<Entry> m_entries;
    // A disc placed in the last paint: its pixel, style, sub-pixel phase and canvas area.
    struct Placed {
        int x, y;
        uint16_t style;
        uint8_t phase, area;
    };
    std::vector<Placed> m_placed;
    std::vector<Style> m_styles;
    uint64_t m_signature = 0;
    uint64_t m_generation = 0;
    // What the entries were built for.
    bool m_built = false;
    uint64_t m_builtSignature = 0;
    double m_builtSx = 0, m_builtSy = 0, m_builtDpr = 0;
};

} // namespace vornex::ui
