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
#include <cstring>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/numeric.h"
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

// Blends the sprite with its origin at image pixel (x, y), clipped to the image.
void blend(uint32_t* bits, int stride, int imageWidth, int imageHeight, const Sprite& s, int x, int y)
{
    const int sx0 = std::max(0, -x);
    const int sy0 = std::max(0, -y);
    const int sx1 = std::min(s.width, imageWidth - x);
    const int sy1 = std::min(s.height, imageHeight - y);
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

    Style& forPlanet(const Planet& planet)
    {
        int known = -1;
        auto it = m_owners.find(planet.Owner);
        if (it != m_owners.end()) {
            known = it->second;
        } else {
            if (knownRace(m_state, planet.Owner)) {
                if (auto c = keyedColour(m_state, planet.Owner)) known = styleForColour(*c);
            }
            m_owners.emplace(planet.Owner, known);
        }
        if (known >= 0) return m_styles[std::size_t(known)];
        return m_styles[planet.ReportAge == -1 ? 0 : 1];
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

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
};

} // namespace

// The names of one view: white text on a transparent layer in device pixels, kept between draws.
// Names sit on a pixel grid anchored at map point (0, 0): a name's top-left corner is the device
// pixel round(Xcord * sx) - round(XStart * sx) (likewise in y), at most a pixel from its exact place.
// So a view moved by a drag shows the same names shifted by whole pixels, and only the strip that
// comes into view has to be drawn; the result is the same as drawing the layer afresh.
struct NamesLayer {
    QImage image; // ARGB32_Premultiplied, devicePixelRatio set
    int16_t zoom = 0;
    QSize pixels;
    double dpr = 0;
    double sx = 0, sy = 0; // device pixels per map unit
    QFont font;
    uint64_t signature = 0; // positions and texts of every planet's name
    long long originX = 0;  // grid pixel at the surface's top-left corner
    long long originY = 0;
    bool valid = false;
    // Every planet's name as the layer places it, in collection order, so that strips drawn after a
    // shift find their names without looking texts up.
    struct Entry {
        int16_t x, y;           // Xcord, Ycord
        long long gx, gy;       // grid pixel of the text's top-left corner
        double width;           // device pixels
        const QStaticText* text;
    };
    std::vector<Entry> entries;
};

struct MapRenderer::Impl {
    std::unordered_map<SpriteKey, Sprite, SpriteKeyHash> sprites;
    std::size_t spritePixels = 0;
    std::unordered_map<std::string, QStaticText, StringHash, std::equal_to<>> names;
    QFont namesFont;
    NamesLayer layer;
    RenderStats stats;

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

    void planetsAsSprites(QImage& image, const QSizeF& size, const ProgramState& state, StyleTable& styles);
    void planetsWithPainter(QPainter& painter, const QSizeF& size, const ProgramState& state, StyleTable& styles);
    // Brings the names layer up to date for this view: reused as it is, shifted, or drawn anew.
    void updateNames(const QImage& image, const QSizeF& size, const ProgramState& state);
    // Draws into the layer every name that reaches into one of the rectangles (device pixels),
    // clipped to them.
    void drawNames(const ProgramState& state, const QRect* areas, int count);
};

namespace {

// Device pixel of map coordinate v on the names grid.
inline long long gridPixel(int v, double scale)
{
    return static_cast<long long>(std::floor(v * scale + 0.5));
}

uint64_t namesSignature(const ProgramState& state)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (const auto& planet : state.AllPlanets) {
        mix((uint64_t(uint16_t(planet->Xcord)) << 16) | uint16_t(planet->Ycord));
        mix(std::hash<std::string_view>()(planet->PlanetName));
    }
    return h;
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

} // namespace

