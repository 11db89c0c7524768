// The program's lifetime: settings loaded before the window opens and kept
// whenever a dialog changes them, the batch files named on the command line
// loaded, the window run, settings saved after it has closed, however it was
// closed. A signal or the session ending keeps unsaved batches in the
// recovery folder first; the next start tells where.
#pragma once

#include <string>
#include <vector>

#include "common/program_folders.h"

class CLedgermillApp {
public:
    explicit CLedgermillApp(STProgramFolders folders);

    // Runs the main window to its end, inside a running QApplication, with
    // the batch files loaded as Load does; the exit code.
    int Run(const std::vector<std::string>& files = {});

private:
    STProgramFolders m_folders;
};
