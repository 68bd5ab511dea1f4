#pragma once
// The window's side of the game's history: records every turn the window loads (in the recorder's
// worker), and keeps the "Changes" dock, the changes layer of the map and the panel's History view
// up to date. The status bar says when a store was damaged and, after a reload, names the turn's
// biggest changes.

#include <QObject>
#include <QString>
#include <cstdint>

#include "app/historyrecorder.h"

namespace vornex::ui {

class ChangesDock;
class ChangesLayer;
class HistoryView;
class MapWindow;

class TurnHistory : public QObject {
    Q_OBJECT
public:
    // Adds the dock, the layer (with its toolbar action) and the History view to the window.
    // folder: where the stores are (empty: the user's data folder).
    TurnHistory(MapWindow& window, ProgramState& state, const QString& folder = QString());

    // The window shows a turn it has just loaded (start-up, reload, another game): record it.
    // reloadText is the status bar's text of a reload, to be completed by the turn's changes.
    void turnLoaded(const QString& reloadText = QString());
    // The planets were read anew: the notes go on them again.
    void applyNotes();
    // The selected planet changed.
    void planetSelected(int16_t planet);

    HistoryRecorder& recorder() { return m_recorder; }
    ChangesDock* changesDock() const { return m_dock; }
    ChangesLayer* changesLayer() const { return m_layer; }
    HistoryView* historyView() const { return m_view; }
    // The last status bar text about the history.
    const QString& lastStatus() const { return m_status; }

private:
    void recorded(const HistoryUpdate& update);
    void status(const QString& text);

    MapWindow& m_window;
    ProgramState& m_state;
    HistoryRecorder m_recorder;
    ChangesDock* m_dock = nullptr;
    ChangesLayer* m_layer = nullptr;
    HistoryView* m_view = nullptr;
    QString m_reloadText;
    QString m_status;
};

} // namespace vornex::ui
