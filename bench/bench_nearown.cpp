// nearest_own: the distance from every planet of the largest galaxy to the nearest of a thousand
// worlds of yours, as the planet table and `vornexinfo-report --near-own` compute it, against the
// plain loop over every pair (nearest_own_plain) in the same run.

#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <random>

#include "analysis/nearestown.h"
#include "base/numeric.h"
#include "nearown.h"

namespace vornex::bench {

namespace {

const char* const kOwnRace = "Bench own race";
Map* g_owned = nullptr;

void BM_nearest_own(benchmark::State& state)
{
    for (auto _ : state) {
        auto nearest = nearestOwnWorlds(*g_owned, kOwnRace);
        benchmark::DoNotOptimize(nearest.data());
    }
}

void BM_nearest_own_plain(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<PlanetPtr> worlds;
        for (const auto& p : *g_owned)
            if (p->Owner == kOwnRace) worlds.push_back(p);
        std::vector<NearestOwn> nearest;
        nearest.reserve(size_t(g_owned->Count()));
        for (const auto& p : *g_owned) {
            NearestOwn n;
            int64_t best = std::numeric_limits<int64_t>::max();
            for (const auto& w : worlds) {
                const int64_t dx = int64_t(w->Xcord) - p->Xcord, dy = int64_t(w->Ycord) - p->Ycord;
                if (dx * dx + dy * dy < best) {
                    best = dx * dx + dy * dy;
                    n.world = w;
                }
            }
            if (n.world) n.distance = num::tryInt16(std::sqrt(double(best)));
            nearest.push_back(std::move(n));
        }
        benchmark::DoNotOptimize(nearest.data());
    }
}

} // namespace

void registerNearestOwn(const Map& planets)
{
    // The galaxy's planets once more, a thousand of them (chosen at random) yours.
    g_owned = new Map;
    std::mt19937 random(23);
    std::vector<bool> own(size_t(planets.Count()), false);
    for (int chosen = 0; chosen < 1000 && chosen < planets.Count();) {
        const size_t i = random() % own.size();
        if (!own[i]) own[i] = true, ++chosen;
    }
    size_t i = 0;
    for (const auto& p : planets) {
        PlanetPtr copy = g_owned->Add(p->PlanetName);
        *copy = *p;
        if (own[i++]) copy->Owner = kOwnRace;
    }
    benchmark::RegisterBenchmark("nearest_own", BM_nearest_own)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("nearest_own_plain", BM_nearest_own_plain)->Unit(benchmark::kMillisecond);
}

} // namespace vornex::bench
