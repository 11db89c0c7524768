// Test main for suites that draw: a QApplication on the offscreen platform,
// so fonts, palettes and widgets work without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Pictures of windows and dialogs, to look at after a run.
    setenv("MARLO_SCREENSHOTS", MARLO_SCREENSHOT_DIR, 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
