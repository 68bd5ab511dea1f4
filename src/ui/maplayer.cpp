#include "ui/maplayer.h"

#include <cstring>
#include <functional>

namespace vornex::ui {

std::optional<QPointF> MapScene::devicePoint(int16_t x, int16_t y) const
{
    const int dx = int(x) - int(view.XStart);
    const int dy = int(y) - int(view.YStart);
    if (dx < -32768 || dx > 32767 || dy < -32768 || dy > 32767) return std::nullopt;
    return QPointF(x * grid.sx - double(grid.originX), y * grid.sy - double(grid.originY));
}

QRect LayerCanvas::bounds() const
{
    QRect all;
    for (int i = 0; i < count; ++i)
        all |= areas[i];
    return all;
}

bool LayerCanvas::touches(const QRectF& box) const
{
    for (int i = 0; i < count; ++i)
        if (box.intersects(QRectF(areas[i]))) return true;
    return false;
}

SignatureHash& SignatureHash::add(std::string_view text)
{
    return add(uint64_t(std::hash<std::string_view>()(text)));
}

SignatureHash& SignatureHash::addReal(double v)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return add(bits);
}

MapLayer::MapLayer(QString id, QString title, Kind kind, QIcon icon, QString toolTip)
    : m_id(std::move(id)), m_title(std::move(title)), m_kind(kind), m_icon(std::move(icon)),
      m_toolTip(std::move(toolTip))
{
}

MapLayer::~MapLayer() = default;

} // namespace vornex::ui
