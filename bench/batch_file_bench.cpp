// Saving and loading a batch file, the archive's tree beside the streaming
// reader and writer: time, items per second and peak memory against the
// number of items. Counters: peak_MB is the process's peak during the case,
// extra_MB that peak above what the process held when the case began; for a
// load, kept_MB is what stays resident once the load has returned: the batch,
// and any freed memory the heap cannot give back.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "batch_fixture.h"
#include "peak_memory.h"

namespace fs = std::filesystem;

namespace {

constexpr double kMegabyte = 1e6;
constexpr std::int64_t kListedTime = 1462357230;

// A folder of this process in the temporary folder, removed at the end; the
// file is saved there, so a save is replaced there too.
class TemporaryFile {
public:
    TemporaryFile()
        : m_folder(fs::temp_directory_path() / ("marlo-bench-" + std::to_string(::getpid()))) {
        fs::create_directories(m_folder);
    }
    ~TemporaryFile() {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::string Path() const { return (m_folder / "batch.hdb").string(); }

private:
    fs::path m_folder;
};

std::size_t Items(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

// Starts the case's memory figures; returns what the process holds.
std::int64_t StartMemory(benchmark::State& state) {
    if (!ResetPeakMemory()) {
        state.SetLabel("peak covers the whole run");
    }
    return PeakMemoryBytes();
}

void CountMemory(benchmark::State& state, std::int64_t before) {
    const std::int64_t peak = PeakMemoryBytes();
    state.counters["peak_MB"] = static_cast<double>(peak) / kMegabyte;
    state.counters["extra_MB"] = static_cast<double>(peak - before) / kMegabyte;
}

void CountItemsAndBytes(benchmark::State& state, const std::string& path) {
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

// Includes the flush to disk: a save is synced before it replaces the file.
void BM_SaveBatch(benchmark::State& state, EBatchFileRoute route) {
    STLedgermill batch = TesterBatch(Items(state));
    batch.m_time = kListedTime;
    const TemporaryFile file;
    const std::int64_t before = StartMemory(state);
    for (auto _ : state) {
        if (!SaveBatch(batch, file.Path(), route)) {
            state.SkipWithError("cannot write the batch file");
            return;
        }
    }
    CountMemory(state, before);
    CountItemsAndBytes(state, file.Path());
}

void BM_LoadBatch(benchmark::State& state, EBatchFileRoute route) {
    const TemporaryFile file;
    if (!SaveBatch(TesterBatch(Items(state)), file.Path())) {
        state.SkipWithError("cannot write the batch file");
        return;
    }
    const std::int64_t before = StartMemory(state);
    std::optional<STLedgermill> batch;
    for (auto _ : state) {
        // The window keeps what it loads: letting the last batch go is no
        // part of a load.
        state.PauseTiming();
        batch.reset();
        state.ResumeTiming();
        if (!LoadBatch(file.Path(), batch.emplace(), route)) {
            state.SkipWithError("cannot read the batch file");
            return;
        }
        benchmark::DoNotOptimize(batch->m_itemVector.data());
    }
    batch.reset();
    CountMemory(state, before);
    ResetPeakMemory();  // gives the freed batches back, so the next one shows
    const std::int64_t empty = ResidentBytes();
    STLedgermill kept;
    LoadBatch(file.Path(), kept, route);
    state.counters["kept_MB"] = static_cast<double>(ResidentBytes() - empty) / kMegabyte;
    CountItemsAndBytes(state, file.Path());
}

// Loading a file whose batch is listed already: the window refuses it.
void BM_LoadListedBatch(benchmark::State& state, EBatchFileRoute route) {
    const TemporaryFile file;
    STLedgermill batch = TesterBatch(Items(state));
    batch.m_time = kListedTime;
    if (!SaveBatch(batch, file.Path())) {
        state.SkipWithError("cannot write the batch file");
        return;
    }
    batch = STLedgermill();
    const std::int64_t before = StartMemory(state);
    for (auto _ : state) {
        if (!RefuseListedBatch(file.Path(), kListedTime, route)) {
            state.SkipWithError("the listed batch was not refused");
            return;
        }
    }
    CountMemory(state, before);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Wall time. The tree takes seconds per pass over 100,000 items, so a few
// passes are enough there.
void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(1000)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
}
void Large(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(100000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(BM_SaveBatch, tree, EBatchFileRoute::kTree)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SaveBatch, stream, EBatchFileRoute::kStream)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SaveBatch, tree, EBatchFileRoute::kTree)->Apply(Large);
BENCHMARK_CAPTURE(BM_SaveBatch, stream, EBatchFileRoute::kStream)->Apply(Large);
BENCHMARK_CAPTURE(BM_LoadBatch, tree, EBatchFileRoute::kTree)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_LoadBatch, stream, EBatchFileRoute::kStream)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_LoadBatch, tree, EBatchFileRoute::kTree)->Apply(Large);
BENCHMARK_CAPTURE(BM_LoadBatch, stream, EBatchFileRoute::kStream)->Apply(Large);
BENCHMARK_CAPTURE(BM_LoadListedBatch, tree, EBatchFileRoute::kTree)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_LoadListedBatch, stream, EBatchFileRoute::kStream)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_LoadListedBatch, tree, EBatchFileRoute::kTree)->Apply(Large);
BENCHMARK_CAPTURE(BM_LoadListedBatch, stream, EBatchFileRoute::kStream)->Apply(Large);

}  // namespace
