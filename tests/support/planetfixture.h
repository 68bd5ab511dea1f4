#pragma once
// Planets and races for the tests, built in memory.

#include <string>
#include <tuple>
#include <utility>

#include "model/collections.h"

namespace vornex::testing {

// A planet added to the map, numbered in the order added.
inline PlanetPtr addPlanet(Map& map, const std::string& name, int16_t x, int16_t y, const std::string& owner,
                           int16_t reportAge = 0)
{
    PlanetPtr p = map.Add(name);
    p->ID = static_cast<int16_t>(map.Count());
    p->PlanetName = name;
    p->Xcord = x;
    p->Ycord = y;
    p->Owner = owner;
    p->ReportAge = reportAge;
    return p;
}

// The race's habitable ranges (lowest, highest, as the players table holds them) and how far it
// terraforms in each.
inline void setHabRanges(Player& p, std::pair<float, float> grav, std::pair<int16_t, int16_t> temp,
                         std::pair<int16_t, int16_t> rad, int16_t terra)
{
    std::tie(p.GravMin, p.GravMax) = grav;
    std::tie(p.TempMin, p.TempMax) = temp;
    std::tie(p.RadMin, p.RadMax) = rad;
    p.GravTerra = p.TempTerra = p.RadTerra = terra;
}

// The planet's environment as the reports write it.
inline void setEnvironment(Planet& p, const std::string& grav, const std::string& temp, const std::string& rad)
{
    p.Grav = grav;
    p.Temp = temp;
    p.Rad = rad;
}

} // namespace vornex::testing
