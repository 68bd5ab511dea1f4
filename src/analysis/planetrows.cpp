#include "analysis/planetrows.h"

#include "analysis/panel.h"
#include "analysis/view.h"

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
    return r;
}

bool higherFirst(const std::optional<int>& a, const std::optional<int>& b)
{
    if (a && b) return *a > *b;
    return a.has_value() && !b.has_value();
}

} // namespace vornex
