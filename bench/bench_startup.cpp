#include "bench_startup.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/programstate.h"
#include "app/startup.h"
#include "galaxy.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "io/settingstable.h"
#include "ui/maplayer.h"
#include "ui/maprenderer.h"
#include "ui/mapwindow.h"

extern char** environ;

namespace vornex::bench {
namespace {

constexpr double kRatioLimit = 3;
constexpr double kWindowMemoryLimitMB = 100;

// The store the program uses on Linux, a file in the XDG config folder, written in its format:
// sections as groups, no application group.
class ScratchSettings : public SettingsStore {
public:
    explicit ScratchSettings(const std::string& configFolder)
        : m_settings(QString::fromStdString(configFolder + "VornexTools.conf"), QSettings::IniFormat)
    {
    }
    std::string read(const std::string&, const std::string& section, const std::string& key,
                     const std::string& defaultValue) const override
    {
        const QVariant v = m_settings.value(QString::fromStdString(section + "/" + key));
        return v.isValid() ? v.toString().toStdString() : defaultValue;
    }
    void write(const std::string&, const std::string& section, const std::string& key,
               const std::string& value) override
    {
        m_settings.setValue(QString::fromStdString(section + "/" + key), QString::fromStdString(value));
    }
    void sync() { m_settings.sync(); }

private:
    QSettings m_settings;
};

// One scratch home: the settings, the history stores and the runtime folder of the children.
struct Home {
    std::string root, config, data, runtime;
};

struct Startup {
    std::string galaxy;
    Home plain; // the game named, nothing else: a player's usual start
    Home full;  // every map layer on and the Planets dock shown
    // Best of the starts, in milliseconds.
    double best = 0, bestCpu = 0, emptyBest = 0, emptyCpu = 0;
    std::string window; // the program's window size, "784x760"
    int starts = 0;
    double windowMB = -1, reportMB = -1;
};
Startup* g_start = nullptr;

Home makeHome(const char* prefix)
{
    Home h;
    h.root = makeTempFolder(prefix);
    h.config = h.root + "config/";
    h.data = h.root + "data/";
    h.runtime = h.root + "runtime/";
    for (const std::string& f : {h.config, h.data, h.runtime})
        mkdir(f.c_str(), 0700);
    return h;
}

// The most memory the process has held so far (VmHWM), in MB; -1 when it cannot be read.
double peakOf(pid_t pid)
{
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(f);
    return kb < 0 ? -1 : double(kb) / 1024.0;
}

struct Child {
    bool ok = false;
    std::string output;   // standard error up to the line waited for
    double maxRssMB = -1; // its peak memory when it was stopped
};

// Starts program with args in home's scratch folders on the offscreen platform and reads its
// standard error until a line contains `until`; then reads its peak memory and stops it. An empty
// `until` lets it run to its end.
Child run(const std::string& program, const std::vector<std::string>& args, const Home& home, const char* until)
{
    Child c;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        const std::string name = var.substr(0, var.find('='));
        if (name != "QT_QPA_PLATFORM" && name != "XDG_CONFIG_HOME" && name != "XDG_DATA_HOME" &&
            name != "XDG_RUNTIME_DIR" && name != "VORNEX_TRACE_FIRST_PAINT")
            env.push_back(var);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("VORNEX_TRACE_FIRST_PAINT=1");
    env.push_back("XDG_CONFIG_HOME=" + home.config);
    env.push_back("XDG_DATA_HOME=" + home.data);
    env.push_back("XDG_RUNTIME_DIR=" + home.runtime);
    std::vector<char*> envp, argv;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0) return c;
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    const bool spawned = pid > 0;
    close(fds[1]);
    bool seen = false;
    if (spawned) {
        // A child that neither says what is waited for nor ends within a minute has failed.
        pollfd p{fds[0], POLLIN, 0};
        char buf[1024];
        while (!seen && poll(&p, 1, 60000) > 0) {
            const ssize_t got = read(fds[0], buf, sizeof buf);
            if (got <= 0) break;
            c.output.append(buf, size_t(got));
            seen = *until && c.output.find(until) != std::string::npos;
        }
        // The program's own peak: the rusage of a child of this large process would count this
        // one's memory as well.
        if (seen) c.maxRssMB = peakOf(pid);
        if (*until) kill(pid, SIGKILL);
    }
    close(fds[0]);
    if (!spawned) return c;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    c.ok = *until ? seen : WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return c;
}

// The figures of a trace line "vornexinfo: STEP X ms after start (Y ms CPU)".
bool traced(const std::string& output, const std::string& step, double& ms, double& cpu)
{
    const size_t at = output.find("vornexinfo: " + step + " ");
    if (at == std::string::npos) return false;
    return std::sscanf(output.c_str() + at + 13 + step.size(), "%lf ms after start (%lf ms CPU)", &ms, &cpu) == 2;
}

// The settings a window of the real program leaves when it closes with the Planets dock shown and
// every map layer on (on a small galaxy of its own), then the game of the benchmark named.
void writeFullSettings(const std::string& scratch)
{
    GalaxyOptions small;
    small.planets = 200;
    small.exportFiles = 1;
    small.exportRecords = 20;
    const std::string folder = writeGalaxy(scratch + "small/", small).folder;
    ScratchSettings settings(g_start->full.config);
    writeGameSettings(settings, Game{folder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)});
    ProgramState state;
    FixedAnswer prompter;
    if (startGame(state, settings, prompter, FileExists) != StartupResult::Ready) return;
    {
        ui::MapWindow window(state, settings, prompter);
        window.show();
        QApplication::processEvents();
        window.findChild<QAction*>("ShowPlanets")->trigger(); // the dock's toggle acts on trigger
        for (ui::MapLayer* layer : window.mapSurface()->renderer().layers())
            if (!layer->title().isEmpty())
                if (auto* a = window.findChild<QAction*>(layer->id()); a && a->isCheckable()) a->setChecked(true);
        QApplication::processEvents();
        window.close();
    }
    writeGameSettings(settings, Game{g_start->galaxy, kGalaxyGame, playerNumberOf(kGalaxyPlayer)});
    settings.sync();
}

