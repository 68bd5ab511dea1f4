#include "history/historystore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <sqlite3.h>

#include "base/numeric.h"
#include "history/schema.h"

namespace vornex::history {

namespace {

const std::string kSelectStates = std::string("SELECT planet, turn, ") + kStateColumns + " FROM planet_states";

// A figure outside its range means the file was changed by hand or damaged: treated as damage.
template <typename T> T inRange(int64_t v, const char* what)
{
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        throw StoreError(SQLITE_CORRUPT, std::string("a stored ") + what + " is out of range");
    return static_cast<T>(v);
}

// The row's planet and turn, and its figures from column 2 on.
PlanetState readState(const Statement& s, int32_t& turn)
{
    PlanetState p;
    int c = 0;
    auto i16 = [&](const char* what) { return inRange<int16_t>(s.integer(c++), what); };
    auto i32 = [&](const char* what) { return inRange<int32_t>(s.integer(c++), what); };
    p.planet = i16("planet number");
    turn = i32("turn");
    p.reported = s.integer(c++) != 0;
    p.reportedTurn = i32("report turn");
    p.owner = s.text(c++);
    p.starbase = s.text(c++);
    p.population = i32("population");
    p.value = i16("value");
    p.defences = i16("defences");
    p.mines = i16("mines");
    p.factories = i16("factories");
    for (auto& v : p.surface)
        v = i32("surface mineral");
    for (auto& v : p.miningRate)
        v = i16("mining rate");
    for (auto& v : p.concentration)
        v = i16("concentration");
    p.grav = s.text(c++);
    p.temp = s.text(c++);
    p.rad = s.text(c++);
    p.source = s.text(c++);
    return p;
}

} // namespace

std::string nowText()
{
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), int(time.hours().count()), int(time.minutes().count()),
                  int(time.seconds().count()));
    return text;
}

HistoryStore::HistoryStore(const std::string& path) : m_db(path)
{
    sqlite3_busy_timeout(m_db.handle(), 10000);
    // Reading the version is the first read of the file: a file that is no database fails here.
    upgradeSchema(m_db);
    m_db.exec("PRAGMA journal_mode = WAL");
    m_db.exec("PRAGMA synchronous = FULL");
}

void HistoryStore::refreshCache()
{
    const int64_t version = m_db.number("PRAGMA data_version");
    if (version == m_cacheVersion) return;
    m_latest.clear();
    // In the table's order: a planet's later rows come after its earlier ones.
    Statement s(m_db.handle(), kSelectStates + " ORDER BY turn, planet");
    int32_t turn = 0;
    while (s.step()) {
        PlanetState p = readState(s, turn);
        m_latest[p.planet] = std::move(p);
    }
    m_latestTurn = static_cast<int32_t>(m_db.number("SELECT coalesce(max(turn), 0) FROM turns"));
    m_cacheVersion = version;
}

void HistoryStore::writeState(Statement& insert, int32_t turn, const PlanetState& s, int32_t reportedTurn)
{
    insert.bind(1, s.planet).bind(2, turn);
    int c = 3;
    putStateColumns(s, reportedTurn, [&](auto v) { insert.bind(c++, v); });
    insert.step();
    insert.reset();
}

RecordResult HistoryStore::record(const std::vector<Observation>& now, const NameOf& nameOf)
{
    RecordResult r;
    // Taking the write lock first makes a second program wait here, then see the turn the first
    // one wrote.
    m_db.exec("BEGIN IMMEDIATE");
    try {
        refreshCache();
        r.count = countTurn(m_latest, m_latestTurn, now);
        r.turn = r.count.turn;
        if (r.count.kind == TurnCount::Kind::Older) {
            m_db.exec("ROLLBACK");
            r.outcome = RecordResult::Outcome::Older;
            return r;
        }
        // The planets whose figures or report changed, with the turn of their report: pointers into
        // `now`, so that a first turn of a large galaxy is not held twice.
        std::vector<std::pair<const PlanetState*, int32_t>> changed;
        for (const auto& o : now) {
            const int32_t reportedTurn = o.state.reported ? r.turn - o.age : 0;
            auto it = m_latest.find(o.state.planet);
            if (it != m_latest.end() && it->second.reportedTurn == reportedTurn && sameFigures(it->second, o.state))
                continue;
            changed.emplace_back(&o.state, reportedTurn);
        }
        const bool same = r.count.kind == TurnCount::Kind::Same;
        if (same && changed.empty()) {
            m_db.exec("ROLLBACK");
            r.outcome = RecordResult::Outcome::Unchanged;
            return r;
        }
        // In key order: the turn's rows go to the end of the table one after the other. A planet
        // seen twice keeps its first figures.
        std::stable_sort(changed.begin(), changed.end(),
                         [](const auto& a, const auto& b) { return a.first->planet < b.first->planet; });
        changed.erase(std::unique(changed.begin(), changed.end(),
                                  [](const auto& a, const auto& b) { return a.first->planet == b.first->planet; }),
                      changed.end());
        std::string values = "?";
        for (int i = 0; i <= kStateColumnCount; ++i)
            values += ",?";
        Statement insert(m_db.handle(), std::string("INSERT OR REPLACE INTO planet_states(planet, turn, ") +
                                            kStateColumns + ") VALUES(" + values + ")");
        for (const auto& [state, reportedTurn] : changed)
            writeState(insert, r.turn, *state, reportedTurn);
        Statement turn(m_db.handle(), "INSERT INTO turns(turn, recorded_at, how) VALUES(?, ?, ?)"
                                      " ON CONFLICT(turn) DO UPDATE SET recorded_at = excluded.recorded_at");
        turn.bind(1, r.turn).bind(2, nowText()).bind(3, r.count.how).step();
        m_db.exec("COMMIT");
        r.changedPlanets = static_cast<int>(changed.size());
        if (r.count.kind == TurnCount::Kind::First) {
            // Against nothing every planet would be a first report: the first turn lists no changes.
            // The planets are read back from the file when the next turn comes, rather than kept
            // here beside the caller's copy of them.
            r.outcome = RecordResult::Outcome::Recorded;
            m_cacheVersion = -1;
            return r;
        }
        States after;
        for (const auto& [state, reportedTurn] : changed) {
            PlanetState& s = after.emplace(state->planet, *state).first->second;
            s.reportedTurn = reportedTurn;
        }
        r.outcome = same ? RecordResult::Outcome::Updated : RecordResult::Outcome::Recorded;
        // More of the same turn: what changed is measured against the turn before it.
        if (!same) r.changes = listChanges(m_latest, after, nameOf);
        for (auto& [id, s] : after)
            m_latest[id] = std::move(s);
        m_cacheVersion = m_db.number("PRAGMA data_version");
        if (same) {
            r.changes = changes(previousTurn(r.turn), r.turn, nameOf);
        } else {
            m_latestTurn = r.turn;
        }
    } catch (...) {
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        m_cacheVersion = -1; // read again: what is in the file is what counts
        throw;
    }
    return r;
}

