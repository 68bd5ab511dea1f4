#include "app/turnreload.h"

#include <algorithm>
#include <tuple>

#include "base/numeric.h"
#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "io/settingstable.h"
#include "io/textfile.h"

namespace vornex {

namespace {

auto figures(const Planet& p)
{
    return std::tie(p.ID, p.Xcord, p.Ycord, p.PlanetName, p.Owner, p.StarbaseType, p.ReportAge, p.Population, p.Value,
                    p.ProductionQueue, p.Mines, p.Factories, p.Def, p.SurfaceIron, p.SurfaceGerm, p.SurfaceBora,
                    p.ConcentrationIron, p.RateBora, p.RateGerm, p.RateIron, p.ConcentrationGerm, p.ConcentrationBora,
                    p.Resources, p.Grav, p.Temp, p.Rad, p.GravOrig, p.TempOrig, p.RadOrig, p.Terra, p.Capacity,
                    p.Scanner, p.Penetration, p.Driver, p.Warp, p.Route, p.GateRange, p.GateMass, p.PacketDamage);
}

int changedPlanets(const Map& before, const Map& after)
{
    int changed = 0;
    for (const auto& p : after) {
        PlanetPtr old = before.ByID(p->ID);
        if (!old || figures(*old) != figures(*p)) ++changed;
    }
    for (const auto& p : before)
        if (!after.ByID(p->ID)) ++changed;
    return changed;
}

} // namespace

std::vector<std::string> turnFiles(const ProgramState& s)
{
    std::vector<std::string> files = {s.FileLocation + s.GameName + ".map",
                                      s.FileLocation + s.GameName + ".p" + num::intText(s.YourNumber)};
    for (int i = 1; i <= 16; ++i)
        files.push_back(s.FileLocation + "export.p" + std::to_string(i));
    return files;
}

TurnReload reloadTurnFiles(ProgramState& state)
{
    TurnReload result;
    const auto files = turnFiles(state);
    for (size_t i = 0; i < 2; ++i)
        if (const std::string why = unreadableReason(files[i]); !why.empty()) {
            result.error = files[i] + ": " + why;
            return result;
        }
    // The player number is known: the loader finds it here and never asks.
    MemorySettings settings;
    writeSetting(settings, setting::YourNumber, num::intText(state.YourNumber));
    FixedAnswer noQuestions;
    Map planets;
    Diagnostics diags;
    if (LoadPlanets(planets, state.FileLocation, state.GameName, settings, noQuestions, diags) != LoadOutcome::Loaded ||
        planets.Count() == 0) {
        result.error = files[0] + " gives no planet";
        return result;
    }
    result.changed = changedPlanets(state.AllPlanets, planets);
    result.planets = planets.Count();
    state.AllPlanets = std::move(planets);
    // Keep the notes of the gravity and players tables, which were not read again.
    const std::string gravityFile = state.FileLocation + "gravity.csv";
    const std::string playersFile = state.FileLocation + "player.inf";
    std::erase_if(state.diagnostics,
                  [&](const Diagnostic& d) { return d.file != gravityFile && d.file != playersFile; });
    state.diagnostics.insert(state.diagnostics.end(), diags.begin(), diags.end());
    result.ok = true;
    return result;
}

} // namespace vornex