void MapRenderer::Impl::updateNames(const QImage& image, const QSizeF& size, const ProgramState& state)
{
    const double dpr = image.devicePixelRatio();
    const QSize pixels = image.size();
    const double sx = size.width() * dpr / state.Zoom;
    const double sy = size.height() * dpr / state.Zoom;
    const long long ox = gridPixel(state.XStart, sx);
    const long long oy = gridPixel(state.YStart, sy);
    const QFont font; // the application's font, as a painter on the image would take it
    const uint64_t signature = namesSignature(state);

    if (font != namesFont) {
        names.clear();
        namesFont = font;
        layer.valid = false;
    }
    NamesLayer& l = layer;
    const bool sameKind = l.valid && l.zoom == state.Zoom && l.pixels == pixels && l.dpr == dpr && l.sx == sx && l.sy == sy && l.font == font &&
                          l.signature == signature;
    const long long dx = ox - l.originX;
    const long long dy = oy - l.originY;
    if (sameKind && dx == 0 && dy == 0) {
        ++stats.namesReused;
        return;
    }
    const int w = pixels.width();
    const int h = pixels.height();
    if (sameKind && std::llabs(dx) < w && std::llabs(dy) < h) {
        // Move what stays in view; the new origin's pixel (x, y) was the old one's (x + dx, y + dy).
        const int sdx = int(dx);
        const int sdy = int(dy);
        const int rowPixels = w - std::abs(sdx);
        const int stride = l.image.bytesPerLine() / 4;
        auto* bits = reinterpret_cast<uint32_t*>(l.image.bits());
        auto moveRow = [&](int y) {
            uint32_t* row = bits + std::ptrdiff_t(y) * stride;
            const uint32_t* from = bits + std::ptrdiff_t(y + sdy) * stride;
            std::memmove(row + std::max(0, -sdx), from + std::max(0, sdx), std::size_t(rowPixels) * 4);
            // The strip on the side that came into view.
            if (sdx > 0) std::fill(row + rowPixels, row + w, 0u);
            if (sdx < 0) std::fill(row, row - sdx, 0u);
        };
        if (sdy >= 0)
            for (int y = 0; y < h - sdy; ++y) moveRow(y);
        else
            for (int y = h - 1; y >= -sdy; --y) moveRow(y);
        const int top = sdy > 0 ? h - sdy : 0;
        const int rows = std::abs(sdy);
        for (int y = top; y < top + rows; ++y) std::fill(bits + std::ptrdiff_t(y) * stride, bits + std::ptrdiff_t(y) * stride + w, 0u);
        l.originX = ox;
        l.originY = oy;
        QRect areas[2];
        int count = 0;
        if (sdy != 0) areas[count++] = QRect(0, top, w, rows);
        if (sdx != 0) areas[count++] = QRect(sdx > 0 ? w - sdx : 0, 0, std::abs(sdx), h);
        drawNames(state, areas, count);
        ++stats.namesShifted;
        return;
    }
    if (l.image.size() != pixels || l.image.format() != QImage::Format_ARGB32_Premultiplied)
        l.image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    l.image.setDevicePixelRatio(dpr);
    l.image.fill(Qt::transparent);
    l.zoom = state.Zoom;
    l.pixels = pixels;
    l.dpr = dpr;
    l.sx = sx;
    l.sy = sy;
    l.font = font;
    l.signature = signature;
    l.entries.clear();
    l.originX = ox;
    l.originY = oy;
    l.valid = true;
    const QRect all(QPoint(0, 0), pixels);
    drawNames(state, &all, 1);
    ++stats.namesDrawn;
}

void MapRenderer::Impl::drawNames(const ProgramState& state, const QRect* areas, int count)
{
    NamesLayer& l = layer;
    QRect bounds;
    for (int i = 0; i < count; ++i) bounds |= areas[i];
    if (bounds.isEmpty()) return;
    const double dpr = l.dpr;
    if (l.entries.empty() && state.AllPlanets.Count() > 0) {
        l.entries.reserve(std::size_t(state.AllPlanets.Count()));
        for (const auto& planet : state.AllPlanets) {
            const QStaticText& text = nameText(planet->PlanetName);
            l.entries.push_back({planet->Xcord, planet->Ycord, gridPixel(planet->Xcord, l.sx),
                                 gridPixel(planet->Ycord, l.sy), text.size().width() * dpr, &text});
        }
    }
    QPainter painter(&l.image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(namesFont);
    painter.setPen(kWhite);
    // The painter works in logical pixels; the clip is given in them too.
    if (count > 1 || bounds != QRect(QPoint(0, 0), l.pixels)) {
        QRegion logical;
        for (int i = 0; i < count; ++i) {
            const QRect& r = areas[i];
            logical += QRectF(r.x() / dpr, r.y() / dpr, r.width() / dpr, r.height() / dpr).toAlignedRect();
        }
        painter.setClipRegion(logical);
    }
    const double lineHeight = QFontMetricsF(namesFont).height() * dpr;
    // Glyphs may reach a little beyond the text's box (overhangs, descenders).
    const double slack = lineHeight / 2 + 2;
    for (const NamesLayer::Entry& e : l.entries) {
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
            for (int i = 0; i < count && !hit; ++i) hit = box.intersects(QRectF(areas[i]));
            if (!hit) continue;
        }
        painter.drawStaticText(QPointF(px / dpr, py / dpr), *e.text);
    }
}