int32_t HistoryStore::previousTurn(int32_t turn)
{
    Statement s(m_db.handle(), "SELECT coalesce(max(turn), 0) FROM turns WHERE turn < ?");
    s.bind(1, turn);
    return s.step() ? static_cast<int32_t>(s.integer(0)) : 0;
}

int32_t HistoryStore::lastTurn()
{
    return static_cast<int32_t>(m_db.number("SELECT coalesce(max(turn), 0) FROM turns"));
}

std::vector<TurnInfo> HistoryStore::turns()
{
    std::vector<TurnInfo> out;
    Statement s(m_db.handle(), "SELECT t.turn, t.recorded_at, t.how, (SELECT count(*) FROM planet_states p"
                               " WHERE p.turn = t.turn) FROM turns t ORDER BY t.turn");
    while (s.step())
        out.push_back({inRange<int32_t>(s.integer(0), "turn"), s.text(1), s.text(2), s.integer(3)});
    return out;
}

States HistoryStore::statesAt(int32_t turn)
{
    States out;
    Statement s(m_db.handle(), kSelectStates + " WHERE turn <= ? ORDER BY turn, planet");
    s.bind(1, turn);
    int32_t at = 0;
    while (s.step()) {
        PlanetState p = readState(s, at);
        out[p.planet] = std::move(p);
    }
    return out;
}

std::vector<Change> HistoryStore::changes(int32_t from, int32_t to, const NameOf& nameOf)
{
    // Against no turn at all every planet would be a first report: that is no news.
    if (from <= 0) return {};
    return listChanges(statesAt(from), statesAt(to), nameOf);
}

std::vector<HistoryEntry> HistoryStore::planetHistory(int16_t planet)
{
    std::vector<HistoryEntry> out;
    // One look-up a turn in the table kept by turn and planet.
    Statement rows(m_db.handle(),
                   kSelectStates + " WHERE turn IN (SELECT turn FROM turns) AND planet = ? ORDER BY turn");
    rows.bind(1, planet);
    std::vector<std::pair<int32_t, PlanetState>> changed;
    int32_t turn = 0;
    while (rows.step()) {
        PlanetState p = readState(rows, turn);
        changed.emplace_back(turn, std::move(p));
    }
    if (changed.empty()) return out;
    Statement turns(m_db.handle(), "SELECT turn FROM turns WHERE turn >= ? ORDER BY turn");
    turns.bind(1, changed.front().first);
    size_t next = 0;
    while (turns.step()) {
        HistoryEntry e;
        e.turn = inRange<int32_t>(turns.integer(0), "turn");
        while (next < changed.size() && changed[next].first <= e.turn)
            ++next;
        e.changed = changed[next - 1].first == e.turn;
        e.state = changed[next - 1].second;
        out.push_back(std::move(e));
    }
    return out;
}

std::map<int16_t, std::string> HistoryStore::notes()
{
    std::map<int16_t, std::string> out;
    Statement s(m_db.handle(), "SELECT planet, text FROM notes");
    while (s.step())
        out[inRange<int16_t>(s.integer(0), "planet number")] = s.text(1);
    return out;
}

void HistoryStore::setNote(int16_t planet, const std::string& text)
{
    if (text.empty()) {
        Statement s(m_db.handle(), "DELETE FROM notes WHERE planet = ?");
        s.bind(1, planet).step();
        return;
    }
    Statement s(m_db.handle(), "INSERT OR REPLACE INTO notes(planet, text, changed_at) VALUES(?, ?, ?)");
    s.bind(1, planet).bind(2, text).bind(3, nowText()).step();
}

std::optional<std::string> HistoryStore::meta(const std::string& key)
{
    Statement s(m_db.handle(), "SELECT value FROM meta WHERE key = ?");
    s.bind(1, key);
    if (!s.step()) return std::nullopt;
    return s.text(0);
}

void HistoryStore::setMeta(const std::string& key, const std::string& value)
{
    Statement s(m_db.handle(), "INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)");
    s.bind(1, key).bind(2, value).step();
}

} // namespace vornex::history
