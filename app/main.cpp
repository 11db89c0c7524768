#include <QApplication>

#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/ledgermill_app.h"

int main(int argc, char** argv) {
    // Answered before QApplication, which needs a display.
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (const std::optional<int> exitCode = AnswerInformationOption(arguments, std::cout)) {
        return *exitCode;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlo"));
    // What Qt left of the arguments: the batch files to open. Taken from argv,
    // not as QStrings, so that a name that is not UTF-8 keeps its bytes.
    const std::vector<std::string_view> left(argv + 1, argv + argc);
    if (const std::optional<int> exitCode = RefuseUnknownOption(left, std::cerr)) {
        return *exitCode;
    }
    return CLedgermillApp(ProgramFolders()).Run(FileArguments(left));
}
