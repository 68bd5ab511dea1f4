#include "ui/nameslayer.h"

#include <QFontMetricsF>
#include <QObject>
#include <QPainter>
#include <QRegion>
#include <cmath>

#include "app/programstate.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

namespace {
// Beyond this many layouts the cache is emptied before the next draw.
constexpr std::size_t kNameBudget = 40000;

// The application's font, as a painter on the image would take it, at device pixels.
QFont deviceFont(double dpr)
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

const QStaticText& NamesLayer::textOf(const std::string& name)
{
    auto it = m_texts.find(name);
    if (it != m_texts.end()) return it->second;
    QStaticText text(QString::fromStdString(name));
    text.setTextFormat(Qt::PlainText); // a name is never markup
    text.setPerformanceHint(QStaticText::ModerateCaching);
    text.prepare(QTransform(), m_font);
    return m_texts.emplace(name, std::move(text)).first->second;
}

uint64_t NamesLayer::signature(const MapScene& scene)
{
    const QFont font = deviceFont(scene.dpr());
    if (font != m_font || m_texts.size() > kNameBudget) {
        clear();
        m_font = font;
    }
    SignatureHash h;
    h.add(m_generation);
    for (const auto& planet : scene.state.AllPlanets) {
        h.add((uint64_t(uint16_t(planet->Xcord)) << 16) | uint16_t(planet->Ycord));
        h.add(planet->PlanetName);
    }
    m_signature = h.value();
    return m_signature;
}

void NamesLayer::build(const MapScene& scene)
{
    m_entries.clear();
    m_entries.reserve(std::size_t(scene.state.AllPlanets.Count()));
    for (const auto& planet : scene.state.AllPlanets) {
        const QStaticText& text = textOf(planet->PlanetName);
        m_entries.push_back({planet->Xcord, planet->Ycord, gridPixel(planet->Xcord, scene.grid.sx),
                             gridPixel(planet->Ycord, scene.grid.sy), text.size().width(), &text});
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
        painter.setPen(mapstyle::white());
        if (canvas.count > 1 || bounds != image.rect()) {
            QRegion clip;
            for (int i = 0; i < canvas.count; ++i)
                clip += canvas.areas[i];
            painter.setClipRegion(clip);
        }
        const double lineHeight = QFontMetricsF(m_font).height();
        // Glyphs may reach a little beyond the text's box (overhangs, descenders).
        const double slack = lineHeight / 2 + 2;
        const int16_t xs = scene.view.XStart, ys = scene.view.YStart;
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
            painter.drawStaticText(QPointF(px, py), *e.text);
        }
    }
    image.setDevicePixelRatio(dpr);
}

} // namespace vornex::ui
