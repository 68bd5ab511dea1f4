#pragma once
// The planet names, each starting at its planet's centre, white with a dark outline so that they
// read on any disc, in the application's font. Names that would overlap are left out, in this order
// of preference: your planets, reported planets, the rest (collection order within each); a name
// left out appears as the zoom spreads the planets. The selected planet's name is the selection
// layer's. A kept layer: names are laid out once per text and font, placed once per scale, and
// drawn into a picture that drags shift.

#include <QFont>
#include <QStaticText>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/maplayer.h"

class QPainter;

namespace vornex::ui {

// White texts with a dark outline `outline` device pixels wide, at their top-left corners.
void drawOutlinedTexts(QPainter& painter, const std::vector<std::pair<QPointF, const QStaticText*>>& texts,
                       double outline);

class NamesLayer : public MapLayer {
public:
    NamesLayer();

    // The planets' places, names, owners and report ages, your race's name, and the font.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

    std::size_t nameCount() const { return m_texts.size(); }
    // How many names the last placement kept (the others would have overlapped).
    std::size_t placedCount() const { return m_entries.size(); }
    // How many names hold a layout.
    std::size_t layoutCount() const;
    const QFont& deviceFont() const { return m_font; }
    void clear();

private:
    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
    };
    struct Entry {
        int16_t x, y;
        long long gx, gy; // the text's top-left corner in grid pixels
        double width;     // device pixels
        const QStaticText* text;
    };
    // A name's width, measured once per font, and its layout while a placement shows it: the
    // layouts of the names left out are not kept (a large galaxy leaves out most).
    struct Laid {
        double width = 0;
        std::optional<QStaticText> text;
        uint64_t placedIn = 0; // the placement that last showed it
    };
    Laid& laidOf(const std::string& name);
    void build(const MapScene& scene);

    std::unordered_map<std::string, Laid, StringHash, std::equal_to<>> m_texts;
    uint64_t m_placement = 0;
    QFont m_font;
    std::vector<Entry> m_entries;
    uint64_t m_signature = 0;
    uint64_t m_generation = 0;
    bool m_built = false;
    uint64_t m_builtSignature = 0;
    double m_builtSx = 0, m_builtSy = 0;
};

} // namespace vornex::ui