void BM_first_paint(benchmark::State& state)
{
    Startup& s = *g_start;
    s.best = s.emptyBest = std::numeric_limits<double>::max();
    for (auto _ : state) {
        // The program first: the empty window takes its size.
        const Child real = run(VORNEX_PROGRAM, {}, s.plain, "first map paint");
        double ms = 0, cpu = 0;
        if (!real.ok || !traced(real.output, "first map paint", ms, cpu)) {
            state.SkipWithError(("vornexinfo did not paint its map: " + real.output).c_str());
            return;
        }
        const size_t w = real.output.find("window ", real.output.find("first map paint"));
        s.window = w == std::string::npos ? "1200x820" : real.output.substr(w + 7, real.output.find('\n', w) - w - 7);
        const std::string width = s.window.substr(0, s.window.find('x'));
        const std::string height = s.window.substr(s.window.find('x') + 1);
        const Child empty = run(VORNEX_EMPTY_WINDOW, {width, height}, s.plain, "first map paint");
        double emptyMs = 0, emptyCpu = 0;
        if (!empty.ok || !traced(empty.output, "first map paint", emptyMs, emptyCpu)) {
            state.SkipWithError("vornex_emptywindow did not paint");
            return;
        }
        state.SetIterationTime(ms / 1e3);
        if (ms < s.best) s.best = ms, s.bestCpu = cpu;
        if (emptyMs < s.emptyBest) s.emptyBest = emptyMs, s.emptyCpu = emptyCpu;
        ++s.starts;
    }
    state.counters["best_ms"] = s.best;
    state.counters["cpu_ms"] = s.bestCpu;
    state.counters["empty_best_ms"] = s.emptyBest;
    state.counters["empty_cpu_ms"] = s.emptyCpu;
}

void BM_peak_memory(benchmark::State& state)
{
    Startup& s = *g_start;
    for (auto _ : state) {
        // Until the history has answered: everything of the start has happened by then.
        const Child window = run(VORNEX_PROGRAM, {}, s.full, "history answered");
        // The report ends by itself: GNU time, a small process, tells the peak of the child it
        // starts (a child of this large process would report this one's peak as its own).
        const Child report = run(
            "/usr/bin/time",
            {"-f", "peak %M kB", VORNEX_REPORT_PROGRAM, "--folder", s.galaxy, "--player", "1", "--game", kGalaxyGame},
            s.full, "");
        const size_t at = report.output.rfind("peak ");
        long kb = -1;
        if (!window.ok || !report.ok || window.maxRssMB < 0 || at == std::string::npos ||
            std::sscanf(report.output.c_str() + at, "peak %ld kB", &kb) != 1) {
            state.SkipWithError("the window or the report did not finish");
            return;
        }
        s.windowMB = window.maxRssMB;
        s.reportMB = double(kb) / 1024.0;
    }
    state.counters["window_MB"] = s.windowMB;
    state.counters["report_MB"] = s.reportMB;
}

} // namespace

void registerStartup(const std::string& galaxyFolder)
{
    g_start = new Startup;
    g_start->galaxy = galaxyFolder;
    g_start->plain = makeHome("vornex-start-");
    g_start->full = makeHome("vornex-full-");
    {
        ScratchSettings plain(g_start->plain.config);
        writeGameSettings(plain, Game{galaxyFolder, kGalaxyGame, playerNumberOf(kGalaxyPlayer)});
    }
    writeFullSettings(g_start->full.root);
    benchmark::RegisterBenchmark("first_paint", BM_first_paint)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(8);
    benchmark::RegisterBenchmark("peak_memory", BM_peak_memory)->Unit(benchmark::kMillisecond)->Iterations(1);
}

int reportStartup()
{
    int missing = 0;
    const Startup& s = *g_start;
    if (s.starts > 0) {
        const double ratio = s.best / s.emptyBest;
        const bool ok = ratio <= kRatioLimit;
        missing += !ok;
        std::printf("ratio first_paint %.3f (target %g) %s\n", ratio, kRatioLimit, ok ? "ok" : "MISS");
        std::printf("  first_paint %.1f ms after start (%.1f ms CPU), first_paint_empty %.1f ms (%.1f ms CPU); "
                    "best of %d starts each, window %s\n",
                    s.best, s.bestCpu, s.emptyBest, s.emptyCpu, s.starts, s.window.c_str());
    }
    if (s.windowMB >= 0) {
        const bool ok = s.windowMB <= kWindowMemoryLimitMB;
        missing += !ok;
        std::printf("peak memory window, every layer on and the Planets dock shown: %.1f MB (target %g) %s\n",
                    s.windowMB, kWindowMemoryLimitMB, ok ? "ok" : "MISS");
        std::printf("peak memory vornexinfo-report: %.1f MB\n", s.reportMB);
    }
    return missing;
}

void removeStartupFolders()
{
    if (!g_start) return;
    removeFolder(g_start->plain.root);
    removeFolder(g_start->full.root);
}

} // namespace vornex::bench
