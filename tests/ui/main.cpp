// Test runner for the window tests: one QApplication for all of them, on an offscreen screen of
// 1366 by 768 unless the caller chose another platform, with a data folder of its own for the
// games' histories.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/folders.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", VORNEX_TEST_SCREEN);
    // The windows record every turn they load: into a folder of this run, never the user's own.
    QTemporaryDir data;
    vornex::test::useDataFolder(data.path());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
