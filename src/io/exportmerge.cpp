#include "io/loaderparts.h"
#include "io/planetloader.h"

#include <algorithm>

namespace vornex {

namespace loader {

uint8_t exportNumberOf(std::string_view path)
{
    const size_t dot = path.rfind("export.p");
    if (dot == std::string_view::npos) return 0;
    auto n = num::parseInt16(path.substr(dot + 8));
    return n && *n >= 1 && *n <= 16 && path.size() - dot - 8 <= 2 ? static_cast<uint8_t>(*n) : 0;
}

void ExportMerge::scan(std::string_view text, Enc fileEnc, const std::string& fileName, Diagnostics& diags)
{
    const uint8_t exportNumber = exportNumberOf(fileName);
    Enc enc = fileEnc;
    auto shown = [&](std::string_view t) { return quoteText(toUtf8(t, enc)); };
    LineNotes notes(diags, fileName);
    LineReader lines(contentText(text));
    std::string_view line;
    for (int64_t lineNo = 1; lines.next(line); ++lineNo) {
        enc = lineEncoding(line, fileEnc);
        // A line of a million commas is a million items: only those a record needs are kept.
        const size_t count = readListLine(line, m_items, 10);
        const auto& items = m_items;
        if (count != 10) {
            notes.add(lineNo, count == 0 ? "empty line" : "expected 10 items, found " + std::to_string(count));
            continue;
        }
        auto age = num::parseInt16(items[2].text);
        auto population = num::parseInt32(items[3].text);
        auto value = num::parseInt16(items[4].text);
        auto def = num::parseInt16(items[5].text);
        if (!age || !population || !value || !def) {
            std::string bad;
            if (!age)
                bad = "report age " + shown(items[2].text) + " is not a 16-bit whole number";
            else if (!population)
                bad = "population " + shown(items[3].text) + " is not a 32-bit whole number";
            else if (!value)
                bad = "value " + shown(items[4].text) + " is not a 16-bit whole number";
            else
                bad = "defences " + shown(items[5].text) + " is not a 16-bit whole number";
            notes.add(lineNo, std::move(bad));
            continue;
        }
        if (*age < 0) {
            // -1 means never reported; merged as a report age it would count as newer than every
            // real report and wipe it.
            notes.add(lineNo,
                      "report age " + num::intText(*age) + " is negative (no real report); the record is ignored");
            continue;
        }
        const int64_t position = positionOfName(m_planets, items[0].text, enc);
        if (position == 0 || static_cast<size_t>(position) >= m_ages.size()) {
            notes.add(lineNo, "planet " + shown(items[0].text) + " is not in the map file");
            continue;
        }
        // A smaller age is a more recent report; on equal ages what was read first stays.
        int16_t& known = m_ages[static_cast<size_t>(position)];
        if (!(known > *age || known == -1)) continue;
        known = *age;
        Record r;
        r.owner = items[1].text;
        r.starbase = items[6].text;
        for (size_t k = 0; k < 3; ++k) {
            r.env[k] = items[7 + k].text;
            r.envQuoted[k] = items[7 + k].quoted;
        }
        r.enc = enc;
        r.age = *age;
        r.value = *value;
        r.def = *def;
        r.population = *population;
        r.exportNumber = exportNumber;
        // A planet's earlier winner is never written: its place is taken, so that a file of many
        // reports of one planet keeps one record.
        uint32_t& winner = m_winner[static_cast<size_t>(position)];
        if (winner != 0) {
            m_records[winner - 1] = r;
            continue;
        }
        m_records.push_back(r);
        winner = static_cast<uint32_t>(m_records.size());
    }
}

void ExportMerge::apply()
{
    applyOver({});
}

void ExportMerge::applyOver(const std::vector<int16_t>& reportAges)
{
    for (size_t pos = 1; pos < m_winner.size(); ++pos) {
        if (m_winner[pos] == 0) continue;
        const Record& r = m_records[m_winner[pos] - 1];
        // On equal ages the report, read first, stays.
        if (pos < reportAges.size() && reportAges[pos] != -1 && !(r.age < reportAges[pos])) continue;
        Planet* planet = m_planets.Raw(static_cast<int64_t>(pos));
        if (!planet) continue;
        assignText(planet->Owner, r.owner, r.enc);
        planet->ReportAge = r.age;
        planet->Population = r.population;
        planet->Value = r.value;
        planet->Def = r.def;
        planet->Source = Planet::From::Export;
        planet->SourceExport = r.exportNumber;
        assignText(planet->StarbaseType, r.starbase, r.enc);
        envText(planet->Grav, r, 0);
        envText(planet->Temp, r, 1);
        envText(planet->Rad, r, 2);
    }
    m_records.clear();
    std::fill(m_winner.begin(), m_winner.end(), 0);
}

} // namespace loader

void MergeExportFile(Map& planets, std::string_view text, const std::string& fileName, Diagnostics& diags)
{
    std::vector<int16_t> ages(static_cast<size_t>(planets.Count()) + 1, -1);
    for (size_t pos = 1; pos < ages.size(); ++pos)
        ages[pos] = planets.Raw(static_cast<int64_t>(pos))->ReportAge;
    loader::ExportMerge merge(planets, std::move(ages));
    merge.scan(text, loader::Enc::Utf8, fileName, diags);
    merge.apply();
}

} // namespace vornex
