#pragma once
// The game's history for the window: records every turn it loads and answers what the views ask
// (a planet's turns, the changes between two turns, the notes). Everything that touches the store
// runs in a worker thread of its own, so the window never waits on the disk or on another program
// holding the store: requests go out at once and the answers come back as signals, in the order
// asked. The window's thread only takes a copy of the planets' figures (see record_snapshot in
// `make bench`).

#include <QObject>
#include <QString>
#include <QThread>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "history/changes.h"
#include "history/historystore.h"

namespace vornex {

struct ProgramState;

// How recording a load went.
struct HistoryUpdate {
    bool recorded = false; // the store holds the turn (new, updated or already there)
    history::RecordResult result;
    std::vector<history::TurnInfo> turns;
    QString error;  // why the turn was not recorded; empty when it was
    QString notice; // a damaged store moved aside, for the status bar
    QString path;   // the store's file
};

class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    // folder: where the stores are; empty takes the user's data folder.
    explicit HistoryRecorder(const QString& folder = QString(), QObject* parent = nullptr);
    ~HistoryRecorder() override;

    // Records the game as state shows it. The notes known for the game are put on its planets at
    // once; when the game is another than before, its notes follow with notesChanged().
    void record(ProgramState& state);
    // Puts the known notes on the planets again (after the planets were read anew).
    void applyNotes(ProgramState& state) const;

    // A planet's note: kept at once, written to the store by the worker. Empty removes it.
    void setNote(ProgramState& state, int16_t planet, const QString& text);
    QString note(int16_t planet) const;

    void requestHistory(int16_t planet);
    void requestChanges(int32_t from, int32_t to);

    // The turns recorded, as of the last answer.
    const std::vector<history::TurnInfo>& turns() const { return m_turns; }

    // Waits until the worker has done all that was asked and delivers its answers (tests, closing).
    void finishPending();

signals:
    void recorded(const vornex::HistoryUpdate& update);
    void notesChanged();
    void historyReady(int16_t planet, const std::vector<vornex::history::HistoryEntry>& entries);
    void changesReady(int32_t from, int32_t to, const std::vector<vornex::history::Change>& changes);

private:
    struct Worker;
    template <typename Call> void post(Call&& call);

    QThread m_thread;
    QObject* m_context = nullptr; // lives in the worker thread
    Worker* m_worker = nullptr;   // used only in the worker thread
    std::string m_identity;       // the game recorded last
    std::map<int16_t, std::string> m_notes;
    std::vector<history::TurnInfo> m_turns;
};

} // namespace vornex

Q_DECLARE_METATYPE(vornex::HistoryUpdate)
