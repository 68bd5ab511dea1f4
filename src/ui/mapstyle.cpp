#include "ui/mapstyle.h"

#include "ui/dialogs.h"

namespace vornex::ui::mapstyle {

QColor lightGrey()
{
    return colourFromBgr(0x00C0C0C0);
}
QColor red()
{
    return colourFromBgr(0x000000FF);
}
QColor white()
{
    return colourFromBgr(0x00FFFFFF);
}
QColor peach()
{
    return colourFromBgr(0x00C0E0FF);
}

const Player* knownRace(const ProgramState& state, const std::string& owner)
{
    if (owner == kUninhabited) return nullptr;
    for (const auto& player : state.AllPlayers)
        if (player && player->RaceName == owner) return player.get();
    return nullptr;
}

std::optional<QColor> keyedColour(const ProgramState& state, const std::string& owner)
{
    PlayerPtr p = state.AllPlayers.Find(owner);
    if (!p) return std::nullopt;
    return colourFromBgr(p->Colour);
}

PlanetLook lookOf(const ProgramState& state, const Planet& planet)
{
    if (knownRace(state, planet.Owner)) {
        if (auto c = keyedColour(state, planet.Owner)) return PlanetLook{*c, *c, true};
    }
    return PlanetLook{planet.ReportAge == -1 ? lightGrey() : red(), lightGrey(), false};
}

} // namespace vornex::ui::mapstyle
