#include "io/planetloader.h"

#include "io/fileexists.h"
#include "io/loaderparts.h"

namespace vornex {

using namespace loader;

bool loader::endsUnfinished(std::string_view text)
{
    return !text.empty() && text.back() != '\n';
}

PlanetsRead LoadPlanets(Map& planets, const Game& game, Diagnostics& diags)
{
    PlanetsRead read;
    Map table;
    const FileTaken map = loadMapFile(table, game.mapFile(), diags);
    read.mapPlanets = static_cast<int32_t>(map.records);
    if (map.unfinished) read.unfinished.push_back(game.mapFile());

    // Every planet of the map starts unreported.
    std::vector<int16_t> ages(static_cast<size_t>(table.Count()) + 1, -1);
    const FileTaken report = loadReport(table, game.reportFile(), ages, diags);
    read.reportLines = report.records;
    if (report.unfinished) read.unfinished.push_back(game.reportFile());

    ExportMerge merge(table, std::move(ages));
    std::vector<FileLines> files; // their texts stay while the merge refers to them
    files.reserve(16);
    for (int n = 1; n <= 16; ++n) {
        const std::string path = game.exportFile(n);
        if (!FileExists(path)) continue;
        auto file = readLines(path, "its records are not merged", diags, false);
        if (!file) continue;
        if (endsUnfinished(file->text)) read.unfinished.push_back(path);
        files.push_back(std::move(*file));
        merge.scan(files.back().text, files.back().enc, path, diags);
    }
    merge.apply();
    planets = std::move(table);
    return read;
}

std::optional<Diagnostic> turnRefusal(const PlanetsRead& read, const Game& game, const Diagnostics& diags)
{
    // The file's own note says best why it gave nothing (missing, UTF-16, ...).
    auto refusal = [&](const std::string& file, const std::string& otherwise) {
        for (const Diagnostic& d : diags)
            if (d.line == 0 && d.file == file) return Diagnostic{file, 0, std::string(d.cause())};
        return Diagnostic{file, 0, otherwise};
    };
    if (read.mapPlanets == 0) return refusal(game.mapFile(), "the map file gives no planet");
    if (read.reportLines == 0) {
        bool anyLine = false;
        for (const Diagnostic& d : diags)
            anyLine = anyLine || (d.file == game.reportFile() && d.line > 0);
        return refusal(game.reportFile(),
                       anyLine ? "no line of the planets report could be read" : "the planets report lists no planet");
    }
    return std::nullopt;
}

} // namespace vornex
