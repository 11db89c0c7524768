// The chart at the main window's 611x234 size, with values around 450
// against limits 440 and 460 so that both colours occur: painting the report
// image and the screen image (also on a 200 % screen), the window's fill
// point by point, and its removal of one point. Above about 410 points the bars stand closer than a
// pixel and are painted merged into pixel columns.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "chart/chart_plot.h"

namespace {

// 435 to 465 in a fixed pattern.
double Value(std::int32_t i) {
    return 435.0 + (i * 7) % 31;
}

void FillScreen(CChartPlot& plot, std::int32_t points) {
    plot.ClearData();
    for (std::int32_t i = 0; i < points; ++i) {
        plot.AddData({plot.GetDataCount() + 1.0, Value(i)});
    }
}

void BM_DrawReportImage(benchmark::State& state) {
    const auto bars = static_cast<std::int32_t>(state.range(0));
    CChartPlot plot;
    plot.Layout(611, 234);
    plot.ClearReportData();
    for (std::int32_t i = 0; i < bars; ++i) {
        plot.AddReportData({plot.GetReportDataCount() + 1.0, Value(i)});
    }
    plot.m_dLimitLow = 440.0;
    plot.m_dLimitHigh = 460.0;
    for (auto _ : state) {
        plot.DrawReportImage();
        benchmark::DoNotOptimize(plot.GetReportImage().m_image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * bars);
}
BENCHMARK(BM_DrawReportImage)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// With the middle point highlighted, at a device pixel ratio of 1 and of 2
// (a 200 % screen: four device pixels a logical one, text set twice as
// large).
void PaintScreenImage(benchmark::State& state, double devicePixelRatio) {
    const auto bars = static_cast<std::int32_t>(state.range(0));
    CChartPlot plot;
    plot.Layout(611, 234, devicePixelRatio);
    FillScreen(plot, bars);
    plot.m_dLimitLow = 440.0;
    plot.m_dLimitHigh = 460.0;
    plot.m_nHighlight = bars / 2;
    for (auto _ : state) {
        plot.PaintScreenImage();
        benchmark::DoNotOptimize(plot.GetScreenImage().m_image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * bars);
}

void BM_PaintScreenImage(benchmark::State& state) {
    PaintScreenImage(state, 1.0);
}
BENCHMARK(BM_PaintScreenImage)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_PaintScreenImageAtRatio2(benchmark::State& state) {
    PaintScreenImage(state, 2.0);
}
BENCHMARK(BM_PaintScreenImageAtRatio2)
    ->Arg(100)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_AddData(benchmark::State& state) {
    const auto points = static_cast<std::int32_t>(state.range(0));
    CChartPlot plot;
    plot.Layout(611, 234);
    for (auto _ : state) {
        FillScreen(plot, points);
        benchmark::DoNotOptimize(plot.GetDataCount());
    }
    state.SetItemsProcessed(state.iterations() * points);
}
BENCHMARK(BM_AddData)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Deleting the middle measurement; the refill between runs is not timed.
void BM_RemoveData(benchmark::State& state) {
    const auto points = static_cast<std::int32_t>(state.range(0));
    CChartPlot plot;
    plot.Layout(611, 234);
    for (auto _ : state) {
        state.PauseTiming();
        FillScreen(plot, points);
        state.ResumeTiming();
        plot.RemoveData(points / 2);
        benchmark::DoNotOptimize(plot.GetDataCount());
    }
}
BENCHMARK(BM_RemoveData)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
