#pragma once
// The map renderer's inner parts, shared by its two files: the drawing of a view
// (maprenderer.cpp) and the kept pictures with the sprites and names drawn into them
// (maplayers.cpp).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRegion>
#include <QStaticText>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/programstate.h"
#include "base/numeric.h"
#include "ui/dialogs.h"

#include "ui/maprenderer.h"

namespace vornex::ui {

namespace mapdraw {

const QColor kLightGrey = colourFromBgr(0x00C0C0C0);
const QColor kRed = colourFromBgr(0x000000FF);
const QColor kWhite = colourFromBgr(0x00FFFFFF);
const QColor kPeach = colourFromBgr(0x00C0E0FF);
const char* const kUninhabited = "Uninhabited";

// Planet radii and the ring's, in map units along x.
constexpr double kKnownRadius = 4;
constexpr double kOtherRadius = 2;
constexpr double kRingRadius = 6;
// Outline width in logical pixels.
constexpr double kPenWidth = 1.0;
// Circles larger than this (device pixels) are drawn by the painter: at such zooms only a few
// planets are in view, and sprites of that size would only fill the cache.
constexpr double kLargestSpriteRadius = 32;
// Sub-pixel positions of sprites: an eighth of a pixel, so a circle is at most 1/16 pixel from its place.
constexpr int kPhases = 8;
// Cache limits; beyond them the cache is emptied before the next draw.
constexpr std::size_t kSpritePixelBudget = 4u << 20; // 16 MB
constexpr std::size_t kNameBudget = 40000;

// The player whose race name is exactly owner (case counts), walking the table in order.
inline const Player* knownRace(const ProgramState& state, const std::string& owner)
{
    if (owner == kUninhabited) return nullptr;
    for (const auto& player : state.AllPlayers)
        if (player && player->RaceName == owner) return player.get();
    return nullptr;
}

// The colour of the player stored under the owner's name (table key, letter case ignored).
inline std::optional<QColor> keyedColour(const ProgramState& state, const std::string& owner)
{
    PlayerPtr p = state.AllPlayers.Find(owner);
    if (!p) return std::nullopt;
    return colourFromBgr(p->Colour);
}

inline void circle(QPainter& painter, const QPointF& centre, double radius, const QColor& outline, const QColor& fill)
{
    painter.setPen(QPen(outline, kPenWidth));
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);
}

// x - start as a 16-bit difference; false when it leaves the range.
inline bool difference16(int16_t x, int16_t start, int* out)
{
    const int d = int(x) - int(start);
    if (d < -32768 || d > 32767) return false;
    *out = d;
    return true;
}

// Premultiplied source-over of one pixel: dst = src + dst * (255 - alpha(src)) / 255.
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

// One pre-rendered circle: premultiplied ARGB pixels, trimmed to those that are not transparent.
// Its pixel (0, 0) goes to (ix + left, iy + top) for a circle centred at ix + phase, iy + phase.
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
    std::size_t operator()(const SpriteKey& k) const noexcept
    {
        std::size_t h = std::hash<double>()(k.radius);
        auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
        mix(k.outline);
        mix(k.fill);
        mix(std::hash<double>()(k.pen));
        mix(std::size_t(k.phaseX * kPhases + k.phaseY));
        return h;
    }
};

Sprite makeSprite(const SpriteKey& key);

// Blends the sprite with its origin at image pixel (x, y), clipped to the area.
void blend(uint32_t* bits, int stride, const QRect& area, const Sprite& s, int x, int y);

// How one planet is drawn.
struct Style {
    QColor outline;
    QColor fill;
    double radius; // map units
    std::array<const Sprite*, kPhases * kPhases> sprites{};
};

// Owner name -> style, resolved once per distinct owner in a draw. Styles 0 and 1 are the grey
// planets (grey and red outline); known races follow, one per colour.
class StyleTable {
public:
    explicit StyleTable(const ProgramState& state) : m_state(state)
    {
        m_styles.push_back(Style{kLightGrey, kLightGrey, kOtherRadius, {}});
        m_styles.push_back(Style{kRed, kLightGrey, kOtherRadius, {}});
    }

