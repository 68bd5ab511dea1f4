#pragma once
// Following a game while the program runs: watches the game's files and reads a new turn once they
// have been written, keeping the galaxy shown when the files give none. Says what happened in
// one line for the status bar; the window listens to turnReloaded to show the new planets.

#include <QObject>
#include <QString>
#include <functional>

#include "app/gamewatcher.h"
#include "app/turnreload.h"

namespace vornex {

class GameFollower : public QObject {
    Q_OBJECT
public:
    explicit GameFollower(ProgramState& state, QObject* parent = nullptr);

    // Starts following state.game (after start-up and after Open Game): what its files hold now
    // counts as read.
    void follow();
    // Reads the turn again: the watcher calls it when the files changed, F5 by hand (which also
    // watches the game afresh, in case its folder came back). A file whose last line has no line
    // end, or that changed while it was read, is waited for and read again, at most
    // kMaxWaits quiet periods; then what is there is shown, and the message says so.
    void reload(bool byHand = false);

    GameWatcher* watcher() { return &m_watcher; }
    // The program wrote one of the game's files itself (its own export file): not a new turn.
    void ownFileWritten(const QString& path);

    // Reads the turn; readTurn outside tests.
    void setReader(std::function<TurnRead(const Game&)> reader) { m_reader = std::move(reader); }

    static constexpr int kMaxWaits = 10;
    // "Turn files reloaded: 3 planets changed".
    static QString reloadedText(const TurnReload& result);

signals:
    // The planets were replaced; the views show them.
    void turnReloaded(const vornex::TurnReload& result);
    // One line for the status bar.
    void message(const QString& text);

private:
    ProgramState& m_state;
    GameWatcher m_watcher;
    std::function<TurnRead(const Game&)> m_reader;
    int m_waits = 0;
};

} // namespace vornex
