#include "archive/archive_listing.h"

#include <gtest/gtest.h>

#include "archive/archive_database.h"
#include "archive/batch_archive.h"
#include "support/temp_folder.h"
#include "support/test_postgres.h"

namespace {

// A filter with only what set sets.
template <class Set>
STArchiveFilter Filter(Set set) {
    STArchiveFilter filter;
    set(filter);
    return filter;
}

struct STArchived {
    const char16_t* m_station;
    std::int64_t m_time;
    int m_model;
    int m_method;
    const char16_t* m_name;
    const char16_t* m_operator;
    // Item k of m_items holds the one reading m_value + k x m_step.
    double m_value;
    int m_items;
    double m_step;
};

// The same archive on each engine: a SQLite file, and a PostgreSQL server.
class ArchiveListingOn : public TempFolder {
protected:
    virtual bool OnServer() const = 0;

    void SetUp() override {
        TempFolder::SetUp();
        std::string failure;
        if (OnServer()) {
            ASSERT_TRUE(CTestPostgres::Shared().Running());
            const STArchiveServer server = CTestPostgres::Shared().NewDatabase(failure);
            ASSERT_EQ(failure, "");
            m_archive = CArchiveDatabase::OpenServer(server, failure);
        } else {
            m_archive = CArchiveDatabase::OpenSqlite(PathOf("archive.sqlite"), failure);
        }
        ASSERT_NE(m_archive, nullptr) << failure;
        QSqlDatabase database = m_archive->Database();
        const STArchived archived[] = {
            {u"A", 1000, kTestModelBatch, kTestMethodLeeb, u"P-1%", u"Op", 450.0 + 1.0 / 3.0, 1, 0.0},
            {u"A", 2000, kTestModelBatch, kTestMethodUci, u"X_2", u"Bo", 300.0, 3, 1.0},
            {u"B", 3000, kTestModelAverage, kTestMethodLeeb, u"P01", u"Cy", 500.0, 2, 10.0},
            {u"B", 4000, kTestModelBatch, kTestMethodLeeb, u"XY2", u"Al", 300.0, 1, 0.0},
        };
        for (const STArchived& entry : archived) {
            STLedgermill batch;
            batch.m_time = entry.m_time;
            batch.m_nTestModel = entry.m_model;
            batch.m_nTestMethod = entry.m_method;
            for (int k = 0; k < entry.m_items; ++k) {
                auto item = std::make_unique<STLedgermillItem>();
                item->m_subItem.emplace(u"NAME", entry.m_name);
                item->m_values = {entry.m_value + k * entry.m_step};
                item->UpdateStatistics();
                batch.AddItem(std::move(item));
            }
            batch.UpdateStatistics();
            ASSERT_TRUE(ArchiveBatch(database, batch, {entry.m_station, entry.m_operator}, failure)) << failure;
        }
    }
    void TearDown() override {
        m_archive.reset();
        TempFolder::TearDown();
    }
    // The creation times of the batches found, in the order listed.
    std::vector<std::int64_t> Found(const STArchiveFilter& filter) {
        std::vector<STArchivedBatch> batches;
        std::string failure;
        QSqlDatabase database = m_archive->Database();
        EXPECT_TRUE(ListArchivedBatches(database, filter, batches, failure)) << failure;
        std::vector<std::int64_t> times;
        for (const STArchivedBatch& batch : batches) times.push_back(batch.m_nCreated);
        return times;
    }

