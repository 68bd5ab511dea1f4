#pragma once
// The program's state: the game followed (its files and tables) and the view. One object, owned by
// the application and passed by reference to every window.

#include <cstdint>
#include <string>

#include "analysis/view.h"
#include "io/diagnostics.h"
#include "io/game.h"
#include "model/collections.h"

namespace vornex {

// How the user looks at the map: what is shown, the selection and the click mode. Nothing of it
// comes from the game's files, and a new turn leaves it as it is.
struct MapView {
    int16_t Zoom = 0;   // map units across the shown square
    int16_t XStart = 0; // its top-left corner on the map
    int16_t YStart = 0;
    ClickMode clickMode = ClickMode::Planets;
    int16_t PlanetSelected = 0; // ID of the selected planet
    bool dragging = false;
    int16_t DragX = 0; // the pointer at the last drag step
    int16_t DragY = 0;

    View area() const { return View{Zoom, XStart, YStart}; }
};

struct ProgramState {
    // The game followed: its files, named by `game`, and the tables read from them.
    Game game; // folder, game name and player number
    Map AllPlanets;
    Players AllPlayers;
    Gravities AllGravities;
    // Lines rejected by the loaders since start-up (the latest load replaces those of the tables it
    // reloads).
    Diagnostics diagnostics;

    MapView view;

    int16_t yourNumber() const { return game.playerNumber(); }
    // The selected planet, looked up by ID (not position), or nullptr.
    PlanetPtr selectedPlanet() const { return AllPlanets.ByID(view.PlanetSelected); }
    // The user's own player, or nullptr.
    PlayerPtr yourPlayer() const { return AllPlayers.At(yourNumber()); }
};

} // namespace vornex
