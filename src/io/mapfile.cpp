#include "io/loaderparts.h"

#include <algorithm>
#include <array>

namespace vornex::loader {

FileTaken loadMapFile(Map& planets, const std::string& path, Diagnostics& diags)
{
    auto file = readLines(path, "there are no planets to show", diags);
    if (!file) return {};
    const Enc enc = file->enc;
    // Room for the planets the file may hold: no two share a number, so never more than 65536,
    // and a map line takes some sixteen bytes. Whatever else the file holds takes no room here.
    planets.Reserve(std::min({lineCountBound(file->content), file->content.size() / 16, size_t{65536}}));
    std::vector<bool> ids(65536, false);
    auto shown = [&](std::string_view t) { return quoteText(toUtf8(t, enc)); };
    std::string decodedName;
    LineNotes notes(diags, path);
    forEachGameLine(*file, notes, [&](std::string_view line, int64_t lineNo) {
        std::array<std::string_view, 4> field;
        if (size_t k = splitFields(line, field.data(), field.size()); k < 4) {
            notes.add(lineNo, "expected at least 4 tab-separated fields, found " + std::to_string(k));
            return;
        }
        std::string_view name = field[3];
        if (enc == Enc::Cp1252 && hasHighByte(name)) {
            decodedName = decodeWindows1252(name);
            name = decodedName;
        }
        const std::string_view idText = field[0];
        const std::string_view xText = field[1];
        const std::string_view yText = field[2];
        auto id = num::parseInt16(idText);
        if (!id) {
            notes.add(lineNo, "planet number " + shown(idText) + " is not a 16-bit whole number");
            return;
        }
        // Coordinates are whole numbers as a rule; anything else takes the full reading.
        auto coordinate = [](std::string_view t) -> std::optional<double> {
            if (auto v = wholeNumber(t)) return static_cast<double>(*v);
            return num::parseStrict(t);
        };
        auto xv = coordinate(xText);
        auto x = xv ? num::tryInt16(*xv - 1000.0) : std::nullopt;
        if (!x) {
            notes.add(lineNo, "x " + shown(xText) + " is not a number in 1000 + 16 bits");
            return;
        }
        auto yv = coordinate(yText);
        auto y = yv ? num::tryInt16(3000.0 - *yv) : std::nullopt;
        if (!y) {
            notes.add(lineNo, "y " + shown(yText) + " is not a number in 3000 - 16 bits");
            return;
        }
        // A repeated name is told before a repeated number.
        const auto idSlot = static_cast<size_t>(static_cast<int32_t>(*id) + 32768);
        PlanetPtr p;
        if (!ids[idSlot]) p = planets.TryAdd(name);
        if (!p) {
            if (planets.PositionOf(name) != 0)
                notes.add(lineNo, "planet name " + quoteText(name) + " is listed twice; the first is kept");
            else
                notes.add(lineNo, "planet number " + num::intText(*id) + " is listed twice; the first is kept");
            return;
        }
        ids[idSlot] = true;
        p->ID = *id;
        p->Xcord = *x;
        p->Ycord = *y;
        p->PlanetName = name;
        p->ReportAge = -1;
        p->Owner = "Uninhabited";
    });
    return FileTaken{planets.Count(), endsUnfinished(file->text)};
}

} // namespace vornex::loader
