// Saves that cannot lose data: a save killed at any moment leaves player.inf either the old or the
// new table, and a save that fails leaves the old file as it was and says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <new>
#include <random>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

#include "io/exportfile.h"
#include "io/platform.h"
#include "io/tables.h"
#include "io/textfile.h"
#include "support/planetfixture.h"
#include "support/scratchfolder.h"

namespace vornex {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;

// Sixteen players whose names are long enough that one save takes many write calls, so that a kill
// can land in the middle of one.
Players bigTable(char tag)
{
    Players players;
    for (int n = 1; n <= 16; ++n) {
        PlayerPtr p = players.Add("Race " + std::string(1, tag) + std::to_string(n));
        p->Number = static_cast<int16_t>(n);
        p->PlayerName = std::string(1200, tag) + " " + std::to_string(n);
        p->RaceName = "Race " + std::string(1, tag) + std::to_string(n);
        p->HomeWorld = "Home \xC3\xA9 " + std::string(500, tag);
        p->Colour = tag * 1000 + n;
        vornex::testing::setHabRanges(*p, {0.5f, 2.5f}, {-120, 40}, {10, 60}, static_cast<int16_t>(n % 16));
    }
    return players;
}

Map smallGalaxy(const std::string& owner, int records)
{
    Map planets;
    for (int i = 1; i <= records; ++i) {
        PlanetPtr p = planets.Add("Planet " + std::to_string(i));
        p->ID = static_cast<int16_t>(i);
        p->PlanetName = "Planet " + std::to_string(i);
        p->Owner = owner;
        p->ReportAge = 1;
        p->Population = 1000 * i;
        p->Grav = "1.5";
        p->Temp = "-40";
        p->Rad = "50";
    }
    return planets;
}

ExportSelection everyone(const std::string& caption)
{
    ExportSelection sel;
    sel.captions[0] = caption;
    sel.checked[0] = true;
    sel.uninhabited = true;
    return sel;
}

std::set<std::string> temporaryFiles(const ScratchFolder& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.folder())) {
        std::string n = e.path().filename().string();
        if (n != "player.inf" && n != "player.inf.bak" && n.rfind("export.p", 0) != 0) names.insert(n);
    }
    return names;
}

#ifndef _WIN32
// What the saving child publishes: how many saves it has completed and how long the last one took.
struct SaveProgress {
    std::atomic<long> completed{0};
    std::atomic<long> lastSaveNs{0};
};

