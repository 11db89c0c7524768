// pdf: a batch file's report as a PDF document, as the window prints it,
// without the window.
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "report/report_pdf.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"
#include "tools/marlo_tool/headless_chart.h"
#include "tools/marlo_tool/report_settings.h"

namespace {

struct PdfOptions {
    std::string m_strInput;
    std::string m_strOutput;
    std::optional<std::string> m_oSettings;
};

bool EndsWithPdf(std::string_view path) {
    std::string tail(path.substr(path.size() < 4 ? 0 : path.size() - 4));
    return StringToLower(tail) == ".pdf";
}

std::optional<PdfOptions> ReadOptions(Arguments arguments) {
    const auto usageError = [](std::string_view problem) {
        ReportUsageError(problem, kPdfUsage);
        return std::nullopt;
    };
    PdfOptions options;
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
    if (operands.size() != 2) return usageError("give one batch file and one PDF file");
    if (IsStandardStream(operands[1])) return usageError("give the PDF document a file name");
    if (!EndsWithPdf(operands[1])) return usageError("the PDF file name ends in .pdf");
    options.m_strInput = operands[0];
    options.m_strOutput = operands[1];
    return options;
}

}  // namespace

int RunPdf(Arguments arguments) {
    const std::optional<PdfOptions> options = ReadOptions(arguments);
    if (!options) return kExitUsage;
    STLedgermill batch;
    if (!LoadBatch(options->m_strInput, batch)) return kExitFailure;
    if (batch.m_itemVector.empty()) return ReportFailure("marlo-tool: No Data.");
    if (std::string failure; !LoadReportSettings(options->m_oSettings, failure))
        return ReportFailure("marlo-tool: cannot read " + failure);

    const auto application = StartDrawing();
    const STPdfOutcome outcome = WriteReportPdf(batch, options->m_strOutput);
    switch (outcome.m_eResult) {
        case EPdfResult::kWritten:
            return kExitSuccess;
        case EPdfResult::kNotWritten:
            errno = outcome.m_nError;
            return ReportWriteFailure(options->m_strOutput);
        case EPdfResult::kCancelled:  // nothing here asks to stop
            break;
    }
    return ReportFailure("marlo-tool: the PDF document could not be made");
}
