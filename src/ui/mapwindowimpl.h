#pragma once
// The map window's own data, shared by the files that make up the window (the shell in
// mapwindow.cpp, following a game in mapwindowgame.cpp, planning in mapwindowplanning.cpp).

#include <QLabel>
#include <QPointer>
#include <QToolBar>
#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

#include "ui/mapwindow.h"

class QActionGroup;
class QMenu;
class QScrollArea;
class QVBoxLayout;

namespace vornex::ui {

class LoadNotesButton;
class PlanetPanel;
class PlanetsDock;
class RaceEditor;
class RacesDock;
class RangeRingLayer;
class TurnHistory;

struct MapWindow::Impl {
    ProgramState& state;
    SettingsStore& settings;
    Prompter& prompter;

    QToolBar* toolbar = nullptr;
    QActionGroup* modes = nullptr;
    // The toolbar's separator before "Exit": layer actions go in front of it.
    QAction* layersEnd = nullptr;
    QMenu* viewMenu = nullptr;
    QMenu* fileMenu = nullptr;
    MapSurface* map = nullptr;
    QScrollArea* sideColumn = nullptr;
    QVBoxLayout* sideLayout = nullptr;
    RaceEditor* raceEditor = nullptr;
    PlanetPanel* panel = nullptr;
    QLabel* pointer = nullptr;
    LoadNotesButton* diagnosticsNote = nullptr;
    QPointer<QWidget> exportDialog;
    // Where the pointer stands on the map (widget pixels), while it is over it.
    std::optional<QPointF> pointerAt;
    bool unloaded = false;
    bool shownOnce = false;
    // finishStartup() has run; it is asked for once the map has painted.
    bool started = false;
    bool startAsked = false;
    PlanetsDock* planets = nullptr;
    GameFollower* follower = nullptr;
    QMenu* recentGames = nullptr;
    // Planning: the ring's layer, the races, the title of saved images, the last text found.
    RangeRingLayer* ring = nullptr;
    RacesDock* races = nullptr;
    QAction* imageTitle = nullptr;
    QString findText;
    TurnHistory* history = nullptr;
    // The map layers that can be shown and hidden, with their toolbar actions.
    std::vector<std::pair<MapLayer*, QAction*>> layerActions;

    Impl(ProgramState& s, SettingsStore& st, Prompter& p) : state(s), settings(st), prompter(p) {}
};

} // namespace vornex::ui
