// Files that are nearly all faults: loading one takes memory by its size, not by its faults.
#include <gtest/gtest.h>

#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "io/settingstable.h"
#include "io/tables.h"
#include "support/hostilefiles.h"
#include "support/scratchfolder.h"

using namespace vornex;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Everything a window start or the report tool loads from the folder; the number of notes.
int64_t loadGame(const std::string& folder, Diagnostics& diags)
{
    Gravities gravities = LoadGravities(folder, diags);
    Players players = LoadPlayers(folder, diags);
    Map planets;
    LoadPlanets(planets, Game{folder, "hostile", playerNumberOf(3)}, diags);
    return static_cast<int64_t>(diags.size());
}

} // namespace

// Each file lists its first thousand faults and counts the rest in one note; the load runs under a
// limit of its address space and holds at most a few times the file's size.
TEST(HostileFiles, MemoryFollowsTheFileNotItsFaults)
{
#ifndef VORNEX_CAN_MEASURE_PEAK
    GTEST_SKIP() << "no child processes to measure here";
#else
    if (kAddressSanitizer) GTEST_SKIP() << "the address sanitizer reserves more address space than any limit";
    for (const test::HostileFile& file : test::kHostileFiles) {
        SCOPED_TRACE(file.what);
        // Large enough for the notes of every fault to take many times the file, if they were kept.
        const size_t kBytes = file.times > 3 ? 1u << 20 : 8u << 20;
        test::ScratchFolder dir;
        test::writeHostileFolder(dir.folder(), file, kBytes);
        Diagnostics diags;
        const test::PeakLoad peak = test::measurePeakLoad(
            [&] {
                Diagnostics inChild;
                return loadGame(dir.folder(), inChild);
            },
            2 * size_t(file.times) * kBytes + (128u << 20));
        ASSERT_TRUE(peak.finished) << "the load ran out of memory";
        // Again in this process, for what the notes say.
        loadGame(dir.folder(), diags);
        const std::string path = dir.path(file.name);
        int64_t listed = 0, counted = 0;
        const Diagnostic* last = nullptr;
        for (const Diagnostic& d : diags)
            if (d.file == path) {
                ++listed;
                counted += d.rejectedLines();
                last = &d;
            }
        EXPECT_EQ(listed, int64_t(LineNotes::kListed) + 1);
        EXPECT_GT(counted, int64_t(kBytes / 14));
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->text(), path + ": and " + groupedNumber(last->moreLines) + " more lines rejected");
        EXPECT_EQ(peak.notes, int64_t(diags.size()));
        if (peak.peakBytes >= 0) {
            EXPECT_LT(peak.peakBytes, int64_t(size_t(file.times) * kBytes + (16u << 20)));
        }
    }
#endif
}
