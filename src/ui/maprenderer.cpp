#include "ui/maprenderer.h"

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

#include "base/numeric.h"
#include "app/programstate.h"
#include "ui/dialogs.h"

namespace vornex::ui {

namespace {

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
const Player* knownRace(const ProgramState& state, const std::string& owner)
{
    if (owner == kUninhabited) return nullptr;
    for (const auto& player : state.AllPlayers)
        if (player && player->RaceName == owner) return player.get();
    return nullptr;
}

// The colour of the player stored under the owner's name (table key, letter case ignored).
std::optional<QColor> keyedColour(const ProgramState& state, const std::string& owner)
{
    PlayerPtr p = state.AllPlayers.Find(owner);
    if (!p) return std::nullopt;
    return colourFromBgr(p->Colour);
}

void circle(QPainter& painter, const QPointF& centre, double radius, const QColor& outline, const QColor& fill)
{
    painter.setPen(QPen(outline, kPenWidth));
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);
}

// Device pixel of map coordinate v on the drawing's grid (see Layer).
inline long long gridPixel(int v, double scale)
{
    return static_cast<long long>(std::floor(v * scale + 0.5));
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
        const QPointF centre(c + double(key.phaseX) / kPhases, c + double(key.phaseY) / kPhases);
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

// Blends the sprite with its origin at image pixel (x, y), clipped to the area.
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

} // namespace

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

namespace {

// Signatures of what the planets layer and the names layer show; walk gets every planet's entry.
// Texts enter by their 64-bit hashes: a changed owner or name that kept its hash would go unseen,
// which is as likely as two random 64-bit numbers being equal.
std::pair<uint64_t, uint64_t> signatures(const ProgramState& state, bool names, std::vector<WalkEntry>& walk)
{
    uint64_t h = 1469598103934665603ull;
    uint64_t n = h;
    auto mix = [](uint64_t& s, uint64_t v) { s = (s ^ v) * 1099511628211ull; };
    // A planet's colour follows from its owner text, its report age and the players table.
    for (const auto& player : state.AllPlayers) {
        if (!player) continue;
        mix(h, std::hash<std::string_view>()(player->RaceName));
        auto keyed = state.AllPlayers.Find(player->RaceName);
        mix(h, keyed ? uint64_t(uint32_t(keyed->Colour)) : 0x100000000ull);
    }
    mix(h, uint64_t(state.AllPlayers.Count()));
    walk.clear();
    walk.reserve(std::size_t(state.AllPlanets.Count()));
    for (const auto& planet : state.AllPlanets) {
        const uint64_t at = (uint64_t(uint16_t(planet->Xcord)) << 16) | uint16_t(planet->Ycord);
        const uint64_t owner = std::hash<std::string_view>()(planet->Owner);
        mix(h, (at << 16) | uint16_t(planet->ReportAge));
        mix(h, owner);
        if (names) {
            mix(n, at);
            mix(n, std::hash<std::string_view>()(planet->PlanetName));
        }
        walk.push_back({planet->Xcord, planet->Ycord, planet->ReportAge, owner, planet.get()});
    }
    return {h, n};
}

// Premultiplied white text over the image: dst = src + dst * (255 - alpha) / 255.
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

} // namespace

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

void MapRenderer::Impl::drawPlanets(const ProgramState& state, const QRect* areas, int count)
{
    Layer& l = planets;
    const double dpr = l.key.dpr;
    const double unit = l.key.sx / dpr; // logical pixels per map unit along x
    const double pen = kPenWidth * dpr;
    const double margin = kKnownRadius * unit * dpr + pen + 4;
    auto* bits = reinterpret_cast<uint32_t*>(l.image.bits());
    const int stride = l.image.bytesPerLine() / 4;
    for (int i = 0; i < count; ++i) {
        const QRect& a = areas[i];
        const double left = a.left() - margin, right = a.right() + 1 + margin;
        const double top = a.top() - margin, bottom = a.bottom() + 1 + margin;
        for (const PlanetEntry& e : planetEntries) {
            int dx, dy;
            if (!difference16(e.x, state.XStart, &dx) || !difference16(e.y, state.YStart, &dy)) continue;
            const double px = e.gx - double(l.originX);
            const double py = e.gy - double(l.originY);
            if (px < left || py < top || px > right || py > bottom) continue;
            double fx = std::floor(px);
            double fy = std::floor(py);
            int qx = int((px - fx) * kPhases + 0.5); // both fractions are at least 0
            int qy = int((py - fy) * kPhases + 0.5);
            if (qx == kPhases) {
                qx = 0;
                fx += 1;
            }
            if (qy == kPhases) {
                qy = 0;
                fy += 1;
            }
            Style& style = styles[e.style];
            const Sprite*& slot = style.sprites[std::size_t(qx * kPhases + qy)];
            if (!slot)
                slot =
                    &sprite(SpriteKey{style.outline.rgb(), style.fill.rgb(), style.radius * unit * dpr, pen, qx, qy});
            blend(bits, stride, a, *slot, int(fx) + slot->left, int(fy) + slot->top);
        }
    }
}

void MapRenderer::Impl::drawNames(const ProgramState& state, const QRect* areas, int count)
{
    Layer& l = names_;
    QRect bounds;
    for (int i = 0; i < count; ++i)
        bounds |= areas[i];
    if (bounds.isEmpty()) return;
    // The layer is painted in device pixels with a font scaled by the pixel ratio, so that clips
    // and text positions fall on whole device pixels.
    l.image.setDevicePixelRatio(1.0);
    QPainter painter(&l.image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(namesFont);
    painter.setPen(kWhite);
    if (count > 1 || bounds != QRect(QPoint(0, 0), l.key.pixels)) {
        QRegion clip;
        for (int i = 0; i < count; ++i)
            clip += areas[i];
        painter.setClipRegion(clip);
    }
    const double lineHeight = QFontMetricsF(namesFont).height();
    // Glyphs may reach a little beyond the text's box (overhangs, descenders).
    const double slack = lineHeight / 2 + 2;
    for (const NameEntry& e : nameEntries) {
        int dx, dy;
        if (!difference16(e.x, state.XStart, &dx) || !difference16(e.y, state.YStart, &dy)) continue;
        const double px = double(e.gx - l.originX);
        const double py = double(e.gy - l.originY);
        if (px - slack > bounds.right() || py - slack > bounds.bottom() || py + lineHeight + slack < bounds.top() ||
            px + e.width + slack < bounds.left())
            continue;
        if (count > 1) {
            const QRectF box(px - slack, py - slack, e.width + 2 * slack, lineHeight + 2 * slack);
            bool hit = false;
            for (int i = 0; i < count && !hit; ++i)
                hit = box.intersects(QRectF(areas[i]));
            if (!hit) continue;
        }
        painter.drawStaticText(QPointF(px, py), *e.text);
    }
}

void MapRenderer::Impl::planetsWithPainter(QPainter& painter, const QSizeF& size, const ProgramState& state,
                                           StyleTable& table)
{
    const double unit = size.width() / state.Zoom;
    const QRectF visible =
        QRectF(QPointF(0, 0), size).adjusted(-8 * unit - 2, -8 * unit - 2, 8 * unit + 2, 8 * unit + 2);
    const double dpr = painter.device()->devicePixelRatioF();
    for (const auto& planet : state.AllPlanets) {
        const Style& style = table.forPlanet(*planet);
        QPointF at;
        if (!mapToSurface(state, size, planet->Xcord, planet->Ycord, &at, dpr)) continue;
        if (!visible.contains(at)) continue;
        circle(painter, at, style.radius * unit, style.outline, style.fill);
    }
}

MapRenderer::MapRenderer() : d(std::make_unique<Impl>()) {}

MapRenderer::~MapRenderer() = default;

std::size_t MapRenderer::spriteCount() const
{
    return d->sprites.size();
}

std::size_t MapRenderer::nameCount() const
{
    return d->names.size();
}

RenderStats MapRenderer::stats() const
{
    return d->stats;
}

void MapRenderer::clear()
{
    d->sprites.clear();
    d->spritePixels = 0;
    d->names.clear();
    d->invalidate();
    d->planetEntries.clear();
    d->nameEntries.clear();
    d->styles.clear();
}

void MapRenderer::render(QImage& image, const QSizeF& size, const ProgramState& state, bool names)
{
    if (image.isNull()) return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) {
        const qreal dpr = image.devicePixelRatio();
        image = image.convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
    }
    if (state.Zoom < 1 || size.width() <= 0 || size.height() <= 0) {
        image.fill(QColor(Qt::black));
        return;
    }
    // Over budget, the caches start again; the layers hold pointers into them.
    if (d->spritePixels > kSpritePixelBudget) {
        d->sprites.clear();
        d->spritePixels = 0;
        d->planets.valid = false;
    }
    if (d->names.size() > kNameBudget) {
        d->names.clear();
        d->names_.valid = false;
    }

    const double dpr = image.devicePixelRatio();
    ViewKey key;
    key.zoom = state.Zoom;
    key.pixels = image.size();
    key.dpr = dpr;
    key.sx = size.width() * dpr / state.Zoom;
    key.sy = size.height() * dpr / state.Zoom;
    const auto [planetsSignature, namesSignature] = signatures(state, names, d->walk);
    key.signature = planetsSignature;
    const long long ox = gridPixel(state.XStart, key.sx);
    const long long oy = gridPixel(state.YStart, key.sy);
    const double unit = size.width() / state.Zoom;
    const bool useSprites = kKnownRadius * unit * dpr <= kLargestSpriteRadius;

    StyleTable table(state);
    if (useSprites) {
        d->update(d->planets, key, ox, oy, QImage::Format_RGB32, 0xff000000u,
                  [&](const QRect* areas, int count, bool fresh) {
                      if (fresh) {
                          // Owners resolved once per distinct owner text, found by its hash in a
                          // small direct-mapped table (a slot taken by another owner is resolved again).
                          StyleTable all(state);
                          struct Slot {
                              uint64_t hash = 0;
                              int known = -1;
                              bool used = false;
                          };
                          std::array<Slot, 256> owners{};
                          d->planetEntries.clear();
                          d->planetEntries.reserve(d->walk.size());
                          for (const WalkEntry& w : d->walk) {
                              Slot& slot = owners[w.ownerHash & 255u];
                              if (!slot.used || slot.hash != w.ownerHash)
                                  slot = Slot{w.ownerHash, all.knownStyle(w.planet->Owner), true};
                              const int style = slot.known >= 0 ? slot.known : w.reportAge == -1 ? 0 : 1;
                              d->planetEntries.push_back({w.x, w.y, w.x * key.sx, w.y * key.sy, uint16_t(style)});
                          }
                          d->styles = std::move(all.styles());
                      }
                      d->drawPlanets(state, areas, count);
                  });
        copyPixels(image, d->planets.image);
    } else {
        // Close zoom: few planets in view, each drawn by the painter.
        image.fill(QColor(Qt::black));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        d->planetsWithPainter(painter, size, state, table);
    }

    if (names) {
        // The application's font, as a painter on the image would take it, at device pixels.
        QFont font;
        if (dpr != 1.0) {
            if (font.pixelSize() > 0)
                font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * dpr))));
            else
                font.setPointSizeF(font.pointSizeF() * dpr);
        }
        if (font != d->namesFont) {
            d->names.clear();
            d->namesFont = font;
            d->names_.valid = false;
        }
        ViewKey namesKey = key;
        namesKey.signature = namesSignature;
        d->update(d->names_, namesKey, ox, oy, QImage::Format_ARGB32_Premultiplied, 0u,
                  [&](const QRect* areas, int count, bool fresh) {
                      if (fresh) {
                          d->nameEntries.clear();
                          d->nameEntries.reserve(std::size_t(state.AllPlanets.Count()));
                          for (const WalkEntry& w : d->walk) {
                              const QStaticText& text = d->nameText(w.planet->PlanetName);
                              d->nameEntries.push_back({w.x, w.y, gridPixel(w.x, key.sx), gridPixel(w.y, key.sy),
                                                        text.size().width(), &text});
                          }
                      }
                      d->drawNames(state, areas, count);
                  });
        compose(image, d->names_.image);
    }

    if (PlanetPtr selected = state.selectedPlanet()) {
        QColor outline = kPeach;
        QColor fill;
        if (selected->Owner != kUninhabited) {
            // An owner that is no race of the table has no colour: the ring then takes the grey of
            // such planets.
            fill = keyedColour(state, selected->Owner).value_or(kLightGrey);
        } else {
            // The fill colour stays that of the last planet of the planet pass.
            outline = kWhite;
            fill = kLightGrey;
            PlanetPtr last = state.AllPlanets.At(state.AllPlanets.Count());
            if (last) fill = table.forPlanet(*last).fill;
        }
        QPointF at;
        if (mapToSurface(state, size, selected->Xcord, selected->Ycord, &at, dpr)) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, true);
            circle(painter, at, kRingRadius * unit, outline, fill);
        }
    }
}

bool mapToSurface(const ProgramState& state, const QSizeF& size, int16_t x, int16_t y, QPointF* out, double dpr)
{
    if (state.Zoom < 1 || dpr <= 0) return false;
    int dx, dy;
    if (!difference16(x, state.XStart, &dx) || !difference16(y, state.YStart, &dy)) return false;
    // On the drawing's grid: the origin at a whole device pixel.
    const double sx = size.width() * dpr / state.Zoom;
    const double sy = size.height() * dpr / state.Zoom;
    *out = QPointF((x * sx - double(gridPixel(state.XStart, sx))) / dpr,
                   (y * sy - double(gridPixel(state.YStart, sy))) / dpr);
    return true;
}

void paintMap(QPainter& painter, const QSizeF& size, const ProgramState& state, bool names)
{
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(std::max(1, qRound(size.width() * dpr)), std::max(1, qRound(size.height() * dpr)));
    QImage layer(pixels, QImage::Format_RGB32);
    layer.setDevicePixelRatio(dpr);
    MapRenderer renderer;
    renderer.render(layer, size, state, names);
    painter.drawImage(QRectF(QPointF(0, 0), size), layer);
}

} // namespace vornex::ui
