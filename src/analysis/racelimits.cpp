#include "analysis/racelimits.h"

#include "analysis/habvalue.h"
#include "analysis/numbertext.h"
#include "analysis/panel.h"
#include "base/numeric.h"

namespace vornex {

namespace {

bool isMinimum(RaceLimit l)
{
    return l == RaceLimit::GravMin || l == RaceLimit::TempMin || l == RaceLimit::RadMin;
}

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// Why a text is no 16-bit number: not a number at all, or too large for 16 bits.
std::string int16Problem(std::string_view text)
{
    if (!num::parseStrict(text)) return quoted(text) + " is not a number";
    return std::string(text) + " does not fit in 16 bits (-32768 to 32767)";
}

// The messages are put together by plain concatenation: a typed text such as "%1" must come back
// as typed, never be taken for a placeholder of the message.
std::string refusal(const char* caption, const std::string& why, const std::string& kept)
{
    return std::string(caption) + " not taken: " + why + ". The player keeps " + kept + ".";
}

std::string orderProblem(RaceLimit l, const std::string& other)
{
    return isMinimum(l) ? "the minimum lies above the maximum " + other : "the maximum lies below the minimum " + other;
}

constexpr const char* kNoBar = "the range bar cannot be drawn for it";

LimitCheck checkGravity(const Player& race, RaceLimit l, std::string_view text, const Gravities& gravities)
{
    LimitCheck out{{}, race, {}};
    const std::optional<float> g = num::parseSingle(text);
    const float old = l == RaceLimit::GravMin ? race.GravMin : race.GravMax;
    const float other = l == RaceLimit::GravMin ? race.GravMax : race.GravMin;
    std::string why;
    if (!g) {
        why = quoted(text) + " is not a number";
    } else if (!gravityClicks(*g, gravities)) {
        why = "gravity " + gravityKey(*g) + " has no row in gravity.csv";
    } else {
        (l == RaceLimit::GravMin ? out.race.GravMin : out.race.GravMax) = *g;
        const auto mine = gravityClicks(*g, gravities);
        // A partner without a row of its own cannot be compared with: the new end is taken alone.
        const auto theirs = gravityClicks(other, gravities);
        if (theirs && (isMinimum(l) ? *mine > *theirs : *mine < *theirs))
            why = orderProblem(l, num::singleText(other));
        else if (theirs && !computeRaceRanges(&out.race, gravities).grav)
            why = kNoBar;
    }
    if (!why.empty()) return {refusal(limitCaption(l), why, num::singleText(old)), race, {}};
    out.stored = num::singleText(*g);
    return out;
}

LimitCheck checkWhole(const Player& race, RaceLimit l, std::string_view text, const Gravities& gravities)
{
    LimitCheck out{{}, race, {}};
    const bool temp = l == RaceLimit::TempMin || l == RaceLimit::TempMax;
    int16_t& field = l == RaceLimit::TempMin   ? out.race.TempMin
                     : l == RaceLimit::TempMax ? out.race.TempMax
                     : l == RaceLimit::RadMin  ? out.race.RadMin
                                               : out.race.RadMax;
    const int16_t old = field;
    const int16_t other = l == RaceLimit::TempMin   ? race.TempMax
                          : l == RaceLimit::TempMax ? race.TempMin
                          : l == RaceLimit::RadMin  ? race.RadMax
                                                    : race.RadMin;
    std::string why;
    const std::optional<int16_t> v = num::parseInt16(text);
    if (!v) {
        why = int16Problem(text);
    } else {
        field = *v;
        if (isMinimum(l) ? *v > other : *v < other) {
            why = orderProblem(l, num::intText(other));
        } else {
            const RaceRanges ranges = computeRaceRanges(&out.race, gravities);
            if (!(temp ? ranges.temp : ranges.rad)) why = kNoBar;
        }
    }
    if (!why.empty()) return {refusal(limitCaption(l), why, num::intText(old)), race, {}};
    out.stored = num::intText(*v);
    return out;
}

} // namespace

const char* limitCaption(RaceLimit l)
{
    switch (l) {
    case RaceLimit::GravMin:
        return "Grav Min";
    case RaceLimit::GravMax:
        return "Grav Max";
    case RaceLimit::TempMin:
        return "Temp Min";
    case RaceLimit::TempMax:
        return "Temp Max";
    case RaceLimit::RadMin:
        return "Rad Min";
    case RaceLimit::RadMax:
        return "Rad Max";
    }
    return "";
}

const char* terraCaption(TerraAmount t)
{
    switch (t) {
    case TerraAmount::Grav:
        return "Grav Terraform";
    case TerraAmount::Temp:
        return "Temp Terraform";
    case TerraAmount::Rad:
        return "Rad Terraform";
    }
    return "";
}

RaceLimit partnerLimit(RaceLimit l)
{
    switch (l) {
    case RaceLimit::GravMin:
        return RaceLimit::GravMax;
    case RaceLimit::GravMax:
        return RaceLimit::GravMin;
    case RaceLimit::TempMin:
        return RaceLimit::TempMax;
    case RaceLimit::TempMax:
        return RaceLimit::TempMin;
    case RaceLimit::RadMin:
        return RaceLimit::RadMax;
    case RaceLimit::RadMax:
        return RaceLimit::RadMin;
    }
    return l;
}

LimitCheck checkLimit(const Player& race, RaceLimit limit, std::string_view text, const Gravities& gravities)
{
    if (limit == RaceLimit::GravMin || limit == RaceLimit::GravMax) return checkGravity(race, limit, text, gravities);
    return checkWhole(race, limit, text, gravities);
}

TerraCheck checkTerraform(const Player& race, TerraAmount amount, std::string_view text)
{
    const int16_t kept = amount == TerraAmount::Grav   ? race.GravTerra
                         : amount == TerraAmount::Temp ? race.TempTerra
                                                       : race.RadTerra;
    const std::optional<int16_t> v = num::parseInt16(text);
    if (!v) return {refusal(terraCaption(amount), int16Problem(text), num::intText(kept)), kept};
    return {{}, *v};
}

} // namespace vornex
