// vornex_bench: the performance targets of the largest galaxy, each measured on the path a user
// gets and as a ratio against a baseline of the same kind timed in the same run (a plain parser for
// the load, plain QPainter drawing for the map): absolute times on shared machines are noise, and a
// baseline of another kind (memory bandwidth against computation) moves with the machine. Besides
// Google Benchmark's table it prints one line per target, lower is better:
//   ratio NAME VALUE (target LIMIT) ok|MISS
// and the memchr scan and the blit as floors, for information.
//
//   vornex_bench [benchmark options]       run everything
//   vornex_bench --write-galaxy FOLDER     only write the generated galaxy (for memory figures)
//   vornex_bench --window FOLDER           open the map window on that galaxy, press Names, drag a
//                                          few steps and quit (peak memory with /usr/bin/time -v)
//
// first_paint starts the real program (and the toolkit's empty window) in fresh processes and
// prints their start-up figures and the peak memory of the window and the report command.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "analysis/habvalue.h"
#include "analysis/panel.h"
#include "base/numeric.h"
#include "bench_history.h"
#ifdef VORNEX_BENCH_STARTUP
#include "bench_startup.h"
#endif
#include "galaxy.h"
#include "hostile.h"
#include "io/codepage.h"
#include "io/exportfile.h"
#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "io/settingstable.h"
#include "io/tables.h"
#include "io/textfile.h"
#include "nearown.h"
#include "reporttable.h"

#ifdef VORNEX_BENCH_MAP
#include <QAction>
#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <unordered_map>

#include "analysis/view.h"
#include "app/programstate.h"
#include "app/turnreload.h"
#include "ui/maprenderer.h"
#include "ui/mapsurface.h"
#include "ui/mapwindow.h"
#include "ui/nameslayer.h"
#include "ui/rangeslayer.h"
#endif

extern char** environ;

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

void loadTables(const std::string& folder, Gravities& gravities, Players& players, Map& planets, Diagnostics& diags)
{
    gravities = LoadGravities(folder, diags);
    players = LoadPlayers(folder, diags);
    LoadPlanets(planets, Game{folder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)}, diags);
}

