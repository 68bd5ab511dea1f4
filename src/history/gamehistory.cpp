#include "history/gamehistory.h"

#include <cstdio>
#include <unordered_map>

#include "base/numeric.h"
#include "io/platform.h"

namespace vornex::history {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// 64-bit FNV-1a: stable across systems and versions, unlike std::hash.
struct Fnv {
    uint64_t h = 14695981039346656037ull;
    void add(std::string_view bytes)
    {
        for (unsigned char c : bytes) {
            h ^= c;
            h *= 1099511628211ull;
        }
    }
    void add(int64_t v) { add(num::intText(v) + '\t'); }
};

bool exists(const std::string& path)
{
    return platform::inspect(path).exists;
}

} // namespace

std::string gameIdentity(const Map& planets, int16_t player)
{
    Fnv f;
    for (const auto& p : planets) {
        f.add(p->ID);
        f.add(p->Xcord);
        f.add(p->Ycord);
        f.add(p->PlanetName);
        f.add("\n");
    }
    char text[40];
    std::snprintf(text, sizeof text, "%016llx-p%d", static_cast<unsigned long long>(f.h), int(player));
    return text;
}

std::string defaultHistoryFolder()
{
    const std::string data = platform::userDataFolder();
    if (data.empty()) return {};
    return data + kSeparator + "VornexTools" + kSeparator + "history";
}

std::string storePath(const std::string& folder, const std::string& identity)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += kSeparator;
    return path + identity + ".sqlite";
}

std::string damagedName(const std::string& path)
{
    const std::string base = path + ".damaged-" + nowText().substr(0, 10);
    std::string name = base;
    for (int n = 2; exists(name) || exists(name + "-wal"); ++n)
        name = base + "-" + num::intText(n);
    return name;
}

GameHistory::GameHistory(const std::string& folder, const Map& planets, int16_t player, const std::string& gameName)
    : GameHistory(folder, gameIdentity(planets, player), player, gameName)
{
}

GameHistory::GameHistory(const std::string& folder, const std::string& identity, int16_t player,
                         const std::string& gameName)
    : m_gameName(gameName), m_player(player)
{
    if (folder.empty()) {
        m_error = "no folder for the history is known (neither a data folder nor a home folder is set)";
        return;
    }
    platform::SysError err;
    if (!platform::makeFolders(folder, err)) {
        m_error = "cannot make the history folder " + folder + ": " + err.text;
        return;
    }
    m_path = storePath(folder, identity);
    open();
}

void GameHistory::open()
{
    try {
        m_store = std::make_unique<HistoryStore>(m_path);
        if (!m_store->meta("game")) {
            m_store->setMeta("game", m_gameName);
            m_store->setMeta("player", num::intText(m_player));
        }
    } catch (const StoreError& e) {
        m_store.reset();
        if (e.damaged())
            failed(e);
        else
            m_error = "cannot open the history store " + m_path + ": " + e.what();
    }
}

void GameHistory::failed(const StoreError& e)
{
    if (!e.damaged()) {
        m_error = std::string("history store ") + m_path + ": " + e.what();
        return;
    }
    // The damaged file stays whole beside the new one, its log with it, for whoever wants to look.
    m_store.reset();
    const std::string aside = damagedName(m_path);
    platform::SysError err;
    if (!platform::renameWithoutReplacing(m_path, aside, err)) {
        m_error =
            "the history store " + m_path + " is damaged (" + e.what() + ") and cannot be moved aside: " + err.text;
        return;
    }
    for (const char* extra : {"-wal", "-shm"})
        if (exists(m_path + extra)) platform::renameWithoutReplacing(m_path + extra, aside + extra, err);
    m_notice = std::string("The history store was damaged (") + e.what() + "); it was moved aside as " + aside +
               " and a new one started.";
    m_error.clear();
    try {
        m_store = std::make_unique<HistoryStore>(m_path);
        m_store->setMeta("game", m_gameName);
        m_store->setMeta("player", num::intText(m_player));
    } catch (const StoreError& again) {
        m_store.reset();
        m_error = "cannot start a new history store " + m_path + ": " + again.what();
    }
}

std::optional<RecordResult> GameHistory::record(const Map& planets)
{
    return record(observe(planets));
}

std::optional<RecordResult> GameHistory::record(const std::vector<Observation>& now)
{
    std::optional<RecordResult> result;
    m_error.clear();
    std::unordered_map<int16_t, const std::string*> names;
    auto nameOf = [&](int16_t id) {
        // Only the planets that made the list of changes are named: the index is made on the first.
        if (names.empty())
            for (const auto& o : now)
                names.emplace(o.state.planet, &o.name);
        auto it = names.find(id);
        return it != names.end() ? *it->second : "planet " + num::intText(id);
    };
    auto call = [&](HistoryStore& s) { result = s.record(now, nameOf); };
    // A store found damaged on the way has been started anew: the turn goes into the new one.
    if (!guarded(call) && m_store && m_error.empty()) guarded(call);
    return result;
}

} // namespace vornex::history
