#include "ui/maprenderer.h"

#include <QImage>
#include <algorithm>
#include <cstring>

#include "app/programstate.h"
#include "ui/distancelayer.h"
#include "ui/mapsprites.h"
#include "ui/nameslayer.h"
#include "ui/planetslayer.h"
#include "ui/selectionlayer.h"

namespace vornex::ui {

namespace {

// Everything a kept picture depends on besides its origin: what it shows is the same picture
// shifted by whole pixels as long as these stay the same.
struct PictureKey {
    QSize pixels;
    double dpr = 0;
    double sx = 0, sy = 0;  // device pixels per map unit
    uint64_t signature = 0; // the layer's inputs
    bool operator==(const PictureKey&) const = default;
};

// A layer's picture, in device pixels, on the grid anchored at map point (0, 0): its pixel (0, 0)
// is grid pixel (originX, originY).
struct KeptPicture {
    QImage image;
    PictureKey key;
    long long originX = 0;
    long long originY = 0;
    bool valid = false;
};

struct Entry {
    std::unique_ptr<MapLayer> layer;
    KeptPicture picture;
};

// What the whole image showed after the last draw.
struct FrameKey {
    View view;
    QSize pixels;
    QSizeF size;
    double dpr = 0;
    std::vector<uint64_t> layers; // per layer: its signature, or 0 while hidden
    qint64 image = 0;             // the image's cache key after the draw
    bool operator==(const FrameKey&) const = default;
};

} // namespace

struct MapRenderer::Impl {
    std::vector<Entry> entries;
    PlanetsLayer* planets = nullptr;
    NamesLayer* names = nullptr;
    DistanceLayer* distance = nullptr;
    RenderStats stats;
    std::optional<FrameKey> last;

    // Brings a kept picture to this key and origin, painting what must be painted.
    void update(Entry& e, const PictureKey& key, const MapScene& scene);
};

void MapRenderer::Impl::update(Entry& e, const PictureKey& key, const MapScene& scene)
{
    KeptPicture& pic = e.picture;
    MapLayer& layer = *e.layer;
    const uint32_t fill = layer.background();
    const long long ox = scene.grid.originX, oy = scene.grid.originY;
    const bool same = pic.valid && pic.key == key;
    const long long dx = ox - pic.originX;
    const long long dy = oy - pic.originY;
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
        const int stride = pic.image.bytesPerLine() / 4;
        auto* bits = reinterpret_cast<uint32_t*>(pic.image.bits());
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
        pic.originX = ox;
        pic.originY = oy;
        // Disjoint: the rows that came into view across the whole width, then the columns beside them.
        QRect areas[2];
        int count = 0;
        if (rows) areas[count++] = QRect(0, top, w, rows);
        if (sdx) areas[count++] = QRect(sdx > 0 ? w - sdx : 0, sdy > 0 ? 0 : rows, std::abs(sdx), h - rows);
        LayerCanvas canvas{pic.image, areas, count};
        layer.paint(canvas, scene);
        ++stats.shifted;
        return;
    }
    const QImage::Format format = layer.opaque() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    if (pic.image.size() != key.pixels || pic.image.format() != format) pic.image = QImage(key.pixels, format);
    pic.image.setDevicePixelRatio(key.dpr);
    pic.image.fill(fill);
    pic.key = key;
    pic.originX = ox;
    pic.originY = oy;
    pic.valid = true;
    const QRect all(QPoint(0, 0), key.pixels);
    LayerCanvas canvas{pic.image, &all, 1};
    layer.paint(canvas, scene);
    ++stats.drawn;
}

MapRenderer::MapRenderer() : d(std::make_unique<Impl>())
{
    auto planets = std::make_unique<PlanetsLayer>();
    auto names = std::make_unique<NamesLayer>();
    auto distance = std::make_unique<DistanceLayer>();
    d->planets = planets.get();
    d->names = names.get();
    d->distance = distance.get();
    add(std::move(planets));
    add(std::move(names));
    add(std::make_unique<SelectionLayer>(*d->names));
    add(std::move(distance));
}

MapRenderer::~MapRenderer() = default;

void MapRenderer::add(std::unique_ptr<MapLayer> layer)
{
    d->entries.push_back(Entry{std::move(layer), {}});
    d->last.reset();
}

MapLayer* MapRenderer::layer(const QString& id) const
{
    for (const Entry& e : d->entries)
        if (e.layer->id() == id) return e.layer.get();
    return nullptr;
}

std::vector<MapLayer*> MapRenderer::layers() const
{
    std::vector<MapLayer*> all;
    for (const Entry& e : d->entries)
        all.push_back(e.layer.get());
    return all;
}

NamesLayer& MapRenderer::names() const
{
    return *d->names;
}

DistanceLayer& MapRenderer::distance() const
{
    return *d->distance;
}

std::size_t MapRenderer::spriteCount() const
{
    return d->planets->spriteCount();
}

std::size_t MapRenderer::nameCount() const
{
    return d->names->nameCount();
}

RenderStats MapRenderer::stats() const
{
    return d->stats;
}

void MapRenderer::clear()
{
    d->planets->clear();
    d->names->clear();
    for (Entry& e : d->entries)
        e.picture = KeptPicture{};
    d->last.reset();
}

void MapRenderer::render(QImage& image, const QSizeF& size, const ProgramState& state, bool names)
{
    d->names->setShown(names);
    render(image, size, state);
}

void MapRenderer::render(QImage& image, const QSizeF& size, const ProgramState& state)
{
    if (image.isNull()) return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) {
        const qreal dpr = image.devicePixelRatio();
        image = image.convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
    }
    const double dpr = image.devicePixelRatio();
    const View view = viewOf(state);
    const Surface surface{size.width(), size.height(), dpr};
    const auto grid = mapGrid(view, surface);
    if (!grid) {
        image.fill(QColor(Qt::black));
        d->last.reset();
        return;
    }
    const MapScene scene{state, view, surface, *grid, image.size()};

    FrameKey frame{view, image.size(), size, dpr, {}, 0};
    frame.layers.reserve(d->entries.size());
    for (Entry& e : d->entries)
        frame.layers.push_back(e.layer->isShown() ? e.layer->signature(scene) | 1u : 0u);
    frame.image = image.cacheKey();
    if (d->last && *d->last == frame) {
        for (const Entry& e : d->entries)
            if (e.layer->isShown() && e.layer->kind() == MapLayer::Kind::Kept) ++d->stats.reused;
        return;
    }

    bool ground = false; // whether an opaque layer has covered the image yet
    for (std::size_t i = 0; i < d->entries.size(); ++i) {
        Entry& e = d->entries[i];
        if (!e.layer->isShown()) continue;
        if (e.layer->kind() == MapLayer::Kind::Kept) {
            const PictureKey key{image.size(), dpr, grid->sx, grid->sy, frame.layers[i]};
            d->update(e, key, scene);
            if (e.layer->opaque()) {
                copyPixels(image, e.picture.image);
                ground = true;
                continue;
            }
            if (!ground) image.fill(QColor(Qt::black));
            ground = true;
            compose(image, e.picture.image);
        } else {
            if (!ground) image.fill(QColor(Qt::black));
            ground = true;
            const QRect all(QPoint(0, 0), image.size());
            LayerCanvas canvas{image, &all, 1};
            e.layer->paint(canvas, scene);
        }
    }
    if (!ground) image.fill(QColor(Qt::black));
    frame.image = image.cacheKey();
    d->last = frame;
}

View viewOf(const ProgramState& state)
{
    return View{state.Zoom, state.XStart, state.YStart};
}

} // namespace vornex::ui
