#include "archive/batch_archive.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <cmath>

#include "archive/archive_database.h"
#include "archive/archive_schema.h"
#include "common/time_text.h"
#include "support/batch_difference.h"
#include "support/temp_folder.h"
#include "support/test_postgres.h"

namespace {

std::unique_ptr<STLedgermillItem> Item(std::u16string name, std::u16string testKey, std::vector<double> readings) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem.emplace(u"NAME", std::move(name));
    item->m_subItem.emplace(u"HD", u"HLD");
    item->m_subItem.emplace(std::move(testKey), u"D");
    item->m_subItem.emplace(u"DATE", u"2016-05-04 10:20:30");
    item->m_values = std::move(readings);
    item->UpdateStatistics();
    return item;
}

STLedgermill Batch(int method, std::int64_t time) {
    STLedgermill batch;
    batch.m_time = time;
    batch.m_nTestMethod = method;
    batch.m_dLowerLimit = 440;
    batch.m_dUpperLimit = 460;
    const std::u16string testKey = method == kTestMethodLeeb ? u"IMPACT" : u"F";
    batch.AddItem(Item(u"P01", testKey, {448.5, 451.25}));
    batch.AddItem(Item(u"'); DROP TABLE batches; --", testKey, {470.0}));
    batch.AddItem(Item(u"Ä\"b\\c", testKey, {-0.0, std::nan(""), 0.1}));
    batch.UpdateStatistics();
    return batch;
}

// The same tests on each engine: a SQLite file, and a PostgreSQL server.
class BatchArchive : public TempFolder, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        if (OnServer()) {
            ASSERT_TRUE(CTestPostgres::Shared().Running());
            std::string failure;
            m_server = CTestPostgres::Shared().NewDatabase(failure);
            ASSERT_EQ(failure, "");
        }
        m_archive = Open();
        ASSERT_NE(m_archive, nullptr);
    }
    void TearDown() override {
        m_archive.reset();
        TempFolder::TearDown();
    }
    static bool OnServer() { return GetParam(); }
    std::string Where() const { return OnServer() ? ServerUrl(m_server) : PathOf("archive.sqlite"); }
    std::unique_ptr<CArchiveDatabase> Open() {
        std::string failure;
        auto archive = CArchiveDatabase::Open(Where(), failure);
        EXPECT_EQ(failure, "");
        return archive;
    }
    qint64 Count(const QString& statement) const {
        QSqlQuery query(statement, m_archive->Database());
        return query.next() ? query.value(0).toLongLong() : -1;
    }

    const STArchiveOrigin m_origin{u"Station 'A'", u"J. Smith"};
    STArchiveServer m_server;
    std::unique_ptr<CArchiveDatabase> m_archive;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Engines, BatchArchive, testing::Values(false, true),
                         [](const auto& engine) { return engine.param ? "PostgreSQL" : "SQLite"; });

TEST_P(BatchArchive, LeebAndUciBatchesComeBackToTheBitWhateverTheirTextsHold) {
    QSqlDatabase database = m_archive->Database();
    for (const int method : {kTestMethodLeeb, kTestMethodUci}) {
        SCOPED_TRACE(method);
        const STLedgermill batch = Batch(method, 1462357230 + method);
        std::string failure;
        ASSERT_TRUE(ArchiveBatch(database, batch, m_origin, failure)) << failure;
        STLedgermill loaded;
        ASSERT_TRUE(LoadArchivedBatch(database, m_origin.m_strStation, FormatTime(0, batch.m_time), loaded, failure))
            << failure;
        EXPECT_EQ(BatchDifference(batch, loaded), "");
    }
    EXPECT_EQ(Count("SELECT COUNT(*) FROM batches"), 2);
    // 470.0 and the item without a value above 10.0, in each batch.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM items WHERE pass = 0"), 4);

    STLedgermill none;
    std::string failure;
    EXPECT_FALSE(LoadArchivedBatch(database, u"Station B", u"2016-05-04 10:20:31", none, failure));
    EXPECT_EQ(failure, "");
}

TEST_P(BatchArchive, ArchivingAgainReplacesTheBatchAndAnotherStationKeepsItsOwn) {
    QSqlDatabase database = m_archive->Database();
    STLedgermill batch = Batch(kTestMethodLeeb, 1462357230);
    std::string failure;
    ASSERT_TRUE(ArchiveBatch(database, batch, m_origin, failure)) << failure;
    batch.AddItem(Item(u"P04", u"IMPACT", {452}));
    batch.UpdateStatistics();
    ASSERT_TRUE(ArchiveBatch(database, batch, m_origin, failure)) << failure;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM batches"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM items"), 4);
    EXPECT_EQ(Count("SELECT item_count FROM batches"), 4);

    ASSERT_TRUE(ArchiveBatch(database, batch, {u"Station B", u""}, failure)) << failure;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM batches"), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM items"), 8);
}

TEST_P(BatchArchive, SchemaIsMigratedOnceAndANewerArchiveIsRefused) {
    std::string failure;
    {
        QSqlDatabase database = m_archive->Database();
        EXPECT_EQ(ArchiveSchemaVersion(database), kArchiveSchemaVersion);
        ASSERT_TRUE(ArchiveBatch(database, Batch(kTestMethodUci, 1462357230), m_origin, failure)) << failure;
    }
    m_archive.reset();
    m_archive = Open();  // a second opening finds the tables and keeps the batch
    ASSERT_NE(m_archive, nullptr);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM batches"), 1);

    QSqlQuery(QStringLiteral("UPDATE archive_schema SET version = 99"), m_archive->Database());
    m_archive.reset();
    EXPECT_EQ(CArchiveDatabase::Open(Where(), failure), nullptr);
    EXPECT_NE(failure.find("version 99"), std::string::npos) << failure;
    EXPECT_NE(failure.find(Where()), std::string::npos) << failure;
}