    Style& forPlanet(const Planet& planet) { return m_styles[std::size_t(styleIndex(planet.Owner, planet.ReportAge))]; }

    // The style of a planet with this owner and report age.
    int styleIndex(const std::string& owner, int16_t reportAge)
    {
        const int known = knownStyle(owner);
        return known >= 0 ? known : reportAge == -1 ? 0 : 1;
    }

    // The style of the owner's race, or -1 when the owner is no known race.
    int knownStyle(const std::string& owner)
    {
        auto it = m_owners.find(owner);
        if (it != m_owners.end()) return it->second;
        int known = -1;
        if (knownRace(m_state, owner)) {
            if (auto c = keyedColour(m_state, owner)) known = styleForColour(*c);
        }
        m_owners.emplace(owner, known);
        return known;
    }

    std::vector<Style>& styles() { return m_styles; }

private:
    int styleForColour(const QColor& c)
    {
        for (std::size_t i = 2; i < m_styles.size(); ++i)
            if (m_styles[i].fill == c) return int(i);
        m_styles.push_back(Style{c, c, kKnownRadius, {}});
        return int(m_styles.size() - 1);
    }

    const ProgramState& m_state;
    // Keys view the planets' own owner texts, which outlive the draw.
    std::unordered_map<std::string_view, int> m_owners;
    std::vector<Style> m_styles;
};

// One planet as the signature pass saw it.
struct WalkEntry {
    int16_t x, y, reportAge;
    uint64_t ownerHash;
    const Planet* planet;
};

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
};

} // namespace mapdraw

using namespace mapdraw;

// Everything a view of the map depends on besides its origin: what is drawn is the same picture
// shifted by whole pixels as long as these stay the same.
struct ViewKey {
    int16_t zoom = 0;
    QSize pixels;
    double dpr = 0;
    double sx = 0, sy = 0;  // device pixels per map unit
    uint64_t signature = 0; // planets, their owners' colours and their names
    bool operator==(const ViewKey&) const = default;
};

// A picture kept between draws, in device pixels, on a grid anchored at map point (0, 0): the
// surface's top-left corner is grid pixel (round(XStart * sx), round(YStart * sy)), so the whole
// picture lies at most half a pixel from the exact view and a view moved by a drag is the same
// picture moved by whole pixels. Only the strips that come into view are drawn then; each pixel
// gets exactly what a fresh draw gives it.
struct Layer {
    QImage image;
    ViewKey key;
    long long originX = 0;
    long long originY = 0;
    bool valid = false;
};

struct MapRenderer::Impl {
    std::unordered_map<SpriteKey, Sprite, SpriteKeyHash> sprites;
    std::size_t spritePixels = 0;
    std::unordered_map<std::string, QStaticText, StringHash, std::equal_to<>> names;
    QFont namesFont;
    RenderStats stats;

    // The planets: black background and every planet's sprite (only where sprites serve).
    Layer planets;
    struct PlanetEntry {
        int16_t x, y;  // Xcord, Ycord
        double gx, gy; // centre in grid pixels (fractional)
        uint16_t style;
    };
    std::vector<PlanetEntry> planetEntries;
    std::vector<Style> styles;
    std::vector<WalkEntry> walk; // scratch of the signature pass

    // The names: white text on transparent (ARGB32_Premultiplied). Each name's top-left corner is
    // a whole grid pixel, at most a pixel from its exact place.
    Layer names_;
    struct NameEntry {
        int16_t x, y;
        long long gx, gy;
        double width; // device pixels
        const QStaticText* text;
    };
    std::vector<NameEntry> nameEntries;

    const Sprite& sprite(const SpriteKey& key)
    {
        auto it = sprites.find(key);
        if (it != sprites.end()) return it->second;
        Sprite s = makeSprite(key);
        spritePixels += s.pixels.size() + 16;
        return sprites.emplace(key, std::move(s)).first->second;
    }

