#include "model/player.h"

#include <cmath>
#include <limits>

#include "base/listtext.h"
#include "base/numeric.h"

namespace vornex {

namespace {
// A range that is not a number would make the whole record unreadable on the next load, names
// included; write it as 0 (and an infinite one as the largest single) so the record survives.
std::string rangeText(float v)
{
    if (std::isnan(v)) return "0";
    if (std::isinf(v)) v = v > 0 ? std::numeric_limits<float>::max() : std::numeric_limits<float>::lowest();
    return num::singleText(v);
}
} // namespace

std::string Player::Export() const
{
    std::string line;
    line.reserve(96);
    line += listText(PlayerName);
    line += ',';
    line += listText(RaceName);
    line += ',';
    line += listText(HomeWorld);
    line += ',';
    line += num::intText(Colour);
    line += ',';
    line += rangeText(GravMin);
    line += ',';
    line += rangeText(GravMax);
    for (int16_t v : {TempMin, TempMax, RadMin, RadMax, GravTerra, TempTerra, RadTerra}) {
        line += ',';
        line += num::intText(v);
    }
    line += "\r\n";
    return line;
}

} // namespace vornex