void setUpFixture()
{
    g_fix = new Fixture;
    g_fix->folder = makeTempFolder("vornex-bench-");
    writeGalaxy(g_fix->folder);
    const char* names[] = {"gravity.csv", "player.inf", "galaxy.map", "galaxy.p1"};
    for (const char* n : names)
        g_fix->allBytes += readFileBytes(g_fix->folder + n).value_or("");
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
    for (size_t i = 0; i < g_fix->diags.size() && i < 5; ++i)
        std::printf("  %s\n", g_fix->diags[i].text().c_str());
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

// The cold-load child beside this executable.
std::string coldLoadProgram()
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "vornex_coldload";
    std::string path(self, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "vornex_coldload";
}

struct ChildResult {
    bool ok = false;
    double seconds = 0; // CPU time of the load inside the child
    long faults = 0;
    std::string output;
};

// Runs vornex_coldload MODE FOLDER and reads what it prints.
ChildResult runColdLoad(const char* mode)
{
    ChildResult r;
    int fds[2];
    if (pipe(fds) != 0) return r;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string program = coldLoadProgram();
    std::vector<char*> args = {const_cast<char*>(program.c_str()), const_cast<char*>(mode),
                               const_cast<char*>(g_fix->folder.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned == 0) {
        char buf[512];
        ssize_t got;
        while ((got = read(fds[0], buf, sizeof buf)) > 0)
            r.output.append(buf, static_cast<size_t>(got));
    }
    close(fds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return r;
    size_t count = 0;
    r.ok = std::sscanf(r.output.c_str(), "%lf %ld %zu", &r.seconds, &r.faults, &count) == 3 && count > 0;
    return r;
}

// The first load of a new process: one child per measurement, timed inside the child.
void coldLoad(benchmark::State& state, const char* mode)
{
    long faults = 0;
    for (auto _ : state) {
        ChildResult r = runColdLoad(mode);
        if (!r.ok) {
            state.SkipWithError("vornex_coldload failed");
            return;
        }
        state.SetIterationTime(r.seconds);
        faults = r.faults;
    }
    state.counters["faults"] = static_cast<double>(faults);
}

void BM_load_cold(benchmark::State& state)
{
    coldLoad(state, "real");
}

void BM_load_plain_cold(benchmark::State& state)
{
    coldLoad(state, "plain");
}

// ---- habitability and panel --------------------------------------------------------------

void BM_hab_all(benchmark::State& state)
{
    const Player* race = g_fix->players.At(kGalaxyPlayer).get();
    for (auto _ : state) {
        long sum = 0;
        size_t i = 0;
        for (const PlanetPtr& p : g_fix->planets) {
            const Fixture::Env& e = g_fix->env[i++];
            HabResult r =
                HabValue(e.g, e.t, e.r, race->GravTerra, race->TempTerra, race->RadTerra, race, g_fix->gravities);
            sum += r.rating;
            benchmark::DoNotOptimize(p);
        }
        benchmark::DoNotOptimize(sum);
    }
}

// The rows of vornexinfo-report: every planet rated as the panel rates it.
void BM_report_rows(benchmark::State& state)
{
    const Player* race = g_fix->players.At(kGalaxyPlayer).get();
    for (auto _ : state) {
        auto rows = report::buildRows(g_fix->planets, race, g_fix->gravities);
        benchmark::DoNotOptimize(rows.data());
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

// Stands in for the map window: selectNearestPlanet selects the nearest planet, computes the panel and
// redraws, as the window does.
class BenchHost : public ui::MapSurfaceHost {
public:
    explicit BenchHost(ProgramState& s) : state(s) {}
    void selectNearestPlanet(int16_t x, int16_t y) override
    {
        if (auto id = nearestPlanet(state.AllPlanets, x, y)) state.view.PlanetSelected = *id;
        if (PlanetPtr p = state.selectedPlanet()) {
            PanelValues v = computePanel(*p, state.yourPlayer().get(), state.AllGravities);
            benchmark::DoNotOptimize(v.title.data());
        }
        if (surface) surface->redrawMap();
    }
    void setDistanceText(const QString&) override {}
    void showStatus(const QString&) override {}

    ProgramState& state;
    ui::MapSurface* surface = nullptr;
};

// ---- reloading a turn --------------------------------------------------------------------

// A reload of the largest galaxy as the game follower does it (read, refusal check, changes
// counted, tables replaced) when the map file lists the planets out of order after a rejected
// line, so that every planet is found by its number rather than its position.
void BM_reload_shuffled(benchmark::State& state)
{
    static ProgramState* s = [] {
        auto* st = new ProgramState;
        const std::string folder = g_fix->folder + "shuffled/";
        GalaxyOptions options;
        options.shuffledMap = true;
        writeGalaxy(folder, options);
        st->game = Game{folder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)};
        Diagnostics diags;
        st->AllGravities = LoadGravities(folder, diags);
        st->AllPlayers = LoadPlayers(folder, diags);
        const TurnReload first = reloadTurnFiles(*st);
        int misplaced = 0;
        for (int32_t i = 1; i <= st->AllPlanets.Count(); ++i)
            misplaced += st->AllPlanets.Raw(i)->ID != i;
        std::printf("shuffled galaxy: %d planets, %d not at the position of their number, %zu rejected lines%s\n",
                    first.planets, misplaced, st->diagnostics.size(), first.ok ? "" : ", NOT LOADED");
        return st;
    }();
    for (auto _ : state) {
        const TurnReload r = reloadTurnFiles(*s);
        benchmark::DoNotOptimize(r.changed.data());
    }
}

struct MapFixture {
    ProgramState state;
    // The real window for the selection target: panel widgets filled, map redrawn with the ring.
    ProgramState windowState;
    MemorySettings windowSettings;
    FixedAnswer windowPrompter{std::to_string(kGalaxyPlayer)};
    ui::MapWindow* window = nullptr; // left to the process's end
    std::unique_ptr<BenchHost> host;
    std::unique_ptr<ui::MapSurface> surface;
    QImage cached; // what the baseline blits
    QImage target;
};
MapFixture* g_map = nullptr;

void setUpMap()
{
    g_map = new MapFixture;
    ProgramState& s = g_map->state;
    Diagnostics diags;
    loadTables(g_fix->folder, s.AllGravities, s.AllPlayers, s.AllPlanets, diags);
    s.game = Game{g_fix->folder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)};
    s.view.Zoom = 2000;
    s.view.clickMode = ClickMode::Planets;
    s.view.PlanetSelected = 1;
    g_map->host = std::make_unique<BenchHost>(s);
    g_map->surface = std::make_unique<ui::MapSurface>(s, *g_map->host);
    g_map->host->surface = g_map->surface.get();
    g_map->surface->resize(1000, 700);
    // Hidden until the ranges drag shows it, so the other targets draw as before.
    g_map->surface->renderer().add(std::make_unique<ui::RangesLayer>());
    g_map->surface->show();
    QApplication::processEvents();
    g_map->surface->redrawMap();
    g_map->cached = g_map->surface->image().copy();
    g_map->target = QImage(g_map->cached.size(), g_map->cached.format());
    std::printf("map surface: %dx%d image, device pixel ratio %.2f\n", g_map->cached.width(), g_map->cached.height(),
                g_map->cached.devicePixelRatio());

    ProgramState& w = g_map->windowState;
    loadTables(g_fix->folder, w.AllGravities, w.AllPlayers, w.AllPlanets, diags);
    w.game = Game{g_fix->folder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)};
    w.view.Zoom = 2000;
    w.view.clickMode = ClickMode::Planets;
    w.view.PlanetSelected = 1;
    vornex::writeSetting(g_map->windowSettings, vornex::setting::YourNumber, std::to_string(kGalaxyPlayer));
    g_map->window = new ui::MapWindow(w, g_map->windowSettings, g_map->windowPrompter);
    g_map->window->show();
    // The window lays the map out beside the side column.
    g_map->window->resize(1337, 781);
    QApplication::processEvents();
    std::printf("window map: %dx%d\n", g_map->window->mapSurface()->width(), g_map->window->mapSurface()->height());
}

void resetView(int16_t zoom, int16_t x, int16_t y, bool names)
{
    g_map->state.view.Zoom = zoom;
    g_map->state.view.XStart = x;
    g_map->state.view.YStart = y;
    g_map->surface->renderer().names().setShown(names);
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

// The straightforward drawing of the map at the full view: an antialiased drawEllipse per visible
// planet in its owner's colour and, with names, a drawText per name in view.
void plainScene(bool names)
{
    const ProgramState& s = g_map->state;
    QImage& image = g_map->target;
    // One map unit as many pixels across as down, the square of Zoom units centred on the image.
    const double side = std::min(image.width(), image.height());
    const double sx = side / double(s.view.Zoom);
    const double sy = sx;
    const double left = (image.width() - side) / 2, top = (image.height() - side) / 2;
    std::unordered_map<std::string, QColor> colours;
    for (const PlayerPtr& p : s.AllPlayers)
        colours[p->RaceName] = QColor(p->Colour & 0xFF, (p->Colour >> 8) & 0xFF, (p->Colour >> 16) & 0xFF);
    const QColor grey(0xC0, 0xC0, 0xC0), red(255, 0, 0);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const PlanetPtr& planet : s.AllPlanets) {
        const QPointF at(left + (planet->Xcord - s.view.XStart) * sx, top + (planet->Ycord - s.view.YStart) * sy);
        if (at.x() < -8 || at.y() < -8 || at.x() > image.width() + 8 || at.y() > image.height() + 8) continue;
        auto c = colours.find(planet->Owner);
        const bool known = c != colours.end();
        p.setPen(QPen(known ? c->second : planet->ReportAge == -1 ? grey : red, 1.0));
        p.setBrush(known ? c->second : grey);
        const double r = known ? std::min(4 * sx, 6.0) : std::min(2 * sx, 3.0);
        p.drawEllipse(at, r, r);
    }
    if (names) {
        p.setPen(Qt::white);
        const double ascent = QFontMetricsF(p.font()).ascent();
        for (const PlanetPtr& planet : s.AllPlanets) {
            const QPointF at(left + (planet->Xcord - s.view.XStart) * sx,
                             top + (planet->Ycord - s.view.YStart) * sy + ascent);
            if (at.x() > image.width() || at.y() < 0 || at.y() > image.height() + ascent) continue;
            p.drawText(at, QString::fromStdString(planet->PlanetName));
        }
    }
}

void BM_plain_scene(benchmark::State& state)
{
    resetView(2000, 0, 0, false);
    for (auto _ : state)
        plainScene(false);
}

void BM_plain_names_scene(benchmark::State& state)
{
    resetView(2000, 0, 0, false);
    for (auto _ : state)
        plainScene(true);
}

// The whole galaxy drawn afresh, as after a zoom step: each draw at another zoom than the last.
void BM_draw_all(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        resetView(static_cast<int16_t>(2000 - (i++ & 1)), 0, 0, false);
        g_map->surface->redrawMap();
    }
    resetView(2000, 0, 0, false);
}

// Names down at the full view, at a view whose names were not drawn before; the names' layouts
// were prepared by an earlier draw, as after the first time Names is pressed.
void BM_names_first(benchmark::State& state)
{
    resetView(2000, 0, 0, true);
    g_map->surface->redrawMap();
    int i = 0;
    for (auto _ : state) {
        resetView(static_cast<int16_t>(2000 + (i++ & 1)), 0, 0, true);
        g_map->surface->redrawMap();
    }
    resetView(2000, 0, 0, false);
}

// The very first draw with names: nothing prepared (information only).
void BM_names_cold(benchmark::State& state)
{
    ProgramState& s = g_map->state;
    resetView(2000, 0, 0, true);
    ui::MapRenderer renderer;
    QImage image(g_map->cached.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        renderer.clear();
        renderer.render(image, QSizeF(image.size()), s, true);
    }
    resetView(2000, 0, 0, false);
}

// Redraws that keep the view (a selection, a distance, Names pressed twice).
void BM_names_redraw(benchmark::State& state)
{
    resetView(2000, 0, 0, true);
    g_map->surface->redrawMap();
    int i = 0;
    for (auto _ : state) {
        g_map->state.view.PlanetSelected = static_cast<int16_t>(1 + (i++ % 1000) * 32);
        g_map->surface->redrawMap();
    }
    g_map->state.view.PlanetSelected = 1;
    resetView(2000, 0, 0, false);
}

// One step of a drag with names down: 3 pixels across or 1.4 down per mouse move, going round a
// square so that the view stays over the galaxy.
void dragSteps(benchmark::State& state)
{
    resetView(2000, 0, 0, true);
    g_map->surface->redrawMap();
    const int16_t cx = 1000, cy = 1000; // the view's centre in view units
    const int sxs[] = {6, 0, -6, 0};
    const int sys[] = {0, 4, 0, -4};
    int step = 0;
    for (auto _ : state) {
        const int leg = (step++ / 16) & 3;
        g_map->surface->moveView(ViewStep::Keep, static_cast<int16_t>(cx + sxs[leg]),
                                 static_cast<int16_t>(cy + sys[leg]));
    }
    resetView(2000, 0, 0, false);
}

void BM_drag_names(benchmark::State& state)
{
    dragSteps(state);
}

// The same drag with your worlds' scanner ranges shown as well (about 600 worlds of player 1's race,
// scanner ranges up to 300 units, penetrating up to 150).
void BM_drag_ranges(benchmark::State& state)
{
    ui::MapLayer* ranges = g_map->surface->renderer().layer(QStringLiteral("Ranges"));
    ranges->setShown(true);
    dragSteps(state);
    ranges->setShown(false);
}

// Counts the widgets painted, to show that the window really repaints after each click.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
    long paints = 0;
};

