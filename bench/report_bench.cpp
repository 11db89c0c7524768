// A whole report without the window: the chart drawn, its bitmap written,
// the workbook filled cell by cell and saved as .xlsx (not opened), for
// batches of 1,000 and 10,000 items.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>

#include "batch_fixture.h"
#include "common/utf.h"
#include "report/fill_workbook.h"
#include "report/report_image.h"

namespace {

void BM_Report(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "marlo-bench-report";
    std::filesystem::create_directories(folder);
    const STReportFiles files{Utf8ToUtf16((folder / "report.bmp").string()),
                              Utf8ToUtf16((folder / "report.xlsx").string())};
    CChartPlot plot;
    plot.Layout(611, 234);
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        DrawBatchReportImage(plot, batch);
        if (!WriteReportBitmap(plot, files.m_strBitmap)) state.SkipWithError("bitmap not written");
        if (FillWorkbook(batch, files) != EFillResult::kFilled) state.SkipWithError("workbook not written");
        // A workbook is never replaced: the next round needs the name free.
        state.PauseTiming();
        bytes = std::filesystem::file_size(folder / "report.xlsx");
        std::filesystem::remove(folder / "report.xlsx");
        state.ResumeTiming();
    }
    state.counters["xlsx_bytes"] = static_cast<double>(bytes);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Report)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
