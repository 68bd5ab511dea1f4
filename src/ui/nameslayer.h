#pragma once
// The planet names, each starting at its planet's centre, in the application's font. A kept layer:
// names are laid out once per text and font and drawn into a picture that drags shift.

#include <QFont>
#include <QStaticText>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/maplayer.h"

namespace vornex::ui {

class NamesLayer : public MapLayer {
public:
    NamesLayer();

    // The planets' places and names, and the font.
    uint64_t signature(const MapScene& scene) override;
    void paint(LayerCanvas& canvas, const MapScene& scene) override;

    std::size_t nameCount() const { return m_texts.size(); }
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
    const QStaticText& textOf(const std::string& name);
    void build(const MapScene& scene);

    std::unordered_map<std::string, QStaticText, StringHash, std::equal_to<>> m_texts;
    QFont m_font;
    std::vector<Entry> m_entries;
    uint64_t m_signature = 0;
    uint64_t m_generation = 0;
    bool m_built = false;
    uint64_t m_builtSignature = 0;
    double m_builtSx = 0, m_builtSy = 0;
};

} // namespace vornex::ui
