// Archiving a day's batch, replacing it each round as a second Save does,
// and searching 100,000 archived batches: on the SQLite archive and on a
// private PostgreSQL server on this machine, started for the run with fsync
// on, as a lab's server would run.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include <QSqlQuery>
#include <QVariant>

#include "archive/archive_database.h"
#include "archive/archive_listing.h"
#include "archive/batch_archive.h"
#include "bench/batch_fixture.h"
#include "bench/bench_folder.h"
#include "support/test_postgres.h"

namespace {

constexpr int kSqlite = 0;

// The archive of the engine the benchmark's first argument names: a file in
// folder, or a new database on the run's server. Null after telling the
// benchmark why.
std::unique_ptr<CArchiveDatabase> OpenArchive(benchmark::State& state, const std::string& folder) {
    std::string failure;
    std::unique_ptr<CArchiveDatabase> archive;
    if (state.range(0) == kSqlite) {
        archive = CArchiveDatabase::OpenSqlite(folder + "/archive.sqlite", failure);
    } else {
        static CTestPostgres& server = [] () -> CTestPostgres& {
            ::setenv("MARLO_TEST_POSTGRES_DURABLE", "1", 1);
            return CTestPostgres::Shared();
        }();
        const STArchiveServer database = server.NewDatabase(failure);
        if (failure.empty()) archive = CArchiveDatabase::OpenServer(database, failure);
    }
    if (!archive) state.SkipWithError(failure.c_str());
    return archive;
}

void BM_ArchiveBatch(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(1)));
    const std::string folder = BenchFolder(state);
    if (folder.empty()) return;
    {
        std::string failure;
        const auto archive = OpenArchive(state, folder);
        if (archive) {
            QSqlDatabase database = archive->Database();
            for (auto _ : state) {
                if (!ArchiveBatch(database, batch, {u"Bench", u"Operator"}, failure)) state.SkipWithError(failure.c_str());
            }
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ArchiveBatch)
    ->ArgNames({"postgres", "items"})
    ->ArgsProduct({{0, 1}, {100, 10000}})
    ->Unit(benchmark::kMillisecond);

// count archived batches of one item each, a minute apart, every third UCI,
// their averages spread over 400.0 to 499.9 in no order of time, made by
// the engine itself in two statements of one transaction.
void FillArchive(QSqlDatabase& database, std::int64_t count) {
    const QString numbers = QStringLiteral(
        "WITH RECURSIVE n (id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM n WHERE id < %1) ").arg(count);
    database.transaction();
    QSqlQuery query(database);
    query.exec(numbers + QStringLiteral(
        "INSERT INTO batches (id, station, batch_key, created, model, method, use_limit, operator, item_count,"
        " archived, average) SELECT id, 'Bench', 'key ' || id, 1400000000 + id * 60, 0,"
        " CASE WHEN id % 3 = 0 THEN %1 ELSE %2 END, 1, 'Operator', 1, 0, 400.0 + (id * 37 % 1000) / 10.0 FROM n").arg(kTestMethodUci).arg(kTestMethodLeeb));
    query.exec(numbers + QStringLiteral(
        "INSERT INTO items (batch_id, position, name, scale, average, pass, readings, fields)"
        " SELECT id, 1, 'P' || (id % 5000), 'HLD', 450.0, 1, '450', '{}' FROM n"));
    database.commit();
}

// Out of 100,000: a month of Leeb batches (about 1,000 of them), every
// batch with an item named like "P4711", or the first 1,001 of all as the
// archive window asks for them, newest first or by average (no index: the
// database sorts them all).
void BM_ListArchivedBatches(benchmark::State& state) {
    const std::string folder = BenchFolder(state);
    if (folder.empty()) return;
    if (const auto archive = OpenArchive(state, folder)) {
        std::string failure;
        QSqlDatabase database = archive->Database();
        FillArchive(database, state.range(1));
        STArchiveFilter filter;
        if (state.range(2) == 0) {
            filter.m_oMethod = kTestMethodLeeb;
            filter.m_oFrom = 1'400'000'000 + 50'000 * 60;
            filter.m_oTo = *filter.m_oFrom + 30 * 24 * 3600;
        } else if (state.range(2) == 1) {
            filter.m_strNameText = u"P4711";
        } else {
            filter.m_nLimit = 1001;
            filter.m_eSort = state.range(2) == 2 ? EArchiveSort::kTime : EArchiveSort::kAverage;
            filter.m_bDescending = false;
        }
        std::vector<STArchivedBatch> batches;
        for (auto _ : state) {
            if (!ListArchivedBatches(database, filter, batches, failure)) state.SkipWithError(failure.c_str());
        }
        state.counters["found"] = static_cast<double>(batches.size());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ListArchivedBatches)
    ->ArgNames({"postgres", "batches", "search"})
    ->ArgsProduct({{0, 1}, {100000}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