TEST(CrashSafeSave, PlayerTableKilledAtRandomMomentsIsAlwaysOldOrNew)
{
    ScratchFolder dir;
    const Players a = bigTable('a');
    const Players b = bigTable('b');
    const std::string bytesA = playersFileBytes(a);
    const std::string bytesB = playersFileBytes(b);
    ASSERT_NE(bytesA, bytesB);
    ASSERT_GT(bytesA.size(), 16u * 1024u);
    ASSERT_TRUE(SavePlayers(dir.folder(), a).ok);

    void* shared = mmap(nullptr, sizeof(SaveProgress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* progress = new (shared) SaveProgress;
    std::mt19937 rng(8);
    int sawA = 0, sawB = 0, cutShort = 0;
    for (int round = 0; round < 100; ++round) {
        // The child first saves the table that is not on disk, then the two in turn until killed.
        const bool startWithB = dir.read("player.inf") == bytesA;
        const auto tableAfter = [&](long saves) { return (saves + (startWithB ? 1 : 0) + 1) % 2 ? bytesB : bytesA; };
        const size_t leftoversBefore = temporaryFiles(dir).size();
        progress->completed = 0;
        progress->lastSaveNs = 0;
        int wake[2];
        ASSERT_EQ(pipe(wake), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(wake[0]);
            for (unsigned i = startWithB ? 1 : 0;; ++i) {
                const auto t0 = std::chrono::steady_clock::now();
                if (!SavePlayers(dir.folder(), i % 2 ? b : a).ok) _exit(3);
                progress->lastSaveNs =
                    std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t0).count();
                progress->completed.fetch_add(1);
                const char done = 1;
                if (write(wake[1], &done, 1) != 1) _exit(4);
            }
        }
        close(wake[1]);
        // Waits (blocked on the pipe, however slow the machine) for a chosen number of completed
        // saves, then kills at a random moment within the length of one save: inside the next one.
        const int waitFor = 1 + round % 3;
        bool woke = true;
        for (int k = 0; k < waitFor && woke; ++k) {
            char done = 0;
            woke = read(wake[0], &done, 1) == 1;
        }
        const long delayNs =
            std::uniform_int_distribution<long>(0, std::min(progress->lastSaveNs.load(), 200'000'000L))(rng);
        const timespec delay{0, delayNs % 1000000000L};
        if (woke) nanosleep(&delay, nullptr);
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(wake[0]);
        ASSERT_TRUE(woke && WIFSIGNALED(status)) << "the saving process stopped by itself in round " << round;

        // Every save the child reported complete is on disk; the one it was killed in may be too.
        const long completed = progress->completed.load();
        const std::string now = dir.read("player.inf");
        ASSERT_TRUE(now == tableAfter(completed) || now == tableAfter(completed + 1))
            << "round " << round << ": player.inf is neither the last saved table nor the next (" << now.size()
            << " bytes)";
        (now == bytesA ? sawA : sawB)++;
        if (temporaryFiles(dir).size() > leftoversBefore) ++cutShort;
        if (fs::exists(dir.path("player.inf.bak"))) {
            std::string bak = dir.read("player.inf.bak");
            ASSERT_TRUE(bak == bytesA || bak == bytesB) << "round " << round << ": player.inf.bak is torn";
        }
    }
    munmap(shared, sizeof(SaveProgress));
    RecordProperty("cut_short", cutShort);
    RecordProperty("saw_a", sawA);
    // Both tables were seen, and some kills cut a save short: they landed during saves as well as
    // between them.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    EXPECT_GT(cutShort, 0);

    // What is left after the last kill loads cleanly as a table of sixteen.
    Diagnostics diags;
    Players loaded = LoadPlayers(dir.folder(), diags);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(loaded.Count(), 16);
    // Temporary files a killed save leaves behind never take a reader's name.
    for (const std::string& n : temporaryFiles(dir))
        EXPECT_EQ(n.rfind("player.inf.", 0), 0u) << n;
}
#endif

TEST(CrashSafeSave, SaveKeepsThePreviousTableAsBackup)
{
    ScratchFolder dir;
    // A folder name outside any one code page: paths reach the system as Unicode.
    const std::string sub = "Galaxie \xC3\xA9t\xC3\xA9 \xE6\x98\x9F";
    fs::create_directory(ScratchFolder::fromUtf8(dir.path(sub)));
    const std::string folder = dir.path(sub) + "/";
    const Players a = bigTable('a');
    const Players b = bigTable('b');
    ASSERT_TRUE(SavePlayers(folder, a).ok);
    EXPECT_FALSE(fs::exists(ScratchFolder::fromUtf8(folder + "player.inf.bak")));
    const WriteResult r = SavePlayers(folder, b);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(ScratchFolder::readPath(folder + "player.inf"), playersFileBytes(b));
    EXPECT_EQ(ScratchFolder::readPath(folder + "player.inf.bak"), playersFileBytes(a));
    Diagnostics diags;
    EXPECT_EQ(LoadPlayers(folder, diags).Item(1)->PlayerName, b.Item(1)->PlayerName);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(ScratchFolder::fromUtf8(folder)), fs::directory_iterator()), 2);
}

#ifndef _WIN32
// Runs fn in a child whose files may not grow beyond limit bytes (writes past it fail with EFBIG,
// as on a full disk); returns the child's exit status.
template <typename Fn> int withFileSizeLimit(rlim_t limit, Fn fn)
{
    pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(90);
        _exit(fn());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(CrashSafeSave, WriterFailingPartWayLeavesOldFilesAndReportsIt)
{
    ScratchFolder dir;
    const Players small = [] {
        Players p;
        p.Add("Kethri")->RaceName = "Kethri";
        return p;
    }();
    ASSERT_TRUE(SavePlayers(dir.folder(), small).ok);
    const std::string oldPlayers = dir.read("player.inf");
    const Map oldPlanets = smallGalaxy("Kethri", 3);
    ASSERT_TRUE(WriteExportFile(dir.folder() + "export.p2", oldPlanets, everyone("Kethri")).ok);
    const std::string oldExport = dir.read("export.p2");
    ASSERT_LT(oldPlayers.size(), 4096u);

    // Each new file is far larger than the limit, so the write stops part-way.
    const Players big = bigTable('z');
    int rc = withFileSizeLimit(4096, [&] {
        WriteResult r = SavePlayers(dir.folder(), big);
        return r.ok ? 1 : (r.error.empty() ? 2 : 0);
    });
    EXPECT_EQ(rc, 0) << "1: reported success, 2: failure without a reason";
    EXPECT_EQ(dir.read("player.inf"), oldPlayers);

    const Map bigPlanets = smallGalaxy("Kethri", 2000);
    rc = withFileSizeLimit(4096, [&] {
        WriteResult r = WriteExportFile(dir.folder() + "export.p2", bigPlanets, everyone("Kethri"));
        return r.ok ? 1 : (r.error.empty() ? 2 : 0);
    });
    EXPECT_EQ(rc, 0) << "1: reported success, 2: failure without a reason";
    EXPECT_EQ(dir.read("export.p2"), oldExport);
    EXPECT_TRUE(temporaryFiles(dir).empty()) << "a failed save left its temporary file";
}

#endif

TEST(CrashSafeSave, TargetThatIsAFolderOrMissingFolderFails)
{
    ScratchFolder dir;
    fs::create_directory(dir.path("export.p5"));
    dir.write("export.p5/keep", "x");
    WriteResult r = WriteExportFile(dir.folder() + "export.p5", smallGalaxy("Kethri", 2), everyone("Kethri"));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(dir.read("export.p5/keep"), "x");

    fs::create_directory(dir.path("player.inf"));
    r = SavePlayers(dir.folder(), bigTable('a'));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(fs::is_directory(dir.path("player.inf")));

    r = SavePlayers(dir.folder() + "gone/", bigTable('a'));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_FALSE(fs::exists(dir.path("gone")));
}

TEST(CrashSafeSave, ReadOnlyFolderLeavesOldFileAndReportsIt)
{
    using platform::Step;
    struct Case {
        const char* what;
        Step step;
        int pass; // calls of the step that succeed before it fails
        bool saved;
    };
    const Case cases[] = {
        {"folder refuses new files", Step::CreateTemporary, 0, false},
        {"disk full while writing", Step::Write, 0, false},
        {"flush to disk fails", Step::Flush, 0, false},
        {"backup cannot take its name", Step::Replace, 0, false},
        {"table cannot take its name", Step::Replace, 1, false},
        // Without hard links the backup is a copy, and the save goes on.
        {"no hard links", Step::Link, 0, true},
    };
    struct FaultOff {
        ~FaultOff() { platform::injectFaultForTesting(Step::None); }
    } faultOff;
    const Players a = bigTable('a'), b = bigTable('b'), c = bigTable('c');
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ScratchFolder dir;
        ASSERT_TRUE(SavePlayers(dir.folder(), a).ok);
        ASSERT_TRUE(SavePlayers(dir.folder(), b).ok);
        platform::injectFaultForTesting(k.step, k.pass);
        WriteResult r = SavePlayers(dir.folder(), c);
        platform::injectFaultForTesting(Step::None);
        EXPECT_EQ(r.ok, k.saved) << r.error;
        EXPECT_EQ(dir.read("player.inf"), playersFileBytes(k.saved ? c : b));
        const std::string bak = dir.read("player.inf.bak");
        EXPECT_TRUE(bak == playersFileBytes(a) || bak == playersFileBytes(b)) << "player.inf.bak is torn";
        if (k.saved) {
            EXPECT_EQ(bak, playersFileBytes(b));
        } else {
            EXPECT_NE(r.error.find("player.inf"), std::string::npos) << r.error;
        }
        EXPECT_TRUE(temporaryFiles(dir).empty()) << "a failed save left its temporary file";
    }
}

