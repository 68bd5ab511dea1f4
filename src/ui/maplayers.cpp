#include <QPainter>
#include <cmath>
#include <cstring>

#include "app/programstate.h"
#include "ui/maprendererimpl.h"

namespace vornex::ui {

namespace mapdraw {

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

} // namespace mapdraw

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
    const Surface surface{size.width(), size.height(), painter.device()->devicePixelRatioF()};
    const View view = viewOf(state);
    for (const auto& planet : state.AllPlanets) {
        const Style& style = table.forPlanet(*planet);
        auto at = mapToSurface(view, surface, planet->Xcord, planet->Ycord);
        if (!at || !visible.contains(QPointF(at->x, at->y))) continue;
        circle(painter, QPointF(at->x, at->y), style.radius * unit, style.outline, style.fill);
    }
}

} // namespace vornex::ui
