#include "archive/archive_listing.h"

#include <gtest/gtest.h>

#include "archive/archive_database.h"
#include "archive/batch_archive.h"
#include "support/temp_folder.h"

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
};

class ArchiveListing : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        std::string failure;
        m_archive = CArchiveDatabase::OpenSqlite(PathOf("archive.sqlite"), failure);
        ASSERT_NE(m_archive, nullptr) << failure;
        QSqlDatabase database = m_archive->Database();
        const STArchived archived[] = {
            {u"A", 1000, kTestModelBatch, kTestMethodLeeb, u"P-1%"},
            {u"A", 2000, kTestModelBatch, kTestMethodUci, u"X_2"},
            {u"B", 3000, kTestModelAverage, kTestMethodLeeb, u"P01"},
            {u"B", 4000, kTestModelBatch, kTestMethodLeeb, u"XY2"},
        };
        for (const STArchived& entry : archived) {
            STLedgermill batch;
            batch.m_time = entry.m_time;
            batch.m_nTestModel = entry.m_model;
            batch.m_nTestMethod = entry.m_method;
            auto item = std::make_unique<STLedgermillItem>();
            item->m_subItem.emplace(u"NAME", entry.m_name);
            item->m_values = {450.0 + 1.0 / 3.0};
            item->UpdateStatistics();
            batch.AddItem(std::move(item));
            batch.UpdateStatistics();
            ASSERT_TRUE(ArchiveBatch(database, batch, {entry.m_station, u"Op"}, failure)) << failure;
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

}  // namespace

TEST_F(ArchiveListing, FiltersCombineAndTheNewestComesFirst) {
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

TEST_F(ArchiveListing, NameTextIsTakenLiterallyNeverAsAPatternOrSql) {
    using Times = std::vector<std::int64_t>;
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"%"; })), (Times{1000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"_"; })), (Times{2000}));
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strNameText = u"' OR '1'='1"; })), Times{});
    EXPECT_EQ(Found(Filter([](STArchiveFilter& f) { f.m_strStation = u"A' OR 'x'='x"; })), Times{});
}
