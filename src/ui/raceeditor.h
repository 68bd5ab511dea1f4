#pragma once
// The race editor (raceEditor): the player chooser, the "General" tab (player name, race name,
// colour) and the "Habitability" tab (ranges and terraforming reach).

#include <QGroupBox>

#include <memory>

namespace vornex {
struct ProgramState;
class SettingsStore;
class Prompter;
} // namespace vornex

namespace vornex::ui {

// What the editor needs from the map window.
class RaceEditorHost {
public:
    virtual ~RaceEditorHost() = default;
    virtual void showRaceRanges() = 0; // redraw the range bars of player YourNumber
    virtual void redrawMap() = 0;
    // Players and planets were reloaded after a race-name change: refresh what shows them (the
    // selected planet and the view stay).
    virtual void tablesReloaded() = 0;
    virtual void showStatus(const QString& text) = 0;
};

class RaceEditor : public QGroupBox {
    Q_OBJECT
public:
    RaceEditor(ProgramState& state, SettingsStore& settings, Prompter& prompter, RaceEditorHost& host,
               QWidget* parent = nullptr);
    ~RaceEditor() override;

    // The window's RaceNameChanged flag.
    bool raceNameChanged() const;
    void setRaceNameChanged(bool changed);

    // Shows player `number` as its scroll bar would; a number outside 1..16 changes nothing.
    void showPlayer(int number);
    // Applies a pending race-name change (save, reload players and planets, redraw).
    void applyRaceNameChange();
    // Before the tables are saved on close: a limit still being typed is committed as if its box
    // were left, and a race name left refused goes back to the name last saved.
    void commitPending();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace vornex::ui
