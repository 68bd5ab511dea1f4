#pragma once
// One game's history in one SQLite file: the turns recorded, each planet's figures from the turn
// they changed on (only changes are stored), and a note per planet. Each turn is written in one
// transaction in a write-ahead log, so a crash or a full disk leaves the store as it was before the
// turn. Several programs may record the same game at once: the second to come finds the turn
// recorded and records nothing.
//
// Every call throws StoreError on failure; GameHistory turns those into messages.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "history/changes.h"
#include "history/database.h"
#include "history/planetstate.h"
#include "history/turncount.h"

namespace vornex::history {

using States = std::unordered_map<int16_t, PlanetState>;

struct TurnInfo {
    int32_t turn = 0;
    std::string recordedAt; // UTC, "2026-12-08 07:30:00"
    std::string how;        // how the turn's number was found
    int64_t planets = 0;    // planets whose figures changed in it
};

struct RecordResult {
    enum class Outcome {
        Recorded,  // a new turn
        Updated,   // more of the last turn (an export file that came later, say)
        Unchanged, // the last turn shows just this
        Older,     // older than the last turn recorded: nothing written
    };
    Outcome outcome = Outcome::Unchanged;
    int32_t turn = 0;
    TurnCount count;
    int changedPlanets = 0;
    std::vector<Change> changes; // against the turn before
};

struct HistoryEntry {
    int32_t turn = 0;
    PlanetState state;
    bool changed = false; // the figures (or the report) changed in this turn
};

class HistoryStore {
public:
    // Opens the store, creating it or bringing an older one up to date.
    explicit HistoryStore(const std::string& path);

    // Records what the program shows now. now holds every planet of the map.
    RecordResult record(const std::vector<Observation>& now, const NameOf& nameOf);

    std::vector<TurnInfo> turns();
    int32_t lastTurn();
    // Every planet as it stood at the turn (planets first reported later are missing).
    States statesAt(int32_t turn);
    // What changed from turn `from` to turn `to`; nothing when from is no turn (0).
    std::vector<Change> changes(int32_t from, int32_t to, const NameOf& nameOf);
    // The planet at every turn from its first record on.
    std::vector<HistoryEntry> planetHistory(int16_t planet);

    std::map<int16_t, std::string> notes();
    // An empty text removes the note.
    void setNote(int16_t planet, const std::string& text);

    std::optional<std::string> meta(const std::string& key);
    void setMeta(const std::string& key, const std::string& value);

    Database& database() { return m_db; }

private:
    void refreshCache();
    int32_t previousTurn(int32_t turn);
    void writeState(Statement& insert, int32_t turn, const PlanetState& s, int32_t reportedTurn);

    Database m_db;
    States m_latest; // the last recorded state of every planet
    int32_t m_latestTurn = 0;
    int64_t m_cacheVersion = -1; // PRAGMA data_version when m_latest was read
};

// The time now in UTC, as the store writes it.
std::string nowText();

} // namespace vornex::history
