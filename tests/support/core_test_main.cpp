// Test executables below the window run without a QApplication and without a display, as
// anything that uses the recipe core without a window does. QCoreApplication serves the
// processes and timers some of them start.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
