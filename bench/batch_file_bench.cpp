// Saving and loading a batch file: items per second and cost against the
// number of items.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "batch_fixture.h"

namespace fs = std::filesystem;

namespace {

// A file of this process in the temporary folder, removed at the end.
class TemporaryFile {
public:
    TemporaryFile()
        : m_path(fs::temp_directory_path() /
                 ("marlo-bench-" + std::to_string(::getpid()) + ".hdb")) {}
    ~TemporaryFile() {
        std::error_code ignored;
        fs::remove(m_path, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::string Path() const { return m_path.string(); }

private:
    fs::path m_path;
};

void CountItemsAndBytes(benchmark::State& state, const std::string& path) {
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

void BM_SaveBatch(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    const TemporaryFile file;
    for (auto _ : state) {
        if (!SaveBatch(batch, file.Path())) {
            state.SkipWithError("cannot write the batch file");
            return;
        }
    }
    CountItemsAndBytes(state, file.Path());
}

void BM_LoadBatch(benchmark::State& state) {
    const TemporaryFile file;
    if (!SaveBatch(TesterBatch(static_cast<std::size_t>(state.range(0))), file.Path())) {
        state.SkipWithError("cannot write the batch file");
        return;
    }
    for (auto _ : state) {
        STLedgermill batch;
        if (!LoadBatch(file.Path(), batch)) {
            state.SkipWithError("cannot read the batch file");
            return;
        }
        benchmark::DoNotOptimize(batch.m_itemVector.data());
    }
    CountItemsAndBytes(state, file.Path());
}

// Wall time: a save waits for the disk (the file is flushed before it
// replaces the old one). A 100,000-item batch takes seconds per pass, so a
// few passes are enough.
BENCHMARK(BM_SaveBatch)->Arg(1000)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBatch)->Arg(100000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBatch)->Arg(1000)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBatch)->Arg(100000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
