// The CSV of a day's batch, in memory and written to a file as the window's
// Export CSV writes it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "bench/batch_fixture.h"
#include "persistence/text_file.h"
#include "report/batch_csv.h"

namespace {

STCsvOptions Options(bool perReading) {
    STCsvOptions options = CsvOptionsForDecimalMark(u',');
    options.m_bPerReading = perReading;
    options.m_bByteOrderMark = true;
    return options;
}

void BM_BatchCsv(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    const STCsvOptions options = Options(state.range(1) != 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BatchCsv(batch, options));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BatchCsv)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_ExportCsvFile(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    std::string folder = (std::filesystem::temp_directory_path() / "marlo-csv-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = folder + "/batch.csv";
    for (auto _ : state) {
        if (!WriteTextFile(path, BatchCsv(batch, Options(false)))) state.SkipWithError("write failed");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExportCsvFile)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
