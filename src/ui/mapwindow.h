#pragma once
// The program's main window, a shell that wires its parts: the toolbar, the galaxy map, the side
// column (planet panel above, race editor below, scrolling when the window is short), the
// "Planets" dock, menus and status bar. Its controls carry their names as objectName.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>

#include "ui/mapsurface.h"
#include "ui/raceeditor.h"

class QAction;
class QDockWidget;

namespace vornex {
struct ProgramState;
struct Game;
struct TurnReload;
class GameFollower;
class GameWatcher;
class SettingsStore;
class Prompter;
} // namespace vornex

namespace vornex::ui {

class MapLayer;
class PlanetsDock;
class TurnHistory;

class MapWindow : public QMainWindow, public MapSurfaceHost, public RaceEditorHost {
    Q_OBJECT
public:
    // Builds the window and shows the game: the race editor on your player, your race's name, the
    // panel for the selected planet, the map, your race's ranges. Size and docks are those saved
    // last, or fit the screen at the first start.
    MapWindow(ProgramState& state, SettingsStore& settings, Prompter& prompter, QWidget* parent = nullptr);
    // The same, built while the game's tables are still being read: everything that needs no table
    // is built first, then tablesRead() is called, which must leave the tables in state, and the
    // game is shown. Nothing is on the screen before then.
    MapWindow(ProgramState& state, SettingsStore& settings, Prompter& prompter, const std::function<void()>& tablesRead,
              QWidget* parent = nullptr);
    ~MapWindow() override;

    // Paints the map again with every layer shown.
    void redrawMap() override;
    // Selects the planet nearest map point (x, y) within 100, fills the panel, redraws.
    void selectNearestPlanet(int16_t x, int16_t y) override;
    // Places the three range bars of your race on the environment strips.
    void showRaceRanges() override;
    void tablesReloaded() override;
    void showStatus(const QString& text) override;
    void setDistanceText(const QString& text) override;
    void showPointer(const QString& text) override;
    // Whether the planet names are shown.
    bool namesShown() const;

    // Edit > Find: asks for a planet name (the box completes names), centres the map on it and
    // selects it.
    void findPlanet();
    // The answer of the Find box: picked, the collection position (from 0) of the completion
    // picked, or -1 for a typed text, which must be a planet's exact name ("Not Found" otherwise).
    void findPlanetNamed(const QString& text, int picked = -1);
    // Edit > Find Next / Find Previous (F3, Shift+F3): the next planet after the selected one, in
    // map order and round, whose name contains the last text looked for (case and accents
    // ignored); false when none does.
    bool findAgain(bool forward);
    // Everything the loaders noted, one "file:line: reason" a line.
    QString diagnosticsText() const;

    MapSurface* mapSurface() const;
    // Puts a layer on top of the map with its toolbar action (when it has a title) and redraws.
    void addMapLayer(std::unique_ptr<MapLayer> layer);

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
    // Writes the map as shown at the screen's pixel ratio, in the format the name's extension asks
    // for (PNG, JPEG, BMP, ...), with a title strip below it (game, player, report date) while
    // File > "Title on Map Images" is checked; an empty text or why not. A name without extension
    // must have been given ".png" already (see imageFileName).
    QString saveMapImage(const QString& path) const;
    // The line the title strip of a saved map image shows.
    QString mapImageTitle() const;
    // Sets the radius of the ring around the selected planet (0: no ring).
    void setRingRadius(int radius);
    // The "Races" dock, with the start-up finished.
    QDockWidget* racesDock();

    // Gives the map at least 300 by 200 pixels: a window larger than its screen is brought onto
    // it, one smaller than the screen allows grows, and docks restored wider than the window
    // allows are narrowed (or closed). Runs when the window first shows its restored layout, and
    // when the user opens a dock: that dock narrows first, the window grows only for what is
    // still lacking, and the dock stays open.
    enum class MapRoomFor { RestoredLayout, OpenedDock };
    void ensureMapRoom(MapRoomFor reason = MapRoomFor::RestoredLayout);

    // The start-up work that need not hold up the first look at the map: the Races dock's first
    // count, recording the turn in the game's history (and so the planets' notes), and following
    // the game's folder. It runs once the map has painted for the first time, or sooner when one
    // of the parts below is asked for or the game is reloaded or changed; once only.
    void finishStartup();

    // These parts come with the start-up finished.
    PlanetsDock* planetsDock();
    GameWatcher* gameWatcher();
    GameFollower* gameFollower();
    // The game's history: the Changes dock, the changes layer and the panel's History view.
    TurnHistory* turnHistory();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Saves player.inf; when that fails, asks Retry / discardText / Cancel. False for Cancel.
    bool savePlayersOrAsk(const QString& discardText);

private:
    struct Impl;
    std::unique_ptr<Impl> d;

    void buildToolbar();
    void buildSideColumn();
    void addRaceEditor();
    // The layers shown when the window closed last are shown again.
    void restoreMapLayers();
    QStringList shownMapLayers() const;
    void buildMenus();
    void showGame();
    void showTitle();
    void placeOnScreen();
    void showDiagnosticsNote();
    QAction* addLayerAction(MapLayer* layer);
    void buildFollowing();
    void buildPlanning();
    void chooseMapImageFile();
    void fillRecentGames();
    void turnReloaded(const TurnReload& result);
    // Fills the panel from the selected planet, or empties it when there is none.
    void showSelectedPlanet();
    void buildHistory();
};

} // namespace vornex::ui
