#include "history/planetstate.h"

#include <tuple>

namespace vornex::history {

namespace {

auto figures(const PlanetState& s)
{
    return std::tie(s.planet, s.reported, s.owner, s.starbase, s.population, s.value, s.defences, s.mines, s.factories,
                    s.surface, s.miningRate, s.concentration, s.grav, s.temp, s.rad, s.source);
}

} // namespace

bool sameFigures(const PlanetState& a, const PlanetState& b)
{
    return figures(a) == figures(b);
}

std::vector<Observation> observe(const Map& planets)
{
    std::vector<Observation> out;
    out.reserve(static_cast<size_t>(planets.Count()));
    for (const auto& p : planets) {
        Observation o;
        PlanetState& s = o.state;
        s.planet = p->ID;
        o.name = p->PlanetName;
        o.age = p->ReportAge < 0 ? int16_t(-1) : p->ReportAge;
        s.reported = o.age >= 0;
        s.source = p->SourceText();
        if (s.reported) {
            s.owner = p->Owner;
            s.starbase = p->StarbaseType;
            s.population = p->Population;
            s.value = p->Value;
            s.defences = p->Def;
            s.mines = p->Mines;
            s.factories = p->Factories;
            s.surface = {p->SurfaceIron, p->SurfaceBora, p->SurfaceGerm};
            s.miningRate = {p->RateIron, p->RateBora, p->RateGerm};
            s.concentration = {p->ConcentrationIron, p->ConcentrationBora, p->ConcentrationGerm};
            s.grav = p->Grav;
            s.temp = p->Temp;
            s.rad = p->Rad;
        }
        out.push_back(std::move(o));
    }
    return out;
}

int32_t ageAt(const PlanetState& state, int32_t turn)
{
    return state.reported ? turn - state.reportedTurn : -1;
}

bool noOwner(const std::string& owner)
{
    return owner.empty() || owner == "Uninhabited";
}

} // namespace vornex::history
