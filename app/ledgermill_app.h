// The program's lifetime: settings loaded before the window opens, the
// window run, settings saved after it has closed, however it was closed.
#pragma once

class CLedgermillApp {
public:
    // Runs the program; its exit code.
    int Run(int argc, char** argv);
};
