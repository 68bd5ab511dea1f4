// Test runner for the start-up and following tests: one application object, so that the timers and
// the file system watcher of the game being followed work as in the program.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
