#include "historycommands.h"

#include "analysis/tabletext.h"
#include "base/numeric.h"
#include "history/gamehistory.h"

namespace vornex::report {

namespace {

using namespace history;
using num::intText;

std::string recordLine(const RecordResult& r)
{
    const std::string turn = "turn " + intText(r.turn);
    switch (r.outcome) {
    case RecordResult::Outcome::Recorded:
    case RecordResult::Outcome::Updated: {
        std::string line = turn + (r.outcome == RecordResult::Outcome::Updated ? " updated: " : " recorded: ") +
                           intText(r.changedPlanets) + (r.changedPlanets == 1 ? " planet" : " planets") + " changed (" +
                           r.count.how + ")";
        const std::string biggest = summary(r.changes, 3);
        return line + (biggest.empty() ? "" : "; " + biggest) + "\n";
    }
    case RecordResult::Outcome::Unchanged:
        return turn + " is recorded already: nothing changed\n";
    case RecordResult::Outcome::Older:
        break;
    }
    return "nothing recorded: these reports are " + r.count.how + " (record past turns oldest first)\n";
}

std::vector<std::vector<std::string>> changeRows(const std::vector<Change>& changes)
{
    std::vector<std::vector<std::string>> rows;
    for (const auto& c : changes)
        rows.push_back({intText(c.planet), c.name, kindWord(c.kind), c.from, c.to, c.text});
    return rows;
}

std::vector<std::vector<std::string>> historyRows(const std::vector<HistoryEntry>& entries)
{
    std::vector<std::vector<std::string>> rows;
    for (const auto& e : entries) {
        const PlanetState& s = e.state;
        const bool r = s.reported;
        auto n = [r](long long v) { return r ? intText(v) : std::string(); };
        rows.push_back({intText(e.turn), intText(ageAt(s, e.turn)), r ? s.owner : "", n(s.population), n(s.value),
                        n(s.defences), s.starbase, n(s.mines), n(s.factories), n(s.surface[0]), n(s.surface[1]),
                        n(s.surface[2]), s.grav, s.temp, s.rad, s.source, e.changed ? "yes" : "no"});
    }
    return rows;
}

} // namespace

RunResult runHistory(const Options& options, const Map& planets, RunResult result)
{
    auto fail = [&](const std::string& why) {
        result.status = 1;
        result.err += "vornexinfo-report: " + why + "\n";
        return result;
    };
    PlanetPtr planet;
    if (options.history) {
        planet = findReference(planets, *options.history);
        if (!planet) {
            result.status = 2;
            result.err += "vornexinfo-report: no planet named " + *options.history + "\n";
            return result;
        }
    }
    const std::string folder = options.historyFolder.empty() ? defaultHistoryFolder() : options.historyFolder;
    GameHistory h(folder, planets, options.player, options.game);
    if (!h.notice().empty()) result.err += h.notice() + "\n";
    if (!h.store()) return fail(h.error());

    if (options.record) {
        const auto r = h.record(planets);
        if (!h.notice().empty() && result.err.find(h.notice()) == std::string::npos) result.err += h.notice() + "\n";
        if (!r) return fail("turn not recorded: " + h.error());
        // Alone, the line is the command's answer; before a table it is a note beside it.
        (options.changes || planet ? result.err : result.out) += recordLine(*r);
        if (r->outcome == RecordResult::Outcome::Older) result.status = 1;
    }
    auto nameOf = [&planets](int16_t id) {
        auto p = planets.ByID(id);
        return p ? p->PlanetName : "planet " + intText(id);
    };
    if (options.changes) {
        std::vector<Change> changes;
        int32_t last = 0, from = 0;
        const bool ok = h.guarded([&](HistoryStore& s) {
            const auto turns = s.turns();
            if (turns.empty()) return;
            last = turns.back().turn;
            from = options.since ? *options.since : turns.size() > 1 ? turns[turns.size() - 2].turn : 0;
            changes = s.changes(from, last, nameOf);
        });
        if (!ok) return fail(h.error());
        if (last == 0) result.err += "no turn of this game is recorded yet (see --record)\n";
        result.out += writeTable({"ID", "Name", "Change", "From", "To", "Text"},
                                 {true, false, false, false, false, false}, changeRows(changes), options.format);
    }
    if (planet) {
        std::vector<HistoryEntry> entries;
        if (!h.guarded([&](HistoryStore& s) { entries = s.planetHistory(planet->ID); })) return fail(h.error());
        result.out +=
            writeTable({"Turn", "ReportAge", "Owner", "Population", "Value", "Defences", "Starbase", "Mines",
                        "Factories", "Ironium", "Boranium", "Germanium", "Grav", "Temp", "Rad", "Source", "Changed"},
                       {true, true, false, true, true, true, false, true, true, true, true, true, false, false, false,
                        false, false},
                       historyRows(entries), options.format);
    }
    return result;
}

} // namespace vornex::report
