// Files the user chose to save to (a table, a map picture): what is there afterwards.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/textfile.h"
#include "support/scratchfolder.h"

using namespace vornex;
namespace fs = std::filesystem;

TEST(ChosenFile, WritesWhatItShouldAndRefusesWithAReason)
{
    test::ScratchFolder dir;
    // A new file, and one replaced: the replaced one keeps its mode.
    ASSERT_TRUE(writeChosenFile(dir.path("new.csv"), "one").ok);
    EXPECT_EQ(dir.read("new.csv"), "one");
    dir.write("kept.csv", "old");
    fs::permissions(dir.path("kept.csv"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const WriteResult replaced = writeChosenFile(dir.path("kept.csv"), "new");
    ASSERT_TRUE(replaced.ok) << replaced.error;
    EXPECT_EQ(dir.read("kept.csv"), "new");
#ifndef _WIN32
    EXPECT_EQ(fs::status(dir.path("kept.csv")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif

    // A read-only file is left as it is (also for an administrator, whom the system would let write).
    dir.write("locked.csv", "old");
    fs::permissions(dir.path("locked.csv"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const WriteResult locked = writeChosenFile(dir.path("locked.csv"), "new");
    EXPECT_FALSE(locked.ok);
    EXPECT_NE(locked.error.find("locked.csv is read-only"), std::string::npos) << locked.error;
    EXPECT_EQ(dir.read("locked.csv"), "old");
    EXPECT_TRUE((fs::status(dir.path("locked.csv")).permissions() & fs::perms::owner_write) == fs::perms::none);
    // (Windows removes no read-only file, not even with the scratch folder.)
    fs::permissions(dir.path("locked.csv"), fs::perms::owner_write, fs::perm_options::add);

    // A link that leads nowhere is refused, and its target is not created.
    std::error_code ec;
    fs::create_symlink("target.csv", dir.path("dangling.csv"), ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    const WriteResult dangling = writeChosenFile(dir.path("dangling.csv"), "new");
    EXPECT_FALSE(dangling.ok);
    EXPECT_NE(dangling.error.find("cannot be followed"), std::string::npos) << dangling.error;
    EXPECT_FALSE(fs::exists(dir.path("target.csv")));
    EXPECT_TRUE(fs::is_symlink(dir.path("dangling.csv")));
    fs::create_symlink("new.csv", dir.path("link.csv"));
    ASSERT_TRUE(writeChosenFile(dir.path("link.csv"), "through the link").ok);
    EXPECT_EQ(dir.read("new.csv"), "through the link");
    EXPECT_TRUE(fs::is_symlink(dir.path("link.csv")));
}
