#pragma once
// The map window's own data, shared by the files that make up the window (the shell in
// frmmap.cpp, following a game in frmmapgame.cpp).

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QToolBar>
#include <QWidget>
#include <optional>

#include "ui/frmmap.h"

class QActionGroup;
class QMenu;

namespace vornex::ui {

class LoadNotesButton;
class PlanetPanel;
class PlanetsDock;
class RaceEditor;

// The client area below the menu bar: light grey (the panel draws its own lines on it).
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
    }
};

struct frmMap::Impl {
    ProgramState& state;
    SettingsStore& settings;
    Prompter& prompter;

    ClientArea* client = nullptr;
    QToolBar* toolbar = nullptr;
    QAction* namesAction = nullptr;
    QActionGroup* modes = nullptr;
    MapSurface* pic = nullptr;
    RaceEditor* raceEditor = nullptr;
    PlanetPanel* panel = nullptr;
    QLabel* pointer = nullptr;
    LoadNotesButton* diagnosticsNote = nullptr;
    QPointer<QWidget> exportDialog;
    // Where the pointer stands on the map (widget pixels), while it is over it.
    std::optional<QPointF> pointerAt;
    bool unloaded = false;
    PlanetsDock* planets = nullptr;
    GameFollower* follower = nullptr;
    QMenu* recentGames = nullptr;

    Impl(ProgramState& s, SettingsStore& st, Prompter& p) : state(s), settings(st), prompter(p) {}
};

} // namespace vornex::ui
