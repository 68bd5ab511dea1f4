#include "history/changes.h"

#include <algorithm>
#include <cstdlib>

#include "base/numeric.h"

namespace vornex::history {

const char* kindWord(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::Taken:
        return "taken";
    case ChangeKind::Lost:
        return "lost";
    case ChangeKind::Colonised:
        return "colonised";
    case ChangeKind::FirstReport:
        return "first report";
    case ChangeKind::Population:
        return "population";
    case ChangeKind::Defences:
        return "defences";
    }
    return "";
}

namespace {

std::string signedText(int64_t v)
{
    return (v > 0 ? "+" : "") + num::intText(v);
}

void ownerChange(const PlanetState& a, const PlanetState& b, Change c, std::vector<Change>& out)
{
    const bool hadOwner = !noOwner(a.owner), hasOwner = !noOwner(b.owner);
    if (a.owner == b.owner || (!hadOwner && !hasOwner)) return;
    c.from = a.owner;
    c.to = b.owner;
    if (hadOwner && hasOwner) {
        c.kind = ChangeKind::Taken;
        c.size = std::max(a.population, b.population);
    } else if (hadOwner) {
        c.kind = ChangeKind::Lost;
        c.size = a.population;
    } else {
        c.kind = ChangeKind::Colonised;
        c.size = b.population;
    }
    out.push_back(std::move(c));
}

void addJump(const Change& base, ChangeKind kind, int64_t from, int64_t to, std::vector<Change>& out)
{
    Change c = base;
    c.kind = kind;
    c.from = num::intText(from);
    c.to = num::intText(to);
    c.size = std::llabs(to - from);
    c.delta = to - from;
    out.push_back(std::move(c));
}

void jumps(const PlanetState& a, const PlanetState& b, const Change& base, std::vector<Change>& out)
{
    const int64_t pop = int64_t(b.population) - a.population;
    const int64_t larger = std::max(a.population, b.population);
    if (std::llabs(pop) >= kPopulationJump && std::llabs(pop) * 4 >= larger)
        addJump(base, ChangeKind::Population, a.population, b.population, out);
    if (std::abs(b.defences - a.defences) >= kDefenceJump)
        addJump(base, ChangeKind::Defences, a.defences, b.defences, out);
}

std::string describe(const Change& c)
{
    switch (c.kind) {
    case ChangeKind::Taken:
        return c.to + " took " + c.name + " from " + c.from;
    case ChangeKind::Lost:
        return c.from + " lost " + c.name;
    case ChangeKind::Colonised:
        return c.to + " colonised " + c.name;
    case ChangeKind::FirstReport:
        return c.name + " reported for the first time" + (noOwner(c.to) ? "" : " (" + c.to + ")");
    case ChangeKind::Population:
    case ChangeKind::Defences:
        break;
    }
    const bool pop = c.kind == ChangeKind::Population;
    const char* unit = pop ? "" : "%";
    return c.name + (pop ? ": population " : ": defences ") + c.from + unit + " to " + c.to + unit + " (" +
           signedText(c.delta) + ")";
}

} // namespace

std::vector<Change> listChanges(const std::unordered_map<int16_t, PlanetState>& before,
                                const std::unordered_map<int16_t, PlanetState>& after, const NameOf& nameOf)
{
    std::vector<Change> out;
    for (const auto& [id, b] : after) {
        if (!b.reported) continue;
        Change base;
        base.planet = id;
        auto it = before.find(id);
        if (it == before.end() || !it->second.reported) {
            Change c = base;
            c.kind = ChangeKind::FirstReport;
            c.to = b.owner;
            c.size = b.population;
            out.push_back(std::move(c));
            continue;
        }
        const PlanetState& a = it->second;
        ownerChange(a, b, base, out);
        // A planet that changed hands lists its population with the new owner, not as a jump.
        if (a.owner == b.owner) jumps(a, b, base, out);
    }
    std::sort(out.begin(), out.end(), [](const Change& x, const Change& y) {
        if (x.kind != y.kind) return x.kind < y.kind;
        if (x.size != y.size) return x.size > y.size;
        return x.planet < y.planet;
    });
    // Names and texts only for what made the list: most planets do not.
    for (auto& c : out) {
        c.name = nameOf(c.planet);
        c.text = describe(c);
    }
    return out;
}

std::map<std::string, RaceTally> raceTallies(const std::vector<Change>& changes)
{
    std::map<std::string, RaceTally> t;
    for (const auto& c : changes) {
        if (c.kind == ChangeKind::Taken || c.kind == ChangeKind::Lost) ++t[c.from].lost;
        if (c.kind == ChangeKind::Taken || c.kind == ChangeKind::Colonised) ++t[c.to].gained;
    }
    return t;
}

std::string summary(const std::vector<Change>& changes, size_t named)
{
    std::string s;
    const size_t n = std::min(named, changes.size());
    for (size_t i = 0; i < n; ++i)
        s += (i ? "; " : "") + changes[i].text;
    if (changes.size() > n) {
        const size_t rest = changes.size() - n;
        s += "; " + num::intText(static_cast<long long>(rest)) + (rest == 1 ? " more change" : " more changes");
    }
    return s;
}

} // namespace vornex::history
