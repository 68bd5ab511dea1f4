#include "analysis/races.h"

#include <algorithm>
#include <unordered_map>

namespace vornex {

std::vector<RaceSummary> raceSummaries(const Map& planets, const Players& players, int16_t yourNumber)
{
    std::vector<RaceSummary> races;
    std::unordered_map<std::string, size_t> byName;
    for (const auto& p : players) {
        if (!p || p->RaceName.empty() || byName.count(p->RaceName)) continue;
        RaceSummary r;
        r.race = p->RaceName;
        r.player = p->PlayerName;
        r.number = p->Number;
        r.colour = p->Colour;
        r.yours = p->Number == yourNumber;
        byName.emplace(r.race, races.size());
        races.push_back(std::move(r));
    }
    for (const auto& planet : planets) {
        auto it = byName.find(planet->Owner);
        if (it == byName.end()) continue;
        RaceSummary& r = races[it->second];
        ++r.planets;
        r.population += planet->Population;
        r.value += planet->Value;
        r.reportedThisTurn += planet->ReportAge == 0;
    }
    std::stable_sort(races.begin(), races.end(), [](const RaceSummary& a, const RaceSummary& b) {
        if (a.yours != b.yours) return a.yours;
        return a.number < b.number;
    });
    return races;
}

std::vector<OwnRanges> ownRanges(const Map& planets, const std::string& ownRace)
{
    std::vector<OwnRanges> worlds;
    if (ownRace.empty()) return worlds;
    for (const auto& p : planets)
        if (p->Owner == ownRace) worlds.push_back({p->Xcord, p->Ycord, p->Scanner, p->Penetration});
    return worlds;
}

} // namespace vornex
