// pdf: a batch file's report as a PDF document, as the window prints it,
// without the window.
#include <cerrno>
#include <optional>
#include <string>

#include "report/report_pdf.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"
#include "tools/marlo_tool/headless_chart.h"
#include "tools/marlo_tool/report_settings.h"

namespace {

constexpr STDocumentKind kPdfKind{kPdfUsage, ".pdf", "give one batch file and one PDF file",
                                  "give the PDF document a file name", "the PDF file name ends in .pdf"};

}  // namespace

int RunPdf(Arguments arguments) {
    const std::optional<STDocumentCommand> options = ReadDocumentCommand(arguments, kPdfKind);
    if (!options) return kExitUsage;
    STLedgermill batch;
    if (const std::optional<int> failed = LoadDocumentInputs(*options, batch)) return *failed;

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
