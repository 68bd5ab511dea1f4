// Finding the demo galaxy from where the program runs: installed tree first, then the source tree.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "app/datapaths.h"

TEST(DemoFolder, InstalledBesideTheProgramElseSourceTreeElseNamesTheInstalledPlace)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // The installed demo lies where the install layout puts it beside the program: bin/../share/...
    // on Linux, share/... beside the programs in the Windows package.
    const QString bin = root.filePath("prefix/bin");
    const QString installed = QDir::cleanPath(bin + "/" VORNEX_DEMO_RELATIVE_DIR);
    const QString source = root.filePath("src/data/demo");
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(source));

    // Run from the build folder: nothing installed, so the source tree is used.
    EXPECT_EQ(vornex::demoFolder(bin, source), QDir::cleanPath(source));
    // Nothing anywhere: the installed place is named, and a copy from it finds nothing.
    EXPECT_EQ(vornex::demoFolder(bin, root.filePath("gone")), QDir::cleanPath(installed));
    EXPECT_EQ(vornex::demoFolder(bin, QString()), QDir::cleanPath(installed));

    // Installed: preferred over the source tree the program was built from, also when the whole
    // installation has been moved elsewhere.
    ASSERT_TRUE(QDir().mkpath(installed));
    EXPECT_EQ(vornex::demoFolder(bin, source), QDir::cleanPath(installed));
    ASSERT_TRUE(QDir().rename(root.filePath("prefix"), root.filePath("moved")));
    EXPECT_EQ(vornex::demoFolder(root.filePath("moved/bin") + "/", source),
              QDir::cleanPath(root.filePath("moved/bin/" VORNEX_DEMO_RELATIVE_DIR)));
}
