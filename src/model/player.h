#pragma once
#include <cstdint>
#include <string>

namespace vornex {

// One of the game's sixteen player slots as kept in player.inf. A plain value holder.
struct Player {
    std::string PlayerName;
    std::string RaceName; // key in the players table when not empty; matched against Planet::Owner
    std::string HomeWorld;
    int32_t Colour = 0; // 0x00BBGGRR: red is the low byte
    int16_t Number = 0; // 1..16, the position in the players table
    float GravMax = 0;
    float GravMin = 0;
    int16_t RadMax = 0;
    int16_t RadMin = 0;
    int16_t TempMax = 0;
    int16_t TempMin = 0;
    int16_t GravTerra = 0;
    int16_t TempTerra = 0;
    int16_t RadTerra = 0;

    // One player.inf record in list format (UTF-8, ended by CR LF): player name, race name, home
    // world, colour, GravMin, GravMax, TempMin, TempMax, RadMin, RadMax, GravTerra, TempTerra,
    // RadTerra. Minimum before maximum; Number is not written. Texts are sanitised as in
    // Planet::Export.
    std::string Export() const;
};

// One row of the gravity table.
struct Gravity {
    int16_t Clicks = 0;
};

} // namespace vornex
