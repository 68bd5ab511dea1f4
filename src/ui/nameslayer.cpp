#include "ui/nameslayer.h"

#include <QFontMetricsF>
#include <QObject>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "app/programstate.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

namespace {
// Beyond this many layouts the cache is emptied before the next draw.
constexpr std::size_t kNameBudget = 40000;

// The application's font, as a painter on the image would take it, at device pixels.
QFont fontAtRatio(double dpr)
{
    QFont font;
    if (dpr != 1.0) {
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * dpr))));
        else
            font.setPointSizeF(font.pointSizeF() * dpr);
    }
    return font;
}
} // namespace

void drawOutlinedTexts(QPainter& painter, const std::vector<std::pair<QPointF, const QStaticText*>>& texts,
                       double outline)
{
    // The outline first for every text, then the white over it: names never overlap, so no
    // outline falls on another name's white.
    painter.setPen(QColor(0, 0, 0, 200));
    const QPointF offsets[] = {{-outline, 0}, {outline, 0}, {0, -outline}, {0, outline}, {outline, outline}};
    for (const auto& [at, text] : texts)
        for (const QPointF& o : offsets)
            painter.drawStaticText(at + o, *text);
    painter.setPen(mapstyle::white());
    for (const auto& [at, text] : texts)
        painter.drawStaticText(at, *text);
}

NamesLayer::NamesLayer()
    : MapLayer(QStringLiteral("Names"), QObject::tr("Names"), Kind::Kept, QIcon(QStringLiteral(":/icons/names.png")),
               QObject::tr("Show or hide the planet names"))
{
    setShown(false);
}

void NamesLayer::clear()
{
    m_texts.clear();
    m_entries.clear();
    m_built = false;
    ++m_generation;
}

namespace {

QStaticText layout(const std::string& name, const QFont& font)
{
    QStaticText text(QString::fromStdString(name));
    text.setTextFormat(Qt::PlainText); // a name is never markup
    text.setPerformanceHint(QStaticText::ModerateCaching);
    text.prepare(QTransform(), font);
    return text;
}

} // namespace

NamesLayer::Laid& NamesLayer::laidOf(const std::string& name)
{
    auto it = m_texts.find(name);
    if (it != m_texts.end()) return it->second;
    Laid laid;
    laid.text = layout(name, m_font);
    laid.width = laid.text->size().width();
    return m_texts.emplace(name, std::move(laid)).first->second;
}

std::size_t NamesLayer::layoutCount() const
{
    std::size_t n = 0;
    for (const auto& [name, laid] : m_texts)
        n += laid.text.has_value();
    return n;
}

uint64_t NamesLayer::signature(const MapScene& scene)
{
    const QFont font = fontAtRatio(scene.dpr());
    if (font != m_font || m_texts.size() > kNameBudget) {
        clear();
        m_font = font;
    }
    SignatureHash h;
    h.add(m_generation);
    PlayerPtr you = scene.state.yourPlayer();
    h.add(you ? std::string_view(you->RaceName) : std::string_view("\x01"));
    for (const auto& planet : scene.state.AllPlanets) {
        h.add((uint64_t(uint16_t(planet->Xcord)) << 32) | (uint64_t(uint16_t(planet->Ycord)) << 16) |
              uint16_t(planet->ReportAge));
        h.add(planet->PlanetName);
        h.add(planet->Owner);
    }
    m_signature = h.value();
    return m_signature;
}

