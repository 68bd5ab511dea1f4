// The history store on the largest galaxy: recording a turn in which 5 % of the planets changed
// (record_turn) against the same turn written as one prepared INSERT per planet in one transaction
// (record_all, timed in the same run), one planet's 100 turns (planet_history, target 5 ms), and the
// store's size after 100 such turns (goal 20 MB).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sqlite3.h>
#include <string_view>
#include <type_traits>

#include "bench_history.h"
#include "galaxy.h"
#include "history/gamehistory.h"
#include "history/historystore.h"
#include "history/schema.h"

namespace vornex::bench {
namespace {

using namespace history;

constexpr int kPlanets = 32767;
constexpr int kTurns = 100;

std::string nameOf(int16_t id)
{
    return "Planet " + std::to_string(id);
}

// Every planet reported, as in a long game; a quarter with an owner and colonists.
Map largestGalaxy()
{
    Map m;
    m.Reserve(kPlanets);
    std::mt19937 random(20261208);
    for (int i = 1; i <= kPlanets; ++i) {
        auto p = m.Add(nameOf(static_cast<int16_t>(i)));
        p->ID = static_cast<int16_t>(i);
        p->PlanetName = nameOf(p->ID);
        p->ReportAge = static_cast<int16_t>(random() % 30);
        p->Source = Planet::From::Report;
        const bool owned = random() % 4 == 0;
        p->Owner = owned ? "Race " + std::to_string(random() % 16 + 1) : "Uninhabited";
        p->Population = owned ? static_cast<int32_t>(random() % 1000000) : 0;
        p->Value = static_cast<int16_t>(random() % 200 - 100);
        p->Def = owned ? static_cast<int16_t>(random() % 100) : 0;
        p->StarbaseType = owned && random() % 3 == 0 ? "Space Station" : "";
        p->Mines = static_cast<int16_t>(random() % 500);
        p->Factories = static_cast<int16_t>(random() % 500);
        p->SurfaceIron = static_cast<int32_t>(random() % 5000);
        p->SurfaceBora = static_cast<int32_t>(random() % 5000);
        p->SurfaceGerm = static_cast<int32_t>(random() % 5000);
        p->ConcentrationIron = static_cast<int16_t>(random() % 120);
        p->ConcentrationBora = static_cast<int16_t>(random() % 120);
        p->ConcentrationGerm = static_cast<int16_t>(random() % 120);
        p->Grav = std::to_string(random() % 800 / 100.0).substr(0, 4);
        p->Temp = std::to_string(int(random() % 400) - 200);
        p->Rad = std::to_string(random() % 100);
    }
    return m;
}

// A year on: every report one year older, and 5 % of the planets reported afresh with new figures.
void nextTurn(Map& m, std::mt19937& random)
{
    for (const auto& p : m)
        ++p->ReportAge;
    for (int k = 0; k < kPlanets / 20; ++k) {
        Planet* p = m.Raw(1 + static_cast<int64_t>(random() % kPlanets));
        p->ReportAge = 0;
        p->Population = static_cast<int32_t>(random() % 1000000);
        p->Def = static_cast<int16_t>(random() % 100);
    }
}

struct HistoryFixture {
    std::string folder;
    Map planets;
    std::mt19937 random{7};
    std::unique_ptr<HistoryStore> store;
    int16_t probe = 1234;
};

HistoryFixture* g_history = nullptr;

HistoryFixture& fixture()
{
    static HistoryFixture* f = g_history = [] {
        auto* h = new HistoryFixture;
        h->folder = makeTempFolder("vornex-history-");
        h->planets = largestGalaxy();
        h->store = std::make_unique<HistoryStore>(h->folder + "game.sqlite");
        for (int t = 1; t <= kTurns; ++t) {
            if (t > 1) nextTurn(h->planets, h->random);
            h->store->record(observe(h->planets), nameOf);
        }
        h->store->database().exec("PRAGMA wal_checkpoint(TRUNCATE)");
        std::error_code ec;
        const auto bytes = std::filesystem::file_size(h->folder + "game.sqlite", ec);
        std::printf("history store after %d turns of %d planets, 5 %% changed a turn: %.1f MB (goal 20 MB) %s\n",
                    kTurns, kPlanets, double(bytes) / 1e6, bytes <= 20'000'000 ? "ok" : "MISS");
        return h;
    }();
    return *f;
}

void BM_record_turn(benchmark::State& state)
{
    HistoryFixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        nextTurn(f.planets, f.random);
        state.ResumeTiming();
        auto r = f.store->record(observe(f.planets), nameOf);
        benchmark::DoNotOptimize(r.turn);
    }
}
BENCHMARK(BM_record_turn)->Unit(benchmark::kMillisecond)->Iterations(20);

// The plain way: the turn's every planet written with one prepared INSERT in one transaction.
void BM_record_all(benchmark::State& state)
{
    HistoryFixture& f = fixture();
    HistoryStore plain(f.folder + "plain.sqlite");
    sqlite3* db = plain.database().handle();
    std::string sql = std::string("INSERT INTO planet_states(planet, turn, ") + kStateColumns + ") VALUES(?";
    for (int i = 0; i <= kStateColumnCount; ++i)
        sql += ",?";
    sql += ")";
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr);
    int turn = 0;
    for (auto _ : state) {
        ++turn;
        const auto now = observe(f.planets);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const auto& o : now) {
            const PlanetState& s = o.state;
            int c = 1;
            sqlite3_bind_int64(insert, c++, s.planet);
            sqlite3_bind_int64(insert, c++, turn);
            putStateColumns(s, turn - o.age, [&](auto v) {
                if constexpr (std::is_same_v<decltype(v), std::string_view>)
                    sqlite3_bind_text(insert, c++, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
                else
                    sqlite3_bind_int64(insert, c++, v);
            });
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(insert);
}
BENCHMARK(BM_record_all)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_planet_history(benchmark::State& state)
{
    HistoryFixture& f = fixture();
    double total = 0;
    size_t turns = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto h = f.store->planetHistory(f.probe);
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        turns = h.size();
        benchmark::DoNotOptimize(h.data());
    }
    const double ms = total / double(state.iterations());
    std::printf("planet_history %.3f ms for %zu turns (target 5 ms) %s\n", ms, turns, ms < 5 ? "ok" : "MISS");
}
BENCHMARK(BM_planet_history)->Unit(benchmark::kMillisecond)->Iterations(50);

// The window's share of recording a turn, on its own thread: the game's identity and a copy of the
// figures; the store is written in the recorder's worker. It must fit in a frame (16 ms at 60 Hz).
void BM_record_snapshot(benchmark::State& state)
{
    HistoryFixture& f = fixture();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto identity = gameIdentity(f.planets, 1);
        auto now = observe(f.planets);
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(identity.data());
        benchmark::DoNotOptimize(now.data());
    }
    const double ms = total / double(state.iterations());
    std::printf("record_snapshot %.2f ms on the window's thread for %d planets (a frame: 16 ms) %s\n", ms, kPlanets,
                ms < 16 ? "ok" : "MISS");
}
BENCHMARK(BM_record_snapshot)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

void removeHistoryFixture()
{
    if (!g_history) return;
    g_history->store.reset();
    removeFolder(g_history->folder);
}

} // namespace vornex::bench