    std::unique_ptr<CArchiveDatabase> m_archive;
};

class ArchiveListing : public ArchiveListingOn, public testing::WithParamInterface<bool> {
protected:
    bool OnServer() const override { return GetParam(); }
};

std::string EngineName(bool onServer) {
    return onServer ? "PostgreSQL" : "SQLite";
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveListing, testing::Values(false, true),
                         [](const auto& engine) { return EngineName(engine.param); });

TEST_P(ArchiveListing, FiltersCombineAndTheNewestComesFirst) {
    using Times = std::vector<std::int64_t>;
    EXPECT_EQ(Found({}), (Times{4000, 3000, 2000, 1000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_oFrom = 2000; f.m_oTo = 3000; })), (Times{3000, 2000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_oMethod = kTestMethodUci; })), (Times{2000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_oModel = kTestModelAverage; })), (Times{3000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_oMethod = kTestMethodLeeb; f.m_strStation = u"B"; })), (Times{4000, 3000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"P"; })), (Times{3000, 1000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_nLimit = 1; })), (Times{4000}));

    std::vector<STArchivedBatch> batches;
    std::string failure;
    QSqlDatabase database = m_archive->Database();
    ASSERT_TRUE(ListArchivedBatches(database, Filter([](STArchiveFilter& f) { f.m_oTo = 1000; }), batches, failure));
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].m_strStation, u"A");
    EXPECT_EQ(batches[0].m_strKey.size(), 19u);
    EXPECT_EQ(batches[0].m_strOperator, u"Op");
    EXPECT_EQ(batches[0].m_nItems, 1);
    EXPECT_EQ(batches[0].m_dAverage, 450.0 + 1.0 / 3.0);  // to the bit
}

TEST_P(ArchiveListing, NameTextIsTakenLiterallyNeverAsAPatternOrSql) {
    using Times = std::vector<std::int64_t>;
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"%"; })), (Times{1000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"_"; })), (Times{2000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"' OR '1'='1"; })), Times{});
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strStation = u"A' OR 'x'='x"; })), Times{});
    // Letters in any case, as on the server.
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"xy"; })), (Times{4000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"p-1%"; })), (Times{1000}));
}

struct STSortCase {
    EArchiveSort m_eSort;
    // Ascending; descending must be its reverse except where values tie,
    // which keep the newest first both ways.
    std::vector<std::int64_t> m_ascending;
    std::vector<std::int64_t> m_descending;
};

class ArchiveSorting : public ArchiveListingOn, public testing::WithParamInterface<std::tuple<bool, STSortCase>> {
protected:
    bool OnServer() const override { return std::get<0>(GetParam()); }
};

TEST_P(ArchiveSorting, SortsByTheColumnBothWaysWithTiesNewestFirst) {
    const STSortCase& sorted = std::get<1>(GetParam());
    EXPECT_EQ(Found(Filter([&](STArchiveFilter& f) { f.m_eSort = sorted.m_eSort; f.m_bDescending = false; })),
              sorted.m_ascending);
    EXPECT_EQ(Found(Filter([&](STArchiveFilter& f) { f.m_eSort = sorted.m_eSort; f.m_bDescending = true; })),
              sorted.m_descending);
    // The limit takes the first rows of the sorted order.
    EXPECT_EQ(Found(Filter([&](STArchiveFilter& f) {
                  f.m_eSort = sorted.m_eSort;
                  f.m_bDescending = false;
                  f.m_nLimit = 2;
              })),
              std::vector<std::int64_t>(sorted.m_ascending.begin(), sorted.m_ascending.begin() + 2));
}

INSTANTIATE_TEST_SUITE_P(
    EveryColumn, ArchiveSorting,
    testing::Combine(testing::Values(false, true), testing::Values(STSortCase{EArchiveSort::kTime, {1000, 2000, 3000, 4000}, {4000, 3000, 2000, 1000}},
                    STSortCase{EArchiveSort::kStation, {2000, 1000, 4000, 3000}, {4000, 3000, 2000, 1000}},
                    STSortCase{EArchiveSort::kOperator, {4000, 2000, 3000, 1000}, {1000, 3000, 2000, 4000}},
                    STSortCase{EArchiveSort::kMethod, {2000, 4000, 3000, 1000}, {4000, 3000, 1000, 2000}},
                    STSortCase{EArchiveSort::kModel, {4000, 2000, 1000, 3000}, {3000, 4000, 2000, 1000}},
                    STSortCase{EArchiveSort::kItems, {4000, 1000, 3000, 2000}, {2000, 3000, 4000, 1000}},
                    STSortCase{EArchiveSort::kAverage, {4000, 2000, 1000, 3000}, {3000, 1000, 2000, 4000}},
                    STSortCase{EArchiveSort::kStandardDeviation, {4000, 1000, 2000, 3000}, {3000, 2000, 4000, 1000}})),
    [](const auto& sorting) {
        return EngineName(std::get<0>(sorting.param)) + "_" + std::to_string(sorting.index);
    });