// A click in "Planets" mode on the real window: panel filled, map redrawn with the ring, and the
// window painted as the event loop paints it after the click.
void BM_select_repaint(benchmark::State& state)
{
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    std::vector<std::pair<int16_t, int16_t>> points;
    int i = 0;
    for (const PlanetPtr& p : g_map->windowState.AllPlanets)
        if (i++ % 97 == 0) points.emplace_back(static_cast<int16_t>(p->Xcord + 1), p->Ycord);
    size_t k = 0;
    QApplication::processEvents();
    for (auto _ : state) {
        auto [x, y] = points[k++ % points.size()];
        g_map->window->selectNearestPlanet(x, y);
        QApplication::processEvents();
    }
    qApp->removeEventFilter(&counter);
    state.counters["widgets_painted"] =
        benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
}
// The window on the galaxy in folder with Names down at the full view, a few drag steps.
int windowWithNames(const std::string& folder)
{
    static ProgramState w;
    static MemorySettings settings;
    static FixedAnswer prompter{std::to_string(kGalaxyPlayer)};
    Diagnostics diags;
    loadTables(folder, w.AllGravities, w.AllPlayers, w.AllPlanets, diags);
    w.game = Game{folder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)};
    w.view.Zoom = 2000;
    w.view.clickMode = ClickMode::Planets;
    w.view.PlanetSelected = 1;
    vornex::writeSetting(settings, vornex::setting::YourNumber, std::to_string(kGalaxyPlayer));
    auto* window = new ui::MapWindow(w, settings, prompter);
    window->show();
    window->resize(1337, 781);
    QApplication::processEvents();
    auto* names = window->findChild<QAction*>("Names");
    if (!names) {
        std::printf("no Names button\n");
        return 1;
    }
    names->trigger();
    QApplication::processEvents();
    for (int i = 0; i < 40; ++i) {
        window->mapSurface()->moveView(ViewStep::Keep, static_cast<int16_t>(1000 + (i < 20 ? 6 : -6)), 1000);
        QApplication::processEvents();
    }
    std::printf("%d planets, names %s, view zoom %d at (%d, %d)\n", w.AllPlanets.Count(),
                window->namesShown() ? "down" : "up", w.view.Zoom, w.view.XStart, w.view.YStart);
    std::fflush(stdout);
    std::_Exit(0);
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
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
                // Manual times are the children's own CPU times; the parent only waits for them.
                const std::string name = r.benchmark_name();
                const bool manual = name.find("/manual_time") != std::string::npos;
                const double t = manual ? r.GetAdjustedRealTime() : r.GetAdjustedCPUTime();
                times[name.substr(0, name.find('/'))] = t / benchmark::GetTimeUnitMultiplier(r.time_unit);
            }
    }
    std::map<std::string, double> times; // seconds per iteration
};

