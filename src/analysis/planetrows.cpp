#include "analysis/planetrows.h"

#include <cmath>

#include "analysis/nearestown.h"
#include "analysis/panel.h"
#include "analysis/view.h"
#include "base/numeric.h"
#include "model/keyfold.h"

namespace vornex {

PlanetRow planetRow(const Planet& p, const Player* race, const Gravities& gravities, const Planet* from)
{
    return planetRow(p, prepareHabRace(race, gravities), gravities, from);
}

PlanetRow planetRow(const Planet& p, const HabRace& race, const Gravities& gravities, const Planet* from)
{
    PlanetRow r;
    r.id = p.ID;
    r.name = p.PlanetName;
    r.x = p.Xcord;
    r.y = p.Ycord;
    r.owner = p.Owner;
    r.reportAge = p.ReportAge;
    r.population = p.Population;
    r.value = p.Value;
    // Exactly the two ratings the planet panel would show, without building its texts.
    const PanelRatings ratings = computeRatings(p, race, gravities);
    if (ratings.hab) r.hab = ratings.hab->rating;
    if (ratings.habTerra) r.habTerra = ratings.habTerra->rating;
    if (from) {
        if (auto d = planetDistance(*from, p)) r.distance = *d;
    }
    r.nameKey = foldKey(r.name);
    r.ownerKey = foldKey(r.owner);
    r.source = p.SourceText();
    if (!p.Note.empty()) {
        r.note = p.Note;
        r.noteKey = foldKey(r.note);
    }
    return r;
}

std::vector<PlanetRow> planetRows(const Map& planets, const Player* race, const Gravities& gravities,
                                  const Planet* from)
{
    std::vector<PlanetRow> rows;
    rows.reserve(size_t(planets.Count()));
    const HabRace prepared = prepareHabRace(race, gravities);
    for (const auto& p : planets)
        rows.push_back(planetRow(*p, prepared, gravities, from));
    setNearestOwn(rows, race ? race->RaceName : std::string());
    return rows;
}

void setNearestOwn(std::vector<PlanetRow>& rows, const std::string& ownRace)
{
    std::vector<MapPoint> own, all(rows.size());
    std::vector<size_t> worlds;
    for (size_t i = 0; i < rows.size(); ++i) {
        all[i] = {rows[i].x, rows[i].y};
        if (!ownRace.empty() && rows[i].owner == ownRace) {
            worlds.push_back(i);
            own.push_back(all[i]);
        }
    }
    const std::vector<int> nearest = nearestPoints(own, all);
    for (size_t i = 0; i < rows.size(); ++i) {
        PlanetRow& r = rows[i];
        if (nearest[i] < 0) {
            r.nearOwn.reset();
            r.nearOwnName.clear();
            continue;
        }
        const PlanetRow& world = rows[worlds[size_t(nearest[i])]];
        r.nearOwnName = world.name;
        const int64_t dx = int64_t(world.x) - r.x, dy = int64_t(world.y) - r.y;
        r.nearOwn = roundedDistance(dx * dx + dy * dy);
    }
}

void setDistances(std::vector<PlanetRow>& rows, const Planet* from)
{
    for (auto& r : rows) {
        r.distance.reset();
        if (!from) continue;
        // The figures the row came from are the planet's: only the reference changed.
        Planet p;
        p.Xcord = r.x;
        p.Ycord = r.y;
        if (auto d = planetDistance(*from, p)) r.distance = *d;
    }
}

bool higherFirst(const std::optional<int>& a, const std::optional<int>& b)
{
    if (a && b) return *a > *b;
    return a.has_value() && !b.has_value();
}

} // namespace vornex
