#include "io/planetloader.h"

#include "io/fileexists.h"
#include "io/loaderparts.h"

#include <future>

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

    // The export files are looked at on a thread of their own while the report is read: each
    // planet's most recent export record is found apart from the report and wins where it is
    // more recent than the report's line.
    struct Exports {
        std::vector<FileLines> files; // their texts stay while the merge refers to them
        std::vector<std::string> unfinished;
        Diagnostics diags;
    };
    Exports exports;
    ExportMerge merge(table, std::vector<int16_t>(static_cast<size_t>(table.Count()) + 1, -1));
    auto scanning = std::async(std::launch::async, [&] {
        exports.files.reserve(16);
        for (int n = 1; n <= 16; ++n) {
            const std::string path = game.exportFile(n);
            // Only an export file that is not there at all goes without a note: a folder or a pipe
            // under its name is named with the reason.
            if (!pathIsTaken(path)) continue;
            auto file = readLines(path, "its records are not merged", exports.diags);
            if (!file) continue;
            if (endsUnfinished(file->text)) exports.unfinished.push_back(path);
            exports.files.push_back(std::move(*file));
            merge.scan(exports.files.back().text, exports.files.back().enc, path, exports.diags);
        }
    });

    // Every planet of the map starts unreported. Should the report throw, the future waits for the
    // scan before what it uses goes.
    std::vector<int16_t> ages(static_cast<size_t>(table.Count()) + 1, -1);
    const FileTaken report = loadReport(table, game.reportFile(), ages, diags);
    scanning.get();
    read.reportLines = report.records;
    if (report.unfinished) read.unfinished.push_back(game.reportFile());
    diags.insert(diags.end(), exports.diags.begin(), exports.diags.end());
    read.unfinished.insert(read.unfinished.end(), exports.unfinished.begin(), exports.unfinished.end());
    merge.applyOver(ages);
    planets = std::move(table);
    return read;
}

std::optional<Diagnostic> turnRefusal(const PlanetsRead& read, const Game& game, const Diagnostics& diags)
{
    // A file that could not be read at all is told first, with its own note's reason (missing, a
    // folder, UTF-16, ...); then a file read that gave nothing.
    auto unreadable = [&](const std::string& file) -> std::optional<Diagnostic> {
        for (const Diagnostic& d : diags)
            if (d.line == 0 && d.file == file) return Diagnostic{file, 0, std::string(d.cause())};
        return std::nullopt;
    };
    if (read.mapPlanets == 0 || read.reportLines == 0) {
        if (auto d = unreadable(game.mapFile())) return d;
        if (auto d = unreadable(game.reportFile())) return d;
    }
    if (read.mapPlanets == 0) return Diagnostic{game.mapFile(), 0, "the map file gives no planet"};
    if (read.reportLines == 0) {
        bool anyLine = false;
        for (const Diagnostic& d : diags)
            anyLine = anyLine || (d.file == game.reportFile() && d.line > 0);
        return Diagnostic{game.reportFile(), 0,
                          anyLine ? "no line of the planets report could be read"
                                  : "the planets report lists no planet"};
    }
    return std::nullopt;
}

} // namespace vornex
