// Saves that cannot lose data: a save killed at any moment leaves player.inf either the old or the
// new table, and a save that fails leaves the old file as it was and says so.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "io/exportfile.h"
#include "io/tables.h"
#include "io/textfile.h"
#include "scratchfolder.h"

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
        p->GravMin = 0.5f;
        p->GravMax = 2.5f;
        p->TempMin = -120;
        p->TempMax = 40;
        p->RadMin = 10;
        p->RadMax = 60;
        p->GravTerra = p->TempTerra = p->RadTerra = static_cast<int16_t>(n % 16);
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

    // Kill moments spread over about three saves, so that they fall before, inside and between them.
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(SavePlayers(dir.folder(), a).ok);
    auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    RecordProperty("save_us", static_cast<int>(saveUs));
    std::mt19937 rng(8);
    std::uniform_int_distribution<long> delayUs(0, std::max<long>(300, 2 * static_cast<long>(saveUs)));
    int sawA = 0, sawB = 0;
    for (int round = 0; round < 200; ++round) {
        // The child first saves the table that is not on disk, then the two in turn until killed.
        const bool startWithB = dir.read("player.inf") == bytesA;
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = startWithB ? 1 : 0;; ++i)
                if (!SavePlayers(dir.folder(), i % 2 ? b : a).ok) _exit(3);
        }
        usleep(static_cast<useconds_t>(delayUs(rng)));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process stopped by itself in round " << round;

        std::string now = dir.read("player.inf");
        ASSERT_TRUE(now == bytesA || now == bytesB)
            << "round " << round << ": player.inf is neither table (" << now.size() << " bytes)";
        (now == bytesA ? sawA : sawB)++;
        if (fs::exists(dir.path("player.inf.bak"))) {
            std::string bak = dir.read("player.inf.bak");
            ASSERT_TRUE(bak == bytesA || bak == bytesB) << "round " << round << ": player.inf.bak is torn";
        }
    }
    // Both tables were seen, so the kills landed between and during saves, not only before them.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);

    // What is left after the last kill loads cleanly as a table of sixteen.
    Diagnostics diags;
    Players loaded = LoadPlayers(dir.folder(), diags);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(loaded.Count(), 16);
    // Temporary files a killed save leaves behind never take a reader's name.
    for (const std::string& n : temporaryFiles(dir)) EXPECT_EQ(n.rfind("player.inf.", 0), 0u) << n;
}

TEST(CrashSafeSave, SaveKeepsThePreviousTableAsBackup)
{
    ScratchFolder dir;
    const Players a = bigTable('a');
    const Players b = bigTable('b');
    ASSERT_TRUE(SavePlayers(dir.folder(), a).ok);
    EXPECT_FALSE(fs::exists(dir.path("player.inf.bak")));
    ASSERT_TRUE(SavePlayers(dir.folder(), b).ok);
    EXPECT_EQ(dir.read("player.inf"), playersFileBytes(b));
    EXPECT_EQ(dir.read("player.inf.bak"), playersFileBytes(a));
    EXPECT_TRUE(temporaryFiles(dir).empty());
}

// Runs fn in a child whose files may not grow beyond limit bytes (writes past it fail with EFBIG,
// as on a full disk); returns the child's exit status.
template <typename Fn>
int withFileSizeLimit(rlim_t limit, Fn fn)
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
    ASSERT_TRUE(WriteExportFile(dir.folder(), 2, oldPlanets, everyone("Kethri")).ok);
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
        WriteResult r = WriteExportFile(dir.folder(), 2, bigPlanets, everyone("Kethri"));
        return r.ok ? 1 : (r.error.empty() ? 2 : 0);
    });
    EXPECT_EQ(rc, 0) << "1: reported success, 2: failure without a reason";
    EXPECT_EQ(dir.read("export.p2"), oldExport);
    EXPECT_TRUE(temporaryFiles(dir).empty()) << "a failed save left its temporary file";
}

TEST(CrashSafeSave, TargetThatIsAFolderOrMissingFolderFails)
{
    ScratchFolder dir;
    fs::create_directory(dir.path("export.p5"));
    dir.write("export.p5/keep", "x");
    WriteResult r = WriteExportFile(dir.folder(), 5, smallGalaxy("Kethri", 2), everyone("Kethri"));
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
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; the size-limit test covers this";
    ScratchFolder dir;
    ASSERT_TRUE(SavePlayers(dir.folder(), bigTable('a')).ok);
    const std::string old = dir.read("player.inf");
    ASSERT_EQ(chmod(dir.folder().c_str(), 0555), 0);
    WriteResult r = SavePlayers(dir.folder(), bigTable('b'));
    chmod(dir.folder().c_str(), 0755);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(dir.read("player.inf"), old);
}

}  // namespace
}  // namespace vornex
