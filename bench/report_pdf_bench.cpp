// The report as a PDF file without the window: the document laid out and
// painted (table, vector chart, summary, capability) and the file written,
// for batches of 10, 1,000 and 10,000 items.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>

#include "batch_fixture.h"
#include "report/report_pdf.h"

namespace {

void BM_ReportPdf(benchmark::State& state) {
    STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    // Limits that fail some items, so NG rows and red bars are drawn too.
    batch.m_dLowerLimit = 450.0;
    batch.m_dUpperLimit = 455.0;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "marlo-bench-pdf";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "report.pdf").string();
    const QLocale locale(QLocale::English, QLocale::Germany);
    STPdfOutcome outcome;
    for (auto _ : state) {
        outcome = WriteReportPdf(batch, path, locale);
        if (outcome.m_eResult != EPdfResult::kWritten) state.SkipWithError("PDF not written");
    }
    state.counters["pages"] = outcome.m_nPages;
    state.counters["pdf_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReportPdf)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
