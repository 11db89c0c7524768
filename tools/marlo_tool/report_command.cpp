// report: a batch file's report workbook and its chart bitmap, as the
// Report command writes them, without the window and without opening them.
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "common/utf.h"
#include "report/fill_workbook.h"
#include "report/report_image.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"
#include "tools/marlo_tool/headless_chart.h"
#include "tools/marlo_tool/report_settings.h"

namespace {

constexpr STDocumentKind kReportKind{
    kReportUsage, ".xlsx", "give one batch file and one workbook file",
    "a report writes a workbook and a bitmap beside it; give the workbook a file name",
    "the workbook file name ends in .xlsx"};

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
    const std::optional<STDocumentCommand> options = ReadDocumentCommand(arguments, kReportKind);
    if (!options) return kExitUsage;
    STLedgermill batch;
    if (const std::optional<int> failed = LoadDocumentInputs(*options, batch)) return *failed;

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
