#pragma once
// Pre-rendered antialiased discs for the planets layer, and the pixel operations the map's layers
// share: blending a sprite, composing a premultiplied picture over the map, copying one.

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace vornex::ui {

// Sub-pixel positions of sprites: an eighth of a pixel, so a disc is at most 1/16 pixel from its place.
constexpr int kSpritePhases = 8;

// Premultiplied x scaled by a / 255, both channels pairs at once.
inline uint32_t byteMul(uint32_t x, uint32_t a)
{
    uint32_t t = (x & 0xff00ffu) * a;
    t = (t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8;
    t &= 0xff00ffu;
    x = ((x >> 8) & 0xff00ffu) * a;
    x = (x + ((x >> 8) & 0xff00ffu) + 0x800080u);
    x &= 0xff00ff00u;
    return x | t;
}

// One pre-rendered disc: premultiplied ARGB pixels, trimmed to those that are not transparent.
// Its pixel (0, 0) goes to (ix + left, iy + top) for a disc centred at ix + phase, iy + phase.
struct Sprite {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

struct SpriteKey {
    QRgb outline;
    QRgb fill;
    double radius; // device pixels
    double pen;    // device pixels
    int phaseX;
    int phaseY;
    bool operator==(const SpriteKey&) const = default;
};

struct SpriteKeyHash {
    std::size_t operator()(const SpriteKey& k) const noexcept;
};

Sprite makeSprite(const SpriteKey& key);

// Blends the sprite with its origin at image pixel (x, y), clipped to the area.
void blend(uint32_t* bits, int stride, const QRect& area, const Sprite& s, int x, int y);

// The sprites made so far, up to a budget of pixels.
class SpriteCache {
public:
    // The sprite kept under the key, or null.
    const Sprite* find(const SpriteKey& key) const;
    // Keeps a sprite under its key (one already kept stays).
    const Sprite& put(const SpriteKey& key, Sprite sprite);
    std::size_t size() const { return m_sprites.size(); }
    bool overBudget() const;
    void clear();

private:
    std::unordered_map<SpriteKey, Sprite, SpriteKeyHash> m_sprites;
    std::size_t m_pixels = 0;
};

// Premultiplied layer over the image: dst = src + dst * (255 - alpha) / 255.
void compose(QImage& image, const QImage& layer);
void copyPixels(QImage& to, const QImage& from);

} // namespace vornex::ui
