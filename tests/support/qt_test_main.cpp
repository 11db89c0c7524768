// Test main for suites that draw: a QApplication on the offscreen platform,
// so fonts, palettes and widgets work without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The window keeps its state, settings and reports in the user's XDG
// folders; a test run gets folders of its own instead of the developer's.
std::string UsePrivateUserFolders() {
    const std::string root = "/tmp/marlo-test-home-" + std::to_string(getpid()) + "/";
    setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (root + "Documents").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "data").c_str(), 1);
    return root;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string userFolders = UsePrivateUserFolders();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Pictures of windows and dialogs, to look at after a run.
    setenv("MARLO_SCREENSHOTS", MARLO_SCREENSHOT_DIR, 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(userFolders, ignored);
    return result;
}
