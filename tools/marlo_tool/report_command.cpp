// report: a batch file's report workbook and its chart bitmap, as the
// Report command writes them, without the window and without opening them.
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/text.h"
#include "common/utf.h"
#include "report/fill_workbook.h"
#include "report/report_image.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"
#include "tools/marlo_tool/headless_chart.h"
#include "tools/marlo_tool/report_settings.h"

namespace {

struct ReportOptions {
    std::string m_strInput;
    std::string m_strOutput;
    std::optional<std::string> m_oSettings;
};

bool EndsWithXlsx(std::string_view path) {
    std::string tail(path.substr(path.size() < 5 ? 0 : path.size() - 5));
    return StringToLower(tail) == ".xlsx";
}

std::optional<ReportOptions> ReadOptions(Arguments arguments) {
    const auto usageError = [](std::string_view problem) {
        ReportUsageError(problem, kReportUsage);
        return std::nullopt;
    };
    ReportOptions options;
    std::vector<std::string_view> operands;
    CArgumentReader reader(arguments);
    while (!reader.AtEnd()) {
        const std::string_view argument = reader.Take();
        if (argument == "--settings") {
            const std::optional<std::string_view> settings = reader.TakeValue();
            if (!settings || IsStandardStream(*settings)) return usageError("--settings takes a settings file");
            options.m_oSettings = std::string(*settings);
        } else if (IsOption(argument)) {
            return usageError("unknown option " + std::string(argument));
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.size() != 2) return usageError("give one batch file and one workbook file");
    if (IsStandardStream(operands[1]))
        return usageError("a report writes a workbook and a bitmap beside it; give the workbook a file name");
    if (!EndsWithXlsx(operands[1])) return usageError("the workbook file name ends in .xlsx");
    options.m_strInput = operands[0];
    options.m_strOutput = operands[1];
    return options;
}

// Any entry of that name, a dangling symbolic link too.
bool IsTaken(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

std::string BitmapBeside(const std::string& workbook) {
    return std::filesystem::path(workbook).replace_extension(".bmp").string();
}

}  // namespace

int RunReport(Arguments arguments) {
    const std::optional<ReportOptions> options = ReadOptions(arguments);
    if (!options) return kExitUsage;
    STLedgermill batch;
    if (!LoadBatch(options->m_strInput, batch)) return kExitFailure;
    if (batch.m_itemVector.empty()) return ReportFailure("marlo-tool: No Data.");
    if (std::string failure; !LoadReportSettings(options->m_oSettings, failure))
        return ReportFailure("marlo-tool: cannot read " + failure);

    // A workbook is never replaced, so refuse before the bitmap beside it
    // is; one that appears after this check still ends as kNotSaved.
    if (IsTaken(options->m_strOutput))
        return ReportFailure("marlo-tool: " + options->m_strOutput +
                             " exists; a workbook is never replaced");

    const STReportFiles files{Utf8ToUtf16(BitmapBeside(options->m_strOutput)), Utf8ToUtf16(options->m_strOutput)};
    const auto application = StartDrawing();
    CChartPlot plot;
    DrawBatchChart(plot, batch, kChartWidth, kChartHeight);
    if (!WriteReportBitmap(plot, files.m_strBitmap)) return ReportWriteFailure(Utf16ToUtf8(files.m_strBitmap));

    // Whatever the workbook's save leaves in errno tells why it failed.
    errno = 0;
    switch (FillWorkbook(batch, files)) {
        case EFillResult::kFilled:
        case EFillResult::kNotOpened:
            return kExitSuccess;
        case EFillResult::kNotSaved:
            return errno != 0 ? ReportWriteFailure(options->m_strOutput)
                              : ReportFailure("marlo-tool: cannot write " + options->m_strOutput);
        case EFillResult::kStopped:
        case EFillResult::kCancelled:  // nothing here asks to stop
            break;
    }
    return ReportFailure("marlo-tool: the workbook could not be filled");
}
