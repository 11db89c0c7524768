// What archiving costs the window's thread: the snapshot of a batch and its
// hand-over to the archive service, which writes on its own thread. A
// second case hands over a filing burst and counts the writes it took.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QObject>
#include <filesystem>

#include "app/archive_service.h"
#include "bench/batch_fixture.h"
#include "bench/bench_folder.h"

namespace {

void BM_HandOverSnapshot(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    const std::string folder = BenchFolder(state);
    if (folder.empty()) return;
    {
        QObject context;
        CArchiveService service(folder + "/archive.sqlite", &context, nullptr);
        for (auto _ : state) {
            service.Archive(std::make_shared<const STLedgermill>(batch), {u"Bench", u"Operator"});
        }
        service.WaitForLocalWrites();
        state.counters["writes"] = static_cast<double>(service.WriteCount());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_HandOverSnapshot)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A hundred hand-overs of a growing batch, then every write done.
void BM_FilingBurstToArchive(benchmark::State& state) {
    const std::string folder = BenchFolder(state);
    if (folder.empty()) return;
    const STLedgermill full = TesterBatch(static_cast<std::size_t>(state.range(0)));
    std::int64_t writes = 0;
    {
        QObject context;
        CArchiveService service(folder + "/archive.sqlite", &context, nullptr);
        for (auto _ : state) {
            STLedgermill batch = full;
            for (int record = 0; record < 100; ++record) {
                batch.AddItem(std::make_unique<STLedgermillItem>(*full.m_itemVector.front()));
                service.Archive(std::make_shared<const STLedgermill>(batch), {u"Bench", u"Operator"});
            }
            service.WaitForLocalWrites();
        }
        writes = service.WriteCount();
    }
    state.counters["writes per burst"] = benchmark::Counter(static_cast<double>(writes) / static_cast<double>(state.iterations()));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FilingBurstToArchive)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
