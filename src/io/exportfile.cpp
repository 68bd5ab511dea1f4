#include "io/exportfile.h"

#include "base/numeric.h"
#include "io/codepage.h"
#include "io/listformat.h"

namespace vornex {

std::string exportText(const Map& planets, const ExportSelection& selection, int* count)
{
    std::string text;
    int records = 0;
    // Race pass: one record per checked box whose caption is the owner, so a race named on two
    // checked boxes is written twice.
    for (const auto& p : planets) {
        for (size_t i = 0; i < 16; ++i) {
            if (selection.checked[i] && p->Owner == selection.captions[i]) {
                text += p->Export();
                ++records;
            }
        }
    }
    // Uninhabited pass: only planets somebody has actually reported.
    if (selection.uninhabited) {
        for (const auto& p : planets) {
            if (p->Owner == "Uninhabited" && p->ReportAge != -1) {
                text += p->Export();
                ++records;
            }
        }
    }
    if (count) *count = records;
    return text;
}

WriteResult WriteExportFile(const std::string& path, const Map& planets, const ExportSelection& selection, int* count)
{
    std::string why;
    auto bytes = encodeForFile(exportText(planets, selection, count), &why);
    // Other players' copies read the file as Windows-1252: a text it cannot carry is not written.
    if (!bytes) return {false, "cannot write " + path + ": " + why + "; the file is left as it is"};
    return writeFileAtomically(path, *bytes);
}

} // namespace vornex

namespace vornex {

int unusableExportRecords(const Map& planets, const ExportSelection& selection, std::vector<std::string>* names)
{
    int records = 0;
    for (const auto& p : planets) {
        if (listTextIsExact(p->PlanetName)) continue;
        // As many records as exportText writes for the planet.
        int written = 0;
        for (size_t i = 0; i < 16; ++i)
            if (selection.checked[i] && p->Owner == selection.captions[i]) ++written;
        if (selection.uninhabited && p->Owner == "Uninhabited" && p->ReportAge != -1) ++written;
        if (written == 0) continue;
        records += written;
        if (names) names->push_back(p->PlanetName);
    }
    return records;
}

} // namespace vornex
