#include "io/planetloader.h"
#include "io/settingstable.h"

#include "io/fileexists.h"
#include "io/loaderparts.h"

namespace vornex {

using namespace loader;

std::optional<std::string> reportSuffix(std::string_view stored)
{
    const auto v = num::parseStrict(stored);
    if (!v || *v == -1) return std::nullopt;
    return std::string(trimmed(stored));
}

LoadOutcome LoadPlanets(Map& planets, const std::string& folder, const std::string& gameName, SettingsStore& settings,
                        Prompter& prompter, Diagnostics& diags)
{
    const size_t diagsOnEntry = diags.size();
    Map table;
    loadMapFile(table, folder + gameName + ".map", diags);

    // The report read is the one of the stored player number, as stored; -1 (or a text that is no
    // number) means the user has to tell us. The answer is stored as its number and used as typed.
    std::optional<std::string> suffix = reportSuffix(readSetting(settings, setting::YourNumber));
    while (!suffix) {
        auto answer = prompter.ask("Please enter your player number", "Player Number");
        if (!answer) {
            diags.resize(diagsOnEntry);
            return LoadOutcome::Cancelled;
        }
        if (!num::parseStrict(*answer)) continue; // not a number: asked again
        writeSetting(settings, setting::YourNumber, num::doubleText(LeadingValue(*answer)));
        suffix = std::string(trimmed(*answer));
    }
    // Every planet of the map starts unreported.
    std::vector<int16_t> ages(static_cast<size_t>(table.Count()) + 1, -1);
    loadReport(table, folder + gameName + ".p" + *suffix, ages, diags);

    ExportMerge merge(table, std::move(ages));
    std::vector<FileLines> files; // their texts stay while the merge refers to them
    files.reserve(16);
    for (int n = 1; n <= 16; ++n) {
        const std::string path = folder + "export.p" + num::intText(n);
        // Only an export file that is not there at all goes without a note: a folder or a pipe
        // under its name is named with the reason.
        if (!pathIsTaken(path)) continue;
        auto file = readLines(path, "its records are not merged", diags);
        if (!file) continue;
        files.push_back(std::move(*file));
        merge.scan(files.back().text, files.back().enc, path, diags);
    }
    merge.apply();
    planets = std::move(table);
    return LoadOutcome::Loaded;
}

} // namespace vornex
