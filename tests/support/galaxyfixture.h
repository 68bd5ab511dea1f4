#pragma once
// A small galaxy for the window tests: built in memory, one map unit per pixel on a 400 by 400 map.

#include <QString>
#include <ostream>
#include <string>

#include "analysis/view.h"
#include "app/programstate.h"
#include "support/planetfixture.h"

namespace vornex {
inline void PrintTo(const View& v, std::ostream* os)
{
    *os << "{Zoom " << v.Zoom << ", " << v.XStart << ", " << v.YStart << "}";
}
} // namespace vornex

namespace vornex::testing {

inline PlanetPtr addPlanet(ProgramState& s, const std::string& name, int16_t x, int16_t y, const std::string& owner,
                           int16_t reportAge = 0)
{
    return addPlanet(s.AllPlanets, name, x, y, owner, reportAge);
}

inline PlayerPtr addPlayer(ProgramState& s, const std::string& race, int32_t colourBgr)
{
    PlayerPtr p = s.AllPlayers.Add(race);
    p->RaceName = race;
    p->PlayerName = race + " player";
    p->Colour = colourBgr;
    p->Number = static_cast<int16_t>(s.AllPlayers.Count());
    return p;
}

} // namespace vornex::testing
