#include "ui/mapsprites.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vornex::ui {

namespace {
// Beyond this the cache is emptied before the next draw.
constexpr std::size_t kSpritePixelBudget = 4u << 20; // 16 MB
} // namespace

std::size_t SpriteKeyHash::operator()(const SpriteKey& k) const noexcept
{
    std::size_t h = std::hash<double>()(k.radius);
    auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
    mix(k.outline);
    mix(k.fill);
    mix(std::hash<double>()(k.pen));
    mix(std::size_t(k.phaseX * kSpritePhases + k.phaseY));
    return h;
}

Sprite makeSprite(const SpriteKey& key)
{
    const int c = int(std::ceil(key.radius + key.pen / 2)) + 2;
    const int side = 2 * c + 1;
    QImage canvas(side, side, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor::fromRgb(key.outline), key.pen));
        p.setBrush(QColor::fromRgb(key.fill));
        const QPointF centre(c + double(key.phaseX) / kSpritePhases, c + double(key.phaseY) / kSpritePhases);
        p.drawEllipse(centre, key.radius, key.radius);
    }
    int x0 = side, y0 = side, x1 = -1, y1 = -1;
    for (int y = 0; y < side; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(canvas.constScanLine(y));
        for (int x = 0; x < side; ++x)
            if (row[x] >> 24) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    }
    Sprite s;
    if (x1 < 0) return s;
    s.left = x0 - c;
    s.top = y0 - c;
    s.width = x1 - x0 + 1;
    s.height = y1 - y0 + 1;
    s.pixels.reserve(std::size_t(s.width) * std::size_t(s.height));
    for (int y = y0; y <= y1; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(canvas.constScanLine(y));
        s.pixels.insert(s.pixels.end(), row + x0, row + x1 + 1);
    }
    return s;
}

void blend(uint32_t* bits, int stride, const QRect& area, const Sprite& s, int x, int y)
{
    const int sx0 = std::max(0, area.left() - x);
    const int sy0 = std::max(0, area.top() - y);
    const int sx1 = std::min(s.width, area.right() + 1 - x);
    const int sy1 = std::min(s.height, area.bottom() + 1 - y);
    for (int sy = sy0; sy < sy1; ++sy) {
        const uint32_t* src = s.pixels.data() + std::size_t(sy) * std::size_t(s.width);
        uint32_t* dst = bits + std::ptrdiff_t(y + sy) * stride + x;
        for (int sx = sx0; sx < sx1; ++sx) {
            const uint32_t p = src[sx];
            const uint32_t a = p >> 24;
            if (a == 255)
                dst[sx] = p;
            else if (a)
                dst[sx] = p + byteMul(dst[sx], 255 - a);
        }
    }
}

const Sprite* SpriteCache::find(const SpriteKey& key) const
{
    auto it = m_sprites.find(key);
    return it == m_sprites.end() ? nullptr : &it->second;
}

const Sprite& SpriteCache::put(const SpriteKey& key, Sprite sprite)
{
    auto [it, added] = m_sprites.try_emplace(key, std::move(sprite));
    if (added) m_pixels += it->second.pixels.size() + 16;
    return it->second;
}

bool SpriteCache::overBudget() const
{
    return m_pixels > kSpritePixelBudget;
}

void SpriteCache::clear()
{
    m_sprites.clear();
    m_pixels = 0;
}

void compose(QImage& image, const QImage& layer)
{
    const int w = std::min(image.width(), layer.width());
    const int h = std::min(image.height(), layer.height());
    for (int y = 0; y < h; ++y) {
        auto* dst = reinterpret_cast<uint32_t*>(image.scanLine(y));
        const auto* src = reinterpret_cast<const uint32_t*>(layer.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t p = src[x];
            if (!p) continue;
            const uint32_t a = p >> 24;
            dst[x] = a == 255 ? p : p + byteMul(dst[x], 255 - a);
        }
    }
}

void copyPixels(QImage& to, const QImage& from)
{
    const int h = std::min(to.height(), from.height());
    const std::size_t bytes = std::size_t(std::min(to.width(), from.width())) * 4;
    for (int y = 0; y < h; ++y)
        std::memcpy(to.scanLine(y), from.constScanLine(y), bytes);
}

} // namespace vornex::ui
