#pragma once
// A game's history store, found and opened the same way by the window and by vornexinfo-report:
// one SQLite file per game in the user's data folder, named for the game's identity, which is the
// content of its map file and the player number, so that a game folder moved or renamed keeps its
// history. A store that cannot be read is moved aside and a new one started; a failure of the store
// never stops the map from loading, it becomes a message.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/historystore.h"
#include "model/collections.h"

namespace vornex::history {

// "3f2a9c0d1b7e4a55-p3": a hash of every planet's number, position and name in map order, and the
// player number.
std::string gameIdentity(const Map& planets, int16_t player);

// The user's folder of history stores: VornexTools/history in the data folder of the system
// ($XDG_DATA_HOME or ~/.local/share on Linux, %APPDATA% on Windows). Empty when there is none.
std::string defaultHistoryFolder();

// The store file of a game in folder.
std::string storePath(const std::string& folder, const std::string& identity);

class GameHistory {
public:
    // The store of the game whose planets are loaded, in folder (made when missing). Never throws:
    // a store that cannot be used leaves store() empty and error() saying why.
    GameHistory(const std::string& folder, const Map& planets, int16_t player, const std::string& gameName);
    // The same for a game whose identity is known (gameIdentity).
    GameHistory(const std::string& folder, const std::string& identity, int16_t player, const std::string& gameName);

    const std::string& path() const { return m_path; }
    // Null when the store could not be opened (see error()).
    HistoryStore* store() { return m_store.get(); }
    // Why the store cannot be used, or the last call failed; empty when all went well.
    const std::string& error() const { return m_error; }
    // Something the user should know that did not stop the store: a damaged store moved aside.
    const std::string& notice() const { return m_notice; }

    // Records the planets as shown now. nullopt (and error()) when the turn could not be written:
    // the store is as it was before.
    std::optional<RecordResult> record(const Map& planets);
    // The same for planets observed before (observe), perhaps in another thread.
    std::optional<RecordResult> record(const std::vector<Observation>& now);

    // Runs a call of the store; a damaged store found on the way is moved aside and started anew
    // (the call is not repeated), any failure becomes error(). False when it failed.
    template <typename Call> bool guarded(Call&& call)
    {
        if (!m_store) return false;
        try {
            call(*m_store);
            return true;
        } catch (const StoreError& e) {
            failed(e);
            return false;
        }
    }

private:
    void open();
    void failed(const StoreError& e);

    std::string m_path, m_gameName;
    int16_t m_player = 0;
    std::unique_ptr<HistoryStore> m_store;
    std::string m_error, m_notice;
};

// The name a damaged store is moved to: path + ".damaged-YYYY-MM-DD" (and "-2", "-3" ... when that
// is taken).
std::string damagedName(const std::string& path);

} // namespace vornex::history
