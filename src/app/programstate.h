#pragma once
// The program's state: the three tables, the game folder and the view. One object, owned by the
// application and passed by reference to every window.

#include <cstdint>
#include <string>

#include "io/diagnostics.h"
#include "model/collections.h"

namespace vornex {

struct ProgramState {
    Map AllPlanets;
    Players AllPlayers;
    Gravities AllGravities;
    std::string FileLocation; // game folder, ending in a path separator
    std::string GameName;
    int16_t YourNumber = 0;
    int16_t Zoom = 0;
    int16_t XStart = 0;
    int16_t YStart = 0;
    std::string ClickOption;
    int16_t PlanetSelected = 0; // ID of the selected planet
    int16_t Dragging = 0;       // -1 while the map is dragged
    int16_t DragX = 0;
    int16_t DragY = 0;

    // Lines rejected by the loaders since start-up (the latest load replaces those of the tables it
    // reloads).
    Diagnostics diagnostics;

    // The selected planet, looked up by ID (not position), or nullptr.
    PlanetPtr selectedPlanet() const { return AllPlanets.ByID(PlanetSelected); }
    // Player YourNumber, or nullptr.
    PlayerPtr yourPlayer() const { return AllPlayers.At(YourNumber); }
};

} // namespace vornex
