// vornex_bench: the performance targets of the largest galaxy, measured as ratios against a
// baseline timed in the same run of the same executable (absolute times on shared machines are
// noise). Besides Google Benchmark's table it prints one line per target:
//   ratio NAME VALUE (target LIMIT) ok|MISS
//
//   vornex_bench [benchmark options]       run everything
//   vornex_bench --write-galaxy FOLDER     only write the generated galaxy (for memory figures)

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "analysis/habvalue.h"
#include "analysis/numeric.h"
#include "analysis/panel.h"
#include "galaxy.h"
#include "io/codepage.h"
#include "io/exportfile.h"
#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "io/tables.h"
#include "io/textfile.h"

#ifdef VORNEX_BENCH_MAP
#include <QApplication>
#include <QImage>
#include <QPainter>

#include "analysis/view.h"
#include "app/programstate.h"
#include "ui/frmmap.h"
#include "ui/mapsurface.h"
#endif

namespace vornex::bench {
namespace {

// The galaxy on disk, its bytes in memory (for the scan baseline) and the loaded tables.
struct Fixture {
    std::string folder;
    std::string allBytes;
    Gravities gravities;
    Players players;
    Map planets;
    Diagnostics diags;
    // Environment of every planet as HabValue takes it.
    struct Env {
        float g;
        int16_t t, r;
    };
    std::vector<Env> env;
};
Fixture* g_fix = nullptr;

void loadTables(const std::string& folder, Gravities& gravities, Players& players, Map& planets,
                Diagnostics& diags)
{
    MemorySettings settings;
    settings.write(kApplication, "Settings", "YourNumber", std::to_string(kGalaxyPlayer));
    FixedAnswer prompter(std::to_string(kGalaxyPlayer));
    gravities = LoadGravities(folder, diags);
    players = LoadPlayers(folder, diags);
    LoadPlanets(planets, folder, kGalaxyGame, settings, prompter, diags);
}

void setUpFixture()
{
    g_fix = new Fixture;
    g_fix->folder = makeTempFolder("vornex-bench-");
    writeGalaxy(g_fix->folder);
    const char* names[] = {"gravity.csv", "player.inf", "galaxy.map", "galaxy.p1"};
    for (const char* n : names) g_fix->allBytes += readFileBytes(g_fix->folder + n).value_or("");
    for (int i = 1; i <= 16; ++i)
        g_fix->allBytes += readFileBytes(g_fix->folder + "export.p" + std::to_string(i)).value_or("");
    loadTables(g_fix->folder, g_fix->gravities, g_fix->players, g_fix->planets, g_fix->diags);
    for (const PlanetPtr& p : g_fix->planets) {
        Fixture::Env e{};
        e.g = num::parseSingle(p->Grav).value_or(1.0f);
        e.t = num::parseInt16(p->Temp).value_or(0);
        e.r = num::parseInt16(p->Rad).value_or(50);
        g_fix->env.push_back(e);
    }
    std::printf("galaxy: %d planets, %d players, %d gravity rows, %zu bytes in %s, %zu rejected lines\n",
                g_fix->planets.Count(), g_fix->players.Count(), g_fix->gravities.Count(), g_fix->allBytes.size(),
                g_fix->folder.c_str(), g_fix->diags.size());
    for (size_t i = 0; i < g_fix->diags.size() && i < 5; ++i) std::printf("  %s\n", g_fix->diags[i].text().c_str());
}

// ---- load ----------------------------------------------------------------------------------

void BM_load_baseline(benchmark::State& state)
{
    const std::string& bytes = g_fix->allBytes;
    for (auto _ : state) {
        size_t lines = 0;
        const char* p = bytes.data();
        const char* end = p + bytes.size();
        while (const void* hit = std::memchr(p, '\n', static_cast<size_t>(end - p))) {
            ++lines;
            p = static_cast<const char*>(hit) + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
}

void BM_load(benchmark::State& state)
{
    for (auto _ : state) {
        Gravities gravities;
        Players players;
        Map planets;
        Diagnostics diags;
        loadTables(g_fix->folder, gravities, players, planets, diags);
        benchmark::DoNotOptimize(planets.Count());
    }
}

// ---- habitability and panel --------------------------------------------------------------

void BM_hab_baseline(benchmark::State& state)
{
    for (auto _ : state) {
        long sum = 0;
        for (const PlanetPtr& p : g_fix->planets) sum += p->Xcord + p->Ycord;
        benchmark::DoNotOptimize(sum);
    }
}

void BM_hab_all(benchmark::State& state)
{
    const Player* race = g_fix->players.At(kGalaxyPlayer).get();
    for (auto _ : state) {
        long sum = 0;
        size_t i = 0;
        for (const PlanetPtr& p : g_fix->planets) {
            const Fixture::Env& e = g_fix->env[i++];
            HabResult r = HabValue(e.g, e.t, e.r, race->GravTerra, race->TempTerra, race->RadTerra, race,
                                   g_fix->gravities);
            sum += r.rating;
            benchmark::DoNotOptimize(p);
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_panel_all(benchmark::State& state)
{
    const Player* race = g_fix->players.At(kGalaxyPlayer).get();
    for (auto _ : state) {
        size_t n = 0;
        for (const PlanetPtr& p : g_fix->planets) {
            PanelValues v = computePanel(*p, race, g_fix->gravities);
            n += v.title.size();
        }
        benchmark::DoNotOptimize(n);
    }
}

void BM_export_text(benchmark::State& state)
{
    ExportSelection sel;
    for (int i = 0; i < 16; ++i) {
        sel.captions[static_cast<size_t>(i)] = g_fix->players.At(i + 1)->RaceName;
        sel.checked[static_cast<size_t>(i)] = true;
    }
    sel.uninhabited = true;
    int count = 0;
    for (auto _ : state) {
        std::string text = exportText(g_fix->planets, sel, &count);
        std::string bytes = encodeForFile(text).value_or(std::string());
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["records"] = count;
}

#ifdef VORNEX_BENCH_MAP
// ---- map rendering -----------------------------------------------------------------------

// Stands in for the map window: PlanetInfo selects the nearest planet, computes the panel and
// redraws, as the window does.
class BenchHost : public ui::MapSurfaceHost {
public:
    explicit BenchHost(ProgramState& s) : state(s) {}
    void PlanetInfo(int16_t x, int16_t y) override
    {
        if (auto id = nearestPlanet(state.AllPlanets, x, y)) state.PlanetSelected = *id;
        if (PlanetPtr p = state.selectedPlanet()) {
            PanelValues v = computePanel(*p, state.yourPlayer().get(), state.AllGravities);
            benchmark::DoNotOptimize(v.title.data());
        }
        if (surface) surface->DrawPic();
    }
    bool namesShown() const override { return names; }
    void setDistanceText(const QString&) override {}
    void showStatus(const QString&) override {}

    ProgramState& state;
    ui::MapSurface* surface = nullptr;
    bool names = false;
};

struct MapFixture {
    ProgramState state;
    // The real window for the selection target: panel widgets filled, map redrawn with the ring.
    ProgramState windowState;
    MemorySettings windowSettings;
    FixedAnswer windowPrompter{std::to_string(kGalaxyPlayer)};
    ui::frmMap* window = nullptr;  // left to the process's end
    std::unique_ptr<BenchHost> host;
    std::unique_ptr<ui::MapSurface> surface;
    QImage cached;  // what the baseline blits
    QImage target;
};
MapFixture* g_map = nullptr;

void setUpMap()
{
    g_map = new MapFixture;
    ProgramState& s = g_map->state;
    Diagnostics diags;
    loadTables(g_fix->folder, s.AllGravities, s.AllPlayers, s.AllPlanets, diags);
    s.FileLocation = g_fix->folder;
    s.GameName = kGalaxyGame;
    s.YourNumber = kGalaxyPlayer;
    s.Zoom = 2000;
    s.ClickOption = "Planets";
    s.PlanetSelected = 1;
    g_map->host = std::make_unique<BenchHost>(s);
    g_map->surface = std::make_unique<ui::MapSurface>(s, *g_map->host);
    g_map->host->surface = g_map->surface.get();
    g_map->surface->resize(1000, 700);
    g_map->surface->show();
    QApplication::processEvents();
    g_map->surface->DrawPic();
    g_map->cached = g_map->surface->image().copy();
    g_map->target = QImage(g_map->cached.size(), g_map->cached.format());
    std::printf("map surface: %dx%d image, device pixel ratio %.2f\n", g_map->cached.width(),
                g_map->cached.height(), g_map->cached.devicePixelRatio());

    ProgramState& w = g_map->windowState;
    loadTables(g_fix->folder, w.AllGravities, w.AllPlayers, w.AllPlanets, diags);
    w.FileLocation = g_fix->folder;
    w.GameName = kGalaxyGame;
    w.YourNumber = kGalaxyPlayer;
    w.Zoom = 2000;
    w.ClickOption = "Planets";
    w.PlanetSelected = 1;
    g_map->windowSettings.write(kApplication, "Settings", "YourNumber", std::to_string(kGalaxyPlayer));
    g_map->window = new ui::frmMap(w, g_map->windowSettings, g_map->windowPrompter);
    g_map->window->show();
    // The window gives the map its width minus 337 and its height minus 81 pixels.
    g_map->window->resize(1337, 781);
    QApplication::processEvents();
    std::printf("window map: %dx%d\n", g_map->window->pic()->width(), g_map->window->pic()->height());
}

void resetView(int16_t zoom, int16_t x, int16_t y, bool names)
{
    g_map->state.Zoom = zoom;
    g_map->state.XStart = x;
    g_map->state.YStart = y;
    g_map->host->names = names;
}

void BM_blit(benchmark::State& state)
{
    for (auto _ : state) {
        QPainter p(&g_map->target);
        p.drawImage(0, 0, g_map->cached);
        p.end();
        benchmark::DoNotOptimize(g_map->target.constBits());
    }
}

void BM_draw_all(benchmark::State& state)
{
    resetView(2000, 0, 0, false);
    for (auto _ : state) g_map->surface->DrawPic();
}

void BM_draw_names(benchmark::State& state)
{
    // 600 x 600 of the 2000 x 2000 units: about 3000 of the 32767 planets in view.
    resetView(600, 700, 700, true);
    int inView = 0;
    for (const PlanetPtr& p : g_map->state.AllPlanets)
        if (p->Xcord >= 700 && p->Xcord < 1300 && p->Ycord >= 700 && p->Ycord < 1300) ++inView;
    for (auto _ : state) g_map->surface->DrawPic();
    state.counters["in_view"] = inView;
    resetView(2000, 0, 0, false);
}

void BM_drag_step(benchmark::State& state)
{
    resetView(2000, 0, 0, false);
    int step = 0;
    for (auto _ : state) {
        int16_t d = (step++ & 1) ? -3 : 3;
        g_map->surface->CentreMap("Move", static_cast<int16_t>(1000 + d), static_cast<int16_t>(1000 + d));
    }
    resetView(2000, 0, 0, false);
}

void BM_select(benchmark::State& state)
{
    std::vector<std::pair<int16_t, int16_t>> points;
    int i = 0;
    for (const PlanetPtr& p : g_map->windowState.AllPlanets)
        if (i++ % 97 == 0) points.emplace_back(static_cast<int16_t>(p->Xcord + 1), p->Ycord);
    size_t k = 0;
    for (auto _ : state) {
        auto [x, y] = points[k++ % points.size()];
        g_map->window->PlanetInfo(x, y);
    }
}
#endif

// ---- ratios --------------------------------------------------------------------------------

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as Google Benchmark's own reporter does.
    CollectingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.benchmark_name()] = r.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
    std::map<std::string, double> times;  // seconds per iteration
};

struct Target {
    const char* name;
    const char* bench;
    const char* baseline;
    double limit;
};

}  // namespace
}  // namespace vornex::bench

int main(int argc, char** argv)
{
    using namespace vornex::bench;
    if (argc == 3 && std::strcmp(argv[1], "--write-galaxy") == 0) {
        GalaxyFiles f = writeGalaxy(argv[2]);
        std::printf("wrote %llu bytes to %s (game \"%s\", player %d)\n",
                    static_cast<unsigned long long>(f.totalBytes), f.folder.c_str(), kGalaxyGame, kGalaxyPlayer);
        return 0;
    }
#ifdef VORNEX_BENCH_MAP
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    setUpFixture();
    auto reg = [](const char* name, void (*fn)(benchmark::State&)) {
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond);
    };
    reg("load_baseline", BM_load_baseline);
    reg("load", BM_load);
    reg("hab_baseline", BM_hab_baseline);
    reg("hab_all", BM_hab_all);
    reg("panel_all", BM_panel_all);
    reg("export_text", BM_export_text);
    std::vector<Target> targets = {
        {"load", "load", "load_baseline", 30},
        {"hab_all", "hab_all", "hab_baseline", 50},
    };
#ifdef VORNEX_BENCH_MAP
    setUpMap();
    reg("blit", BM_blit);
    reg("draw_all", BM_draw_all);
    reg("draw_names", BM_draw_names);
    reg("drag_step", BM_drag_step);
    reg("select", BM_select);
    targets.push_back({"draw_all", "draw_all", "blit", 75});
    targets.push_back({"draw_names", "draw_names", "blit", 100});
    targets.push_back({"drag_step", "drag_step", "blit", 75});
    targets.push_back({"select", "select", "blit", 100});
#else
    std::printf("map rendering not built (vornex_ui unavailable): draw_all, draw_names, drag_step, select skipped\n");
#endif

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    int missing = 0;
    for (const Target& t : targets) {
        auto a = reporter.times.find(t.bench);
        auto b = reporter.times.find(t.baseline);
        if (a == reporter.times.end() || b == reporter.times.end() || b->second <= 0) continue;  // filtered out
        double ratio = a->second / b->second;
        bool ok = ratio <= t.limit;
        if (!ok) ++missing;
        std::printf("ratio %s %.1f (target %g) %s\n", t.name, ratio, t.limit, ok ? "ok" : "MISS");
    }
    std::fflush(stdout);
    removeFolder(g_fix->folder);
    // The tables and windows go with the process.
    std::_Exit(missing == 0 ? 0 : 3);
}
