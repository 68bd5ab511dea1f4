// nearest_own: the distance from every planet of the largest galaxy to the nearest of a thousand
// worlds of yours, as the planet table and `vornexinfo-report --near-own` work it out from the
// table's rows (setNearestOwn), against the plain loop over every pair of planet and world
// (nearest_own_plain) on the same rows in the same run.

#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <random>

#include "analysis/planetrows.h"
#include "base/numeric.h"
#include "nearown.h"

namespace vornex::bench {

namespace {

const char* const kOwnRace = "Bench own race";
std::vector<PlanetRow>* g_rows = nullptr;

void BM_nearest_own(benchmark::State& state)
{
    for (auto _ : state) {
        setNearestOwn(*g_rows, kOwnRace);
        benchmark::DoNotOptimize(g_rows->data());
    }
}

void BM_nearest_own_plain(benchmark::State& state)
{
    std::vector<PlanetRow>& rows = *g_rows;
    for (auto _ : state) {
        std::vector<const PlanetRow*> worlds;
        for (const PlanetRow& r : rows)
            if (r.owner == kOwnRace) worlds.push_back(&r);
        for (PlanetRow& r : rows) {
            const PlanetRow* nearest = nullptr;
            int64_t best = std::numeric_limits<int64_t>::max();
            for (const PlanetRow* w : worlds) {
                const int64_t dx = int64_t(w->x) - r.x, dy = int64_t(w->y) - r.y;
                if (dx * dx + dy * dy < best) {
                    best = dx * dx + dy * dy;
                    nearest = w;
                }
            }
            r.nearOwn.reset();
            r.nearOwnName.clear();
            if (!nearest) continue;
            r.nearOwnName = nearest->name;
            if (auto d = num::tryInt16(std::sqrt(double(best)))) r.nearOwn = *d;
        }
        benchmark::DoNotOptimize(rows.data());
    }
}

} // namespace

void registerNearestOwn(const Map& planets, const Player* race, const Gravities& gravities)
{
    // The galaxy's rows, a thousand of them (chosen at random) yours.
    g_rows = new std::vector<PlanetRow>(planetRows(planets, race, gravities));
    std::mt19937 random(23);
    for (int chosen = 0; chosen < 1000 && chosen < int(g_rows->size());) {
        PlanetRow& r = (*g_rows)[random() % g_rows->size()];
        if (r.owner != kOwnRace) r.owner = kOwnRace, ++chosen;
    }
    benchmark::RegisterBenchmark("nearest_own", BM_nearest_own)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("nearest_own_plain", BM_nearest_own_plain)->Unit(benchmark::kMillisecond);
}

} // namespace vornex::bench