struct Target {
    const char* name;
    const char* bench;
    const char* baseline;
    double limit;
};

} // namespace
} // namespace vornex::bench

int main(int argc, char** argv)
{
    using namespace vornex::bench;
    if (argc == 3 && std::strcmp(argv[1], "--write-galaxy") == 0) {
        GalaxyFiles f = writeGalaxy(argv[2]);
        std::printf("wrote %llu bytes to %s (game \"%s\", player %d)\n", static_cast<unsigned long long>(f.totalBytes),
                    f.folder.c_str(), kGalaxyGame, kGalaxyPlayer);
        return 0;
    }
    // The windows record the turns they show: into a folder of this run, never the user's own.
    const std::string historyData = makeTempFolder("vornex-bench-data-");
    setenv("XDG_DATA_HOME", historyData.c_str(), 1);
#ifdef VORNEX_BENCH_MAP
    if (argc == 3 && std::strcmp(argv[1], "--window") == 0) {
        QApplication app(argc, argv);
        return windowWithNames(std::string(argv[2]) + "/");
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    setUpFixture();
    printHostilePeaks(g_fix->folder, g_fix->allBytes.size());
    {
        ChildResult check = runColdLoad("compare");
        std::printf("plain parser against the loaders: %s",
                    check.output.empty() ? "vornex_coldload failed\n" : check.output.c_str());
    }
    auto reg = [](const char* name, void (*fn)(benchmark::State&)) {
        return benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond);
    };
    reg("load_baseline", BM_load_baseline);
    reg("load_cold", BM_load_cold)->UseManualTime()->Iterations(12);
    reg("load_plain_cold", BM_load_plain_cold)->UseManualTime()->Iterations(12);
    reg("hab_all", BM_hab_all);
    reg("report_rows", BM_report_rows);
    reg("panel_all", BM_panel_all);
    reg("export_text", BM_export_text);
    registerNearestOwn(g_fix->planets, g_fix->players.At(kGalaxyPlayer).get(), g_fix->gravities);
    std::vector<Target> targets = {
        {"load_cold", "load_cold", "load_plain_cold", 0.6},
        {"report_rows", "report_rows", "hab_all", 3},
        {"nearest_own", "nearest_own", "nearest_own_plain", 0.05},
        // Registered by BENCHMARK(), under the names of their functions.
        {"record_turn", "BM_record_turn", "BM_record_all", 0.3},
    };
    std::vector<const char*> floors = {"load_baseline"};
#ifdef VORNEX_BENCH_MAP
    setUpMap();
    reg("blit", BM_blit);
    reg("plain_scene", BM_plain_scene);
    reg("plain_names_scene", BM_plain_names_scene);
    reg("draw_all", BM_draw_all);
    reg("names_cold", BM_names_cold);
    reg("names_first", BM_names_first);
    reg("names_redraw", BM_names_redraw);
    reg("drag_names", BM_drag_names);
    reg("drag_ranges", BM_drag_ranges);
    reg("select_repaint", BM_select_repaint);
    reg("reload_shuffled", BM_reload_shuffled)->Iterations(5);
    targets.push_back({"reload_shuffled", "reload_shuffled", "load_cold", 1.5});
    targets.push_back({"draw_all", "draw_all", "plain_scene", 0.1});
    targets.push_back({"names_first", "names_first", "plain_names_scene", 0.5});
    targets.push_back({"names_redraw", "names_redraw", "plain_names_scene", 0.05});
    targets.push_back({"drag_names", "drag_names", "plain_names_scene", 0.05});
    targets.push_back({"drag_ranges", "drag_ranges", "plain_names_scene", 0.05});
    targets.push_back({"select_repaint", "select_repaint", "draw_all", 3});
    floors.push_back("blit");
#else
    std::printf("map rendering not built (vornex_ui unavailable): the drawing targets are skipped\n");
#endif

#ifdef VORNEX_BENCH_STARTUP
    registerStartup(g_fix->folder);
#endif

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    int missing = 0;
    for (const Target& t : targets) {
        auto a = reporter.times.find(t.bench);
        auto b = reporter.times.find(t.baseline);
        if (a == reporter.times.end() || b == reporter.times.end() || b->second <= 0) continue; // filtered out
        double ratio = a->second / b->second;
        bool ok = ratio <= t.limit;
        if (!ok) ++missing;
        std::printf("ratio %s %.3f (target %g) %s\n", t.name, ratio, t.limit, ok ? "ok" : "MISS");
        std::printf("  %s %.3f ms, %s %.3f ms\n", t.bench, a->second * 1e3, t.baseline, b->second * 1e3);
    }
#ifdef VORNEX_BENCH_STARTUP
    missing += reportStartup();
    removeStartupFolders();
#endif
    for (const char* f : floors) {
        auto a = reporter.times.find(f);
        if (a != reporter.times.end()) std::printf("floor %s %.3f ms\n", f, a->second * 1e3);
    }
    std::fflush(stdout);
    removeFolder(g_fix->folder);
    removeFolder(historyData);
    removeHistoryFixture();
    // The tables and windows go with the process.
    std::_Exit(missing == 0 ? 0 : 3);
}
