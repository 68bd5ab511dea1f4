#pragma once
// The program's main window: toolbar, galaxy map `pic`, the planet panel on the left, the race
// editor below it, menu bar and status bar. Its controls carry their names as objectName.

#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "ui/mapsurface.h"
#include "ui/raceeditor.h"

class QLabel;
class QAction;
class QPushButton;

namespace vornex {
struct Diagnostic;
struct ProgramState;
struct Game;
struct TurnReload;
class GameFollower;
class GameWatcher;
class SettingsStore;
class Prompter;
} // namespace vornex

namespace vornex::ui {

class PlanetsDock;

class frmMap : public QMainWindow, public MapSurfaceHost, public RaceEditorHost {
    Q_OBJECT
public:
    // Builds the window and runs its load steps: race editor on player YourNumber, your race's name,
    // the panel for the selected planet, the map, the race's range bars.
    frmMap(ProgramState& state, SettingsStore& settings, Prompter& prompter, QWidget* parent = nullptr);
    ~frmMap() override;

    // Redraws the whole map (Zoom units across the surface), names while "Names" is down.
    void DrawPic() override;
    // Zoom step and centring on view position (x, y); a step that would leave 16 bits is refused.
    bool CentreMap(const QString& action, int16_t x, int16_t y);
    // Selects the planet nearest map point (x, y) within 100, fills the panel, redraws.
    void PlanetInfo(int16_t x, int16_t y) override;
    // Places the three range bars of your race on the environment strips.
    void ChangeRaceHabs() override;
    void tablesReloaded() override;
    void showStatus(const QString& text) override;
    bool namesShown() const override;
    void setDistanceText(const QString& text) override;
    void showPointer(const QString& text) override;

    // Edit > Find: asks for a planet name, centres the map on it and selects it.
    void Find();
    // Everything the loaders noted, one "file:line: reason" a line.
    QString diagnosticsText() const;

    MapSurface* pic() const;

    // Reads the turn's planets again by hand (F5), as the game follower does when the files
    // change: keeps the view, the selected planet, the click mode and unsaved race edits; says on
    // the status bar and on standard output what changed. A failed reload keeps the galaxy shown
    // and says why.
    void reloadTurnFiles();
    // Leaves the game shown (saving player.inf as closing does) and opens `game` with start-up's
    // steps; false, with the old game still shown, when it cannot be opened.
    bool openGame(const Game& game);
    // Selects planet id as a map click on it does, centring the map on it when it is out of view.
    void selectPlanet(int16_t id);
    // Writes the map as shown to a PNG at the screen's pixel ratio; an empty text or why not.
    QString saveMapImage(const QString& path) const;

    PlanetsDock* planetsDock() const;
    GameWatcher* gameWatcher() const;
    GameFollower* gameFollower() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Saves player.inf; when that fails, asks Retry / discardText / Cancel. False for Cancel.
    bool savePlayersOrAsk(const QString& discardText);

private:
    struct Impl;
    std::unique_ptr<Impl> d;

    void buildToolbar();
    void buildPanel();
    void buildMenus();
    void load();
    void applyResizeRule();
    void showDiagnosticsNote();
    void toolbarClicked(QAction* action);
    void buildFollowing();
    void fillRecentGames();
    void turnReloaded(const TurnReload& result);
};

} // namespace vornex::ui
