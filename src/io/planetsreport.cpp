#include "io/loaderparts.h"

namespace vornex::loader {

FileTaken loadReport(Map& planets, const std::string& path, std::vector<int16_t>& ages, Diagnostics& diags)
{
    auto file = readLines(path, "the map shows the map file and the export files only", diags);
    if (!file) return {};
    FileTaken taken{0, endsUnfinished(file->text)};
    const Enc fileEnc = file->enc;
    int64_t expected = 1; // reports list the planets in map order as a rule
    ReportRow row;
    const char* const textEnd = file->text.data() + file->text.size();
    LineNotes notes(diags, path);
    forEachGameLine(*file, notes, [&](std::string_view line, int64_t lineNo) {
        // One field more than a full line has tells "36 or more" from a count to report.
        bool high = false;
        const size_t k = splitFields(line, row.field.data(), row.field.size(), &high);
        if (k != kShortColumns && k < 36) {
            notes.add(lineNo, "expected 27 or at least 36 tab-separated fields, found " + std::to_string(k));
            return;
        }
        row.columns = k >= 36 ? 36 : kShortColumns;
        row.wide = textEnd - (line.data() + line.size()) >= 8;
        const Enc enc = fileEnc == Enc::Cp1252 && !high ? Enc::Ascii : fileEnc;
        const std::string_view name = row.field[0];
        const int64_t position = positionOfName(planets, name, enc, expected);
        if (position == 0) {
            notes.add(lineNo, "planet " + quoteText(toUtf8(name, enc)) + " is not in the map file");
            return;
        }
        if (auto why = convertReportRow(row, enc)) {
            notes.add(lineNo, std::move(*why));
            return;
        }
        Planet& p = *planets.Raw(position);
        applyReportRow(row, p, enc);
        // Each line is stored in turn: a planet reported twice keeps what its later line says.
        ages[static_cast<size_t>(position)] = p.ReportAge;
        expected = position + 1;
        ++taken.records;
    });
    return taken;
}

} // namespace vornex::loader
