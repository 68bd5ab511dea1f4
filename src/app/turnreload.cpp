#include "app/turnreload.h"

#include <algorithm>
#include <tuple>

#include "io/planetloader.h"

namespace vornex {

namespace {

// What the panel, the map and the table show of a planet that a new turn may change; production,
// resources and the like change on every turn of every owned planet and are left out.
auto seen(const Planet& p)
{
    return std::tie(p.ID, p.Xcord, p.Ycord, p.PlanetName, p.Owner, p.StarbaseType, p.ReportAge, p.Population, p.Value,
                    p.Mines, p.Factories, p.Def, p.SurfaceIron, p.SurfaceGerm, p.SurfaceBora, p.ConcentrationIron,
                    p.ConcentrationBora, p.ConcentrationGerm, p.RateIron, p.RateBora, p.RateGerm, p.Grav, p.Temp,
                    p.Rad);
}

} // namespace

std::vector<int16_t> changedPlanets(const Map& before, const Map& after)
{
    std::vector<int16_t> changed;
    for (const auto& p : after) {
        PlanetPtr old = before.ByID(p->ID);
        if (!old || seen(*old) != seen(*p)) changed.push_back(p->ID);
    }
    for (const auto& p : before)
        if (!after.ByID(p->ID)) changed.push_back(p->ID);
    return changed;
}

TurnRead readTurn(const Game& game)
{
    TurnRead turn;
    turn.read = LoadPlanets(turn.planets, game, turn.diags);
    turn.refusal = turnRefusal(turn.read, game, turn.diags);
    return turn;
}

TurnReload applyTurn(ProgramState& state, TurnRead turn)
{
    TurnReload result;
    if (turn.refusal) {
        result.error = turn.refusal->text();
        return result;
    }
    result.changed = changedPlanets(state.AllPlanets, turn.planets);
    result.planets = turn.planets.Count();
    state.AllPlanets = std::move(turn.planets);
    // Keep the notes of the gravity and players tables, which were not read again.
    const std::string gravityFile = state.game.gravityFile();
    const std::string playersFile = state.game.playersFile();
    std::erase_if(state.diagnostics,
                  [&](const Diagnostic& d) { return d.file != gravityFile && d.file != playersFile; });
    state.diagnostics.insert(state.diagnostics.end(), turn.diags.begin(), turn.diags.end());
    result.ok = true;
    return result;
}

TurnReload reloadTurnFiles(ProgramState& state)
{
    return applyTurn(state, readTurn(state.game));
}

} // namespace vornex
