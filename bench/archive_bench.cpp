// Archiving a day's batch into the SQLite archive, replacing it each round
// as a second Save does.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <filesystem>

#include "archive/archive_database.h"
#include "archive/batch_archive.h"
#include "bench/batch_fixture.h"

namespace {

void BM_ArchiveBatchSqlite(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    std::string folder = (std::filesystem::temp_directory_path() / "marlo-archive-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    {
        std::string failure;
        const auto archive = CArchiveDatabase::OpenSqlite(folder + "/archive.sqlite", failure);
        if (!archive) {
            state.SkipWithError(failure.c_str());
        } else {
            QSqlDatabase database = archive->Database();
            for (auto _ : state) {
                if (!ArchiveBatch(database, batch, {u"Bench", u"Operator"}, failure)) state.SkipWithError(failure.c_str());
            }
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ArchiveBatchSqlite)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

// Qt Sql loads its drivers through an application.
int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
