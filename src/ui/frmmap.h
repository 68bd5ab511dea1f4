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
class SettingsStore;
class Prompter;
} // namespace vornex

namespace vornex::ui {

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

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

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
};

} // namespace vornex::ui
