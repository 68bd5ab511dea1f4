#pragma once
// Whether a value typed into the race editor's Habitability tab is taken, and what the player is
// told when it is not. The editor only shows the outcome.

#include <string>
#include <string_view>

#include "model/collections.h"

namespace vornex {

// The six range limits and the three terraforming amounts of a race.
enum class RaceLimit { GravMin, GravMax, TempMin, TempMax, RadMin, RadMax };
enum class TerraAmount { Grav, Temp, Rad };

// "Grav Min", "Temp Terraform", ...: the words the editor's messages use.
const char* limitCaption(RaceLimit limit);
const char* terraCaption(TerraAmount amount);
// Its other end: GravMin for GravMax and so on.
RaceLimit partnerLimit(RaceLimit limit);

struct LimitCheck {
    // Empty when the value is taken; otherwise the whole sentence for the user, e.g. "Temp Min not
    // taken: the minimum lies above the maximum 20. The player keeps -30."
    std::string refusal;
    Player race;        // the race with the value stored (as it came in when refused)
    std::string stored; // the value's text as stored: "12" for a temperature typed as 12.5
};

// Tries `text` as `limit` of `race`. A gravity needs a row in the gravity table; a minimum may not
// lie above its maximum (nor a maximum below its minimum); temperature and radiation must fit in
// 16 bits; and the race's range bar must still be drawable with the new value.
LimitCheck checkLimit(const Player& race, RaceLimit limit, std::string_view text, const Gravities& gravities);

struct TerraCheck {
    std::string refusal; // empty when taken
    int16_t value = 0;   // the amount as stored (when taken)
};

// Tries `text` as the race's terraforming `amount`: any 16-bit number is taken.
TerraCheck checkTerraform(const Player& race, TerraAmount amount, std::string_view text);

} // namespace vornex
