// Archiving a day's batch into the SQLite archive, replacing it each round
// as a second Save does.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include <QSqlQuery>
#include <QVariant>

#include "archive/archive_database.h"
#include "archive/archive_listing.h"
#include "archive/batch_archive.h"
#include "bench/batch_fixture.h"

namespace {

// A fresh folder for the benchmark's archive; empty, after telling the
// benchmark, when none can be made.
std::string ArchiveFolder(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "marlo-archive-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return {};
    }
    return folder;
}

void BM_ArchiveBatchSqlite(benchmark::State& state) {
    const STLedgermill batch = TesterBatch(static_cast<std::size_t>(state.range(0)));
    const std::string folder = ArchiveFolder(state);
    if (folder.empty()) return;
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

// count archived batches of one item each, a minute apart, every third UCI,
// their averages scattered, written straight into the tables in one
// transaction.
void FillArchive(QSqlDatabase& database, std::int64_t count) {
    database.transaction();
    QSqlQuery batches(database);
    batches.prepare(QStringLiteral(
        "INSERT INTO batches (id, station, batch_key, created, model, method, use_limit, operator, item_count,"
        " archived, average) VALUES (?, 'Bench', ?, ?, 0, ?, 1, 'Operator', 1, 0, ?)"));
    QSqlQuery items(database);
    items.prepare(QStringLiteral(
        "INSERT INTO items (batch_id, position, name, scale, average, pass, readings, fields)"
        " VALUES (?, 1, ?, 'HLD', 450.0, 1, '450', '{}')"));
    for (std::int64_t id = 1; id <= count; ++id) {
        batches.addBindValue(QVariant::fromValue<qint64>(id));
        batches.addBindValue(QStringLiteral("key %1").arg(id));
        batches.addBindValue(QVariant::fromValue<qint64>(1'400'000'000 + id * 60));
        batches.addBindValue(id % 3 == 0 ? kTestMethodUci : kTestMethodLeeb);
        // Averages spread over 400.0 to 499.9, in no order of time.
        batches.addBindValue(400.0 + static_cast<double>(id * 37 % 1000) / 10.0);
        batches.exec();
        items.addBindValue(QVariant::fromValue<qint64>(id));
        items.addBindValue(QStringLiteral("P%1").arg(id % 5000));
        items.exec();
    }
    database.commit();
}

// Out of 100,000: a month of Leeb batches (about 1,000 of them), every
// batch with an item named like "P4711", or the first 1,001 of all as the
// archive window asks for them, newest first or by average (no index: the
// database sorts them all).
void BM_ListArchivedBatches(benchmark::State& state) {
    const std::string folder = ArchiveFolder(state);
    if (folder.empty()) return;
    {
        std::string failure;
        const auto archive = CArchiveDatabase::OpenSqlite(folder + "/archive.sqlite", failure);
        QSqlDatabase database = archive->Database();
        FillArchive(database, state.range(0));
        STArchiveFilter filter;
        if (state.range(1) == 0) {
            filter.m_oMethod = kTestMethodLeeb;
            filter.m_oFrom = 1'400'000'000 + 50'000 * 60;
            filter.m_oTo = *filter.m_oFrom + 30 * 24 * 3600;
        } else if (state.range(1) == 1) {
            filter.m_strNameText = u"P4711";
        } else {
            filter.m_nLimit = 1001;
            filter.m_eSort = state.range(1) == 2 ? EArchiveSort::kTime : EArchiveSort::kAverage;
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
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Args({100000, 3})
    ->Unit(benchmark::kMillisecond);

}  // namespace
