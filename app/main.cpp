#include <QApplication>

#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/ledgermill_app.h"
#include "persistence/setting.h"

int main(int argc, char** argv) {
    // Answered before QApplication, which needs a display.
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (const std::optional<int> exitCode = AnswerInformationOption(arguments, std::cout)) {
        return *exitCode;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlo"));
    return CLedgermillApp(SettingsFilePath()).Run();
}
