// marlo-tool: imports tester captures into batch files and shows batch files
// as JSON, CSV, the report's chart bitmap, the report workbook or the report
// as PDF, without the window.
#include <string>
#include <string_view>
#include <vector>

#include "common/version.h"
#include "tools/marlo_tool/commands.h"
#include "persistence/text_file.h"

namespace {

constexpr std::string_view kToolUsage =
    "marlo-tool import|show|csv|chart|report|pdf|archive ... (see marlo-tool --help)";

std::string HelpText() {
    std::string help = "usage: ";
    for (const std::string_view usage : {kImportUsage, kShowUsage, kCsvUsage, kChartUsage, kReportUsage, kPdfUsage, kArchiveUsage}) {
        help.append(usage).append("\n       ");
    }
    return help + "marlo-tool -h | --help | --version\n\n"
                  "A file operand - is the standard input or the standard output.\n"
                  "chart writes PNG for an image file name ending in .png, else BMP.\n";
}

}  // namespace

int main(int argc, char** argv) {
    // The system's reasons in failure messages speak the user's language;
    // numbers in files and output keep the classic form whatever it is.
    SwitchToUserLocaleOnce();
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        ReportUsageError("no command given", kToolUsage);
        return kExitUsage;
    }
    const std::string_view command = arguments.front();
    const Arguments rest = Arguments(arguments).subspan(1);
    if (command == "import") {
        return RunImport(rest);
    }
    if (command == "show") {
        return RunShow(rest);
    }
    if (command == "csv") {
        return RunCsv(rest);
    }
    if (command == "chart") {
        return RunChart(rest);
    }
    if (command == "archive") {
        return RunArchive(rest);
    }
    if (command == "report") {
        return RunReport(rest);
    }
    if (command == "pdf") {
        return RunPdf(rest);
    }
    if (command == "--help" || command == "-h") {
        return WriteStandardOutput(HelpText());
    }
    if (command == "--version") {
        return WriteStandardOutput("marlo-tool " + std::string(kMarloVersion) + "\n");
    }
    ReportUsageError("unknown command " + std::string(command), kToolUsage);
    return kExitUsage;
}
