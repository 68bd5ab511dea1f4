#include "ui/maprenderer.h"

#include <QPainter>
#include <cstring>

#include "app/programstate.h"
#include "ui/maprendererimpl.h"

namespace vornex::ui {

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
    const View view = viewOf(state);
    const Surface surface{size.width(), size.height(), dpr};
    const auto grid = mapGrid(view, surface);
    if (!grid) {
        image.fill(QColor(Qt::black));
        return;
    }
    ViewKey key;
    key.zoom = state.Zoom;
    key.pixels = image.size();
    key.dpr = dpr;
    key.sx = grid->sx;
    key.sy = grid->sy;
    const auto [planetsSignature, namesSignature] = signatures(state, names, d->walk);
    key.signature = planetsSignature;
    const long long ox = grid->originX;
    const long long oy = grid->originY;
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
        if (auto at = mapToSurface(view, surface, selected->Xcord, selected->Ycord)) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, true);
            circle(painter, QPointF(at->x, at->y), kRingRadius * unit, outline, fill);
        }
    }
}

View viewOf(const ProgramState& state)
{
    return View{state.Zoom, state.XStart, state.YStart};
}

} // namespace vornex::ui
