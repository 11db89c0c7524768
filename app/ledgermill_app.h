// The program's lifetime: settings loaded before the window opens, the
// window run, settings saved after it has closed, however it was closed.
#pragma once

#include <string>

class CLedgermillApp {
public:
    // settingsPath: Setting.xml beside the executable unless a test says
    // otherwise.
    explicit CLedgermillApp(std::string settingsPath);

    // Runs the main window to its end, inside a running QApplication; the
    // exit code.
    int Run();

private:
    std::string m_strSettingsPath;
};