void NamesLayer::build(const MapScene& scene)
{
    const ProgramState& state = scene.state;
    const std::size_t n = std::size_t(state.AllPlanets.Count());
    // Preference: your planets, then reported ones, then the rest; collection order within each.
    PlayerPtr you = state.yourPlayer();
    std::vector<std::pair<int, const Planet*>> order;
    order.reserve(n);
    for (const auto& planet : state.AllPlanets) {
        const int rank = you && planet->Owner == you->RaceName ? 0 : planet->ReportAge != -1 ? 1 : 2;
        order.emplace_back(rank, planet.get());
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    // Each name is placed unless its box (with a pixel to spare around the outline) meets one
    // placed before it; placed boxes are found through the cells of a coarse grid.
    const double lineHeight = QFontMetricsF(m_font).height();
    const double cell = std::max(8.0, lineHeight);
    std::unordered_map<uint64_t, std::vector<uint32_t>> cells;
    std::vector<QRectF> boxes;
    auto cellKey = [](long long cx, long long cy) { return (uint64_t(uint32_t(cx)) << 32) | uint32_t(cy); };
    m_entries.clear();
    ++m_placement;
    for (const auto& [rank, planet] : order) {
        Laid& laid = laidOf(planet->PlanetName);
        const long long gx = gridPixel(planet->Xcord, scene.grid.sx);
        const long long gy = gridPixel(planet->Ycord, scene.grid.sy);
        const double width = laid.width;
        const QRectF box(double(gx) - 2, double(gy) - 2, width + 4, lineHeight + 4);
        const long long cx0 = (long long)std::floor(box.left() / cell), cx1 = (long long)std::floor(box.right() / cell);
        const long long cy0 = (long long)std::floor(box.top() / cell), cy1 = (long long)std::floor(box.bottom() / cell);
        bool free = true;
        for (long long cy = cy0; cy <= cy1 && free; ++cy)
            for (long long cx = cx0; cx <= cx1 && free; ++cx) {
                auto it = cells.find(cellKey(cx, cy));
                if (it == cells.end()) continue;
                for (uint32_t other : it->second)
                    if (boxes[other].intersects(box)) {
                        free = false;
                        break;
                    }
            }
        if (!free) {
            if (laid.placedIn != m_placement) laid.text.reset();
            continue;
        }
        if (!laid.text) laid.text = layout(planet->PlanetName, m_font);
        laid.placedIn = m_placement;
        const auto index = uint32_t(boxes.size());
        boxes.push_back(box);
        for (long long cy = cy0; cy <= cy1; ++cy)
            for (long long cx = cx0; cx <= cx1; ++cx)
                cells[cellKey(cx, cy)].push_back(index);
        m_entries.push_back({planet->Xcord, planet->Ycord, gx, gy, width, &*laid.text});
    }
    m_built = true;
    m_builtSignature = m_signature;
    m_builtSx = scene.grid.sx;
    m_builtSy = scene.grid.sy;
}

void NamesLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    if (!m_built || m_builtSignature != m_signature || m_builtSx != scene.grid.sx || m_builtSy != scene.grid.sy)
        build(scene);
    const QRect bounds = canvas.bounds();
    if (bounds.isEmpty()) return;
    // Painted in device pixels with a font scaled by the pixel ratio, so that clips and text
    // positions fall on whole device pixels.
    QImage& image = canvas.image;
    const qreal dpr = image.devicePixelRatio();
    image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(m_font);
        if (canvas.count > 1 || bounds != image.rect()) {
            QRegion clip;
            for (int i = 0; i < canvas.count; ++i)
                clip += canvas.areas[i];
            painter.setClipRegion(clip);
        }
        const double lineHeight = QFontMetricsF(m_font).height();
        // Glyphs may reach a little beyond the text's box (overhangs, descenders, the outline).
        const double slack = lineHeight / 2 + 3;
        const int16_t xs = scene.view.XStart, ys = scene.view.YStart;
        std::vector<std::pair<QPointF, const QStaticText*>> shown;
        for (const Entry& e : m_entries) {
            const int dx = int(e.x) - xs, dy = int(e.y) - ys;
            if (dx < -32768 || dx > 32767 || dy < -32768 || dy > 32767) continue;
            const double px = double(e.gx - scene.grid.originX);
            const double py = double(e.gy - scene.grid.originY);
            if (px - slack > bounds.right() || py - slack > bounds.bottom() || py + lineHeight + slack < bounds.top() ||
                px + e.width + slack < bounds.left())
                continue;
            if (canvas.count > 1 &&
                !canvas.touches(QRectF(px - slack, py - slack, e.width + 2 * slack, lineHeight + 2 * slack)))
                continue;
            shown.emplace_back(QPointF(px, py), e.text);
        }
        drawOutlinedTexts(painter, shown, std::max(1.0, std::round(scene.dpr())));
    }
    image.setDevicePixelRatio(dpr);
}

} // namespace vornex::ui
