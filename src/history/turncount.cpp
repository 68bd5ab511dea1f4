#include "history/turncount.h"

#include <algorithm>

#include "base/numeric.h"

namespace vornex::history {

namespace {

std::string planets(long long n)
{
    return num::intText(n) + (n == 1 ? " planet" : " planets");
}

std::string years(long long n)
{
    return num::intText(n) + (n == 1 ? " year" : " years");
}

} // namespace

TurnCount countTurn(const std::unordered_map<int16_t, PlanetState>& last, int32_t lastTurn,
                    const std::vector<Observation>& now)
{
    TurnCount c;
    if (last.empty()) {
        c.how = "the first turn recorded";
        return c;
    }
    // How much older each report is whose figures stayed as they were. A report made again with the
    // same figures is younger than the rest, so the largest step is the one of the untouched reports.
    // The game writes its planets report afresh every turn; an export file copied in once keeps the
    // ages of the day it was written, so its planets count only when the report has none to offer.
    std::vector<int32_t> steps, exportSteps;
    bool allFresh = true, exportsFresh = true; // every such report was made this turn: ages tell nothing
    bool anyChanged = false;                   // some planet's figures differ from the last turn's
    for (const auto& o : now) {
        auto it = last.find(o.state.planet);
        if (it == last.end() || !sameFigures(it->second, o.state)) {
            anyChanged = true;
            continue;
        }
        if (o.age < 0) continue;
        const int32_t step = o.age - ageAt(it->second, lastTurn);
        if (o.state.source == "report") {
            steps.push_back(step);
            allFresh = allFresh && o.age == 0;
        } else {
            exportSteps.push_back(step);
            exportsFresh = exportsFresh && o.age == 0;
        }
    }
    if (steps.empty()) {
        steps = std::move(exportSteps);
        allFresh = exportsFresh;
    }
    const std::string since = " since turn " + num::intText(lastTurn);
    const int32_t largest = steps.empty() ? 0 : *std::max_element(steps.begin(), steps.end());
    if (!anyChanged && largest == 0) {
        c.kind = TurnCount::Kind::Same;
        c.turn = lastTurn;
        c.how = "the same turn as turn " + num::intText(lastTurn) + ": nothing changed";
        return c;
    }
    if (steps.empty() || allFresh) {
        c.kind = TurnCount::Kind::Next;
        c.turn = lastTurn + 1;
        c.ambiguous = true;
        c.how = "taken as the next turn: no report stayed the same" + since + ", so how many years passed is unknown";
        return c;
    }
    const int32_t step = *std::max_element(steps.begin(), steps.end());
    const auto agreeing = std::count(steps.begin(), steps.end(), step);
    const auto others = static_cast<long long>(steps.size()) - agreeing;
    if (step < 0) {
        c.kind = TurnCount::Kind::Older;
        c.turn = lastTurn + step;
        c.how = "older than turn " + num::intText(lastTurn) + ": " + planets(agreeing) + " show reports " +
                years(-step) + " younger";
        return c;
    }
    if (step == 0) {
        c.kind = TurnCount::Kind::Same;
        c.turn = lastTurn;
        c.how = "the same turn as turn " + num::intText(lastTurn) + ": no report aged";
        return c;
    }
    c.kind = TurnCount::Kind::Next;
    c.turn = lastTurn + step;
    c.how = planets(agreeing) + " with the same report aged by " + years(step) + since;
    if (step > 1) c.how += " (" + num::intText(step - 1) + (step == 2 ? " turn" : " turns") + " not recorded)";
    if (others > 0) c.how += "; " + planets(others) + " reported again with the same figures";
    return c;
}

} // namespace vornex::history