TEST(CrashSafeSave, PlayerTableBehindASymbolicLink)
{
    ScratchFolder dir;
    std::error_code ec;
    fs::create_directory(dir.path("shared"));
    fs::create_symlink("shared/player.inf", dir.path("player.inf"), ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();

    // A link to a table: the save replaces the table it leads to and the link stays.
    const Players a = bigTable('a'), b = bigTable('b');
    ASSERT_TRUE(SavePlayers(dir.path("shared") + "/", a).ok);
    WriteResult r = SavePlayers(dir.folder(), b);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(fs::is_symlink(dir.path("player.inf")));
    EXPECT_EQ(dir.read("shared/player.inf"), playersFileBytes(b));
    EXPECT_EQ(dir.read("shared/player.inf.bak"), playersFileBytes(a));

    // A link that cannot be followed is there but unreadable, never missing, and never replaced.
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // name, where it leads
        bool tableUnreadable;
    };
    const Case cases[] = {
        {"link to a missing file", {{"player.inf", "gone/player.inf"}}, true},
        {"loop of links", {{"player.inf", "other.inf"}, {"other.inf", "player.inf"}}, true},
        {"backup link to a missing file", {{"player.inf.bak", "gone/player.inf.bak"}}, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ScratchFolder game;
        if (!k.tableUnreadable) {
            ASSERT_TRUE(SavePlayers(game.folder(), a).ok);
        }
        for (const auto& [name, to] : k.links)
            fs::create_symlink(to, game.path(name));

        Diagnostics diags;
        Players loaded = LoadPlayers(game.folder(), diags);
        if (k.tableUnreadable) {
            ASSERT_EQ(diags.size(), 1u);
            EXPECT_EQ(diags[0].file, game.path("player.inf"));
            EXPECT_EQ(diags[0].reason.find("not found"), std::string::npos) << diags[0].reason;
            EXPECT_FALSE(loaded.UnreadableReason().empty());
        }
        r = SavePlayers(game.folder(), b);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("player.inf"), std::string::npos) << r.error;
        r = writeFileAtomically(game.path("player.inf"), "x", true);
        EXPECT_FALSE(r.ok);
        for (const auto& [name, to] : k.links) {
            EXPECT_TRUE(fs::is_symlink(game.path(name))) << name;
            EXPECT_EQ(fs::read_symlink(game.path(name), ec).string(), to);
        }
        EXPECT_FALSE(fs::exists(game.path("gone")));
        if (!k.tableUnreadable) {
            EXPECT_EQ(game.read("player.inf"), playersFileBytes(a));
        }
    }
}

} // namespace
} // namespace vornex
