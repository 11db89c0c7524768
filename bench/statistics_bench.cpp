// Recomputing a batch's figures over many items.
#include <benchmark/benchmark.h>

#include "instrument/capability.h"
#include "model/ledgermill.h"

namespace {

void BM_BatchUpdateStatistics(benchmark::State& state) {
    STLedgermill batch;
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_dAverage = (i % 7 == 0) ? 0.0 : 400.0 + static_cast<double>(i % 100);
        batch.AddItem(std::move(item));
    }
    for (auto _ : state) {
        batch.UpdateStatistics();
        benchmark::DoNotOptimize(batch.m_dStandardDeviation);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BatchUpdateStatistics)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

// The window works the capability line out again at every refresh.
void BM_BatchCapability(benchmark::State& state) {
    STLedgermill batch;
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_dAverage = 400.0 + static_cast<double>(i % 100);
        item->m_subItem.emplace(u"HD", u"HLD");
        batch.AddItem(std::move(item));
    }
    batch.m_dLowerLimit = 420;
    batch.m_dUpperLimit = 480;
    batch.UpdateStatistics();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeCapability(batch));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BatchCapability)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