void MapRenderer::Impl::planetsAsSprites(QImage& image, const QSizeF& size, const ProgramState& state,
                                          StyleTable& styles)
{
    const double dpr = image.devicePixelRatio();
    const double unit = size.width() / state.Zoom; // logical pixels per map unit along x
    const double sx = size.width() * dpr / state.Zoom;
    const double sy = size.height() * dpr / state.Zoom;
    const double pen = kPenWidth * dpr;
    const int w = image.width();
    const int h = image.height();
    const double margin = kKnownRadius * unit * dpr + pen + 4;
    auto* bits = reinterpret_cast<uint32_t*>(image.bits());
    const int stride = image.bytesPerLine() / 4;

    for (const auto& planet : state.AllPlanets) {
        Style& style = styles.forPlanet(*planet);
        int dx, dy;
        if (!difference16(planet->Xcord, state.XStart, &dx) || !difference16(planet->Ycord, state.YStart, &dy))
            continue;
        const double px = dx * sx;
        const double py = dy * sy;
        // Planets off the surface cannot show.
        if (px < -margin || py < -margin || px > w + margin || py > h + margin) continue;
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
        const Sprite*& slot = style.sprites[std::size_t(qx * kPhases + qy)];
        if (!slot)
            slot = &sprite(SpriteKey{style.outline.rgb(), style.fill.rgb(), style.radius * unit * dpr, pen, qx, qy});
        blend(bits, stride, w, h, *slot, int(fx) + slot->left, int(fy) + slot->top);
    }
}

void MapRenderer::Impl::planetsWithPainter(QPainter& painter, const QSizeF& size, const ProgramState& state,
                                            StyleTable& styles)
{
    const double unit = size.width() / state.Zoom;
    const QRectF visible = QRectF(QPointF(0, 0), size)
                               .adjusted(-8 * unit - 2, -8 * unit - 2, 8 * unit + 2, 8 * unit + 2);
    for (const auto& planet : state.AllPlanets) {
        const Style& style = styles.forPlanet(*planet);
        QPointF at;
        if (!mapToSurface(state, size, planet->Xcord, planet->Ycord, &at)) continue;
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

void MapRenderer::clear()
{
    d->sprites.clear();
    d->spritePixels = 0;
    d->names.clear();
    d->layer = NamesLayer();
}

RenderStats MapRenderer::stats() const
{
    return d->stats;
}

void MapRenderer::render(QImage& image, const QSizeF& size, const ProgramState& state, bool names)
{
    if (image.isNull()) return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) {
        const qreal dpr = image.devicePixelRatio();
        image = image.convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
    }
    image.fill(QColor(Qt::black));
    if (state.Zoom < 1 || size.width() <= 0 || size.height() <= 0) return;

    if (d->spritePixels > kSpritePixelBudget) {
        d->sprites.clear();
        d->spritePixels = 0;
    }
    if (d->names.size() > kNameBudget) {
        d->names.clear();
        d->layer.valid = false;
    }

    StyleTable styles(state);
    const double dpr = image.devicePixelRatio();
    const double unit = size.width() / state.Zoom;
    const bool useSprites = kKnownRadius * unit * dpr <= kLargestSpriteRadius;
    if (useSprites) d->planetsAsSprites(image, size, state, styles);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (!useSprites) d->planetsWithPainter(painter, size, state, styles);

    if (names) {
        painter.end();
        d->updateNames(image, size, state);
        compose(image, d->layer.image);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
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
            if (last) fill = styles.forPlanet(*last).fill;
        }
        QPointF at;
        if (mapToSurface(state, size, selected->Xcord, selected->Ycord, &at))
            circle(painter, at, kRingRadius * unit, outline, fill);
    }
}

bool mapToSurface(const ProgramState& state, const QSizeF& size, int16_t x, int16_t y, QPointF* out)
{
    if (state.Zoom < 1) return false;
    int dx, dy;
    if (!difference16(x, state.XStart, &dx) || !difference16(y, state.YStart, &dy)) return false;
    *out = QPointF(dx * size.width() / state.Zoom, dy * size.height() / state.Zoom);
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
