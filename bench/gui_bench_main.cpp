// main for the benchmarks that need an application, which benchmark_main
// does not make: fonts and the palette to draw, Qt Sql to load its drivers.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QGuiApplication>

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
