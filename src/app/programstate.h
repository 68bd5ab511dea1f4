#pragma once
// The program's state: the game followed (its files and tables) and the view. One object, owned by
// the application and passed by reference to every window.

#include <cstdint>
#include <string>

#include "io/diagnostics.h"
#include "io/game.h"
#include "model/collections.h"

namespace vornex {

struct ProgramState {
    Game game; // folder, game name and player number: every file is named by it
    Map AllPlanets;
    Players AllPlayers;
    Gravities AllGravities;
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

    int16_t yourNumber() const { return game.playerNumber(); }
    // The selected planet, looked up by ID (not position), or nullptr.
    PlanetPtr selectedPlanet() const { return AllPlanets.ByID(PlanetSelected); }
    // The user's own player, or nullptr.
    PlayerPtr yourPlayer() const { return AllPlayers.At(yourNumber()); }
};

} // namespace vornex