    const QStaticText& nameText(const std::string& name)
    {
        auto it = names.find(name);
        if (it != names.end()) return it->second;
        QStaticText text(QString::fromStdString(name));
        text.setTextFormat(Qt::PlainText); // a name is never markup
        text.setPerformanceHint(QStaticText::ModerateCaching);
        text.prepare(QTransform(), namesFont);
        return names.emplace(name, std::move(text)).first->second;
    }

    void invalidate()
    {
        planets.valid = false;
        names_.valid = false;
    }

    // Brings a layer to this key and origin; calls draw(areas, count) for what must be drawn, with
    // the areas already cleared to fill. Areas are disjoint.
    template <typename Draw>
    void update(Layer& layer, const ViewKey& key, long long ox, long long oy, QImage::Format format, uint32_t fill,
                Draw draw);

    void drawPlanets(const ProgramState& state, const QRect* areas, int count);
    void drawNames(const ProgramState& state, const QRect* areas, int count);
    void planetsWithPainter(QPainter& painter, const QSizeF& size, const ProgramState& state, StyleTable& styles);
};

template <typename Draw>
void MapRenderer::Impl::update(Layer& layer, const ViewKey& key, long long ox, long long oy, QImage::Format format,
                               uint32_t fill, Draw draw)
{
    const bool same = layer.valid && layer.key == key;
    const long long dx = ox - layer.originX;
    const long long dy = oy - layer.originY;
    const int w = key.pixels.width();
    const int h = key.pixels.height();
    if (same && dx == 0 && dy == 0) {
        ++stats.reused;
        return;
    }
    if (same && std::llabs(dx) < w && std::llabs(dy) < h) {
        // The new origin's pixel (x, y) was the old one's (x + dx, y + dy).
        const int sdx = int(dx);
        const int sdy = int(dy);
        const int keep = w - std::abs(sdx);
        const int stride = layer.image.bytesPerLine() / 4;
        auto* bits = reinterpret_cast<uint32_t*>(layer.image.bits());
        auto moveRow = [&](int y) {
            uint32_t* row = bits + std::ptrdiff_t(y) * stride;
            const uint32_t* from = bits + std::ptrdiff_t(y + sdy) * stride;
            std::memmove(row + std::max(0, -sdx), from + std::max(0, sdx), std::size_t(keep) * 4);
            if (sdx > 0) std::fill(row + keep, row + w, fill);
            if (sdx < 0) std::fill(row, row - sdx, fill);
        };
        if (sdy >= 0)
            for (int y = 0; y < h - sdy; ++y)
                moveRow(y);
        else
            for (int y = h - 1; y >= -sdy; --y)
                moveRow(y);
        const int top = sdy > 0 ? h - sdy : 0;
        const int rows = std::abs(sdy);
        for (int y = top; y < top + rows; ++y)
            std::fill(bits + std::ptrdiff_t(y) * stride, bits + std::ptrdiff_t(y) * stride + w, fill);
        layer.originX = ox;
        layer.originY = oy;
        // Disjoint: the rows that came into view across the whole width, then the columns beside them.
        QRect areas[2];
        int count = 0;
        if (rows) areas[count++] = QRect(0, top, w, rows);
        if (sdx) areas[count++] = QRect(sdx > 0 ? w - sdx : 0, sdy > 0 ? 0 : rows, std::abs(sdx), h - rows);
        draw(areas, count, false);
        ++stats.shifted;
        return;
    }
    if (layer.image.size() != key.pixels || layer.image.format() != format) layer.image = QImage(key.pixels, format);
    layer.image.setDevicePixelRatio(key.dpr);
    layer.image.fill(fill);
    layer.key = key;
    layer.originX = ox;
    layer.originY = oy;
    layer.valid = true;
    const QRect all(QPoint(0, 0), key.pixels);
    draw(&all, 1, true);
    ++stats.drawn;
}

} // namespace vornex::ui
