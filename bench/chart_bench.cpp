// Painting the report image: N bars into the main window's 611x234 chart,
// values around 450 against limits 440 and 460 so that both colours occur.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "chart/chart_plot.h"

namespace {

void BM_DrawReportImage(benchmark::State& state) {
    const auto bars = static_cast<std::int32_t>(state.range(0));
    CChartPlot plot;
    plot.Layout(611, 234);
    plot.ClearReportData();
    for (std::int32_t i = 0; i < bars; ++i) {
        // 435 to 465 in a fixed pattern.
        plot.AddReportData({plot.GetReportDataCount() + 1.0, 435.0 + (i * 7) % 31});
    }
    plot.m_dLimitLow = 440.0;
    plot.m_dLimitHigh = 460.0;
    for (auto _ : state) {
        plot.DrawReportImage();
        benchmark::DoNotOptimize(plot.GetReportImage().m_image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * bars);
}
BENCHMARK(BM_DrawReportImage)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

// The chart's fonts and palette need an application, which benchmark_main
// does not make.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
