#include "archive/archive_outbox.h"

#include <gtest/gtest.h>

#include <QSqlQuery>

#include "archive/archive_database.h"
#include "support/batch_difference.h"
#include "support/temp_folder.h"
#include "support/test_postgres.h"

namespace {

STLedgermill Batch(std::int64_t time, int items) {
    STLedgermill batch;
    batch.m_time = time;
    batch.m_nTestMethod = kTestMethodLeeb;
    for (int i = 0; i < items; ++i) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem.emplace(u"NAME", u"P" + std::u16string(1, static_cast<char16_t>(u'0' + i)));
        item->m_values = {440.0 + i, 450.5};
        item->UpdateStatistics();
        batch.AddItem(std::move(item));
    }
    batch.UpdateStatistics();
    return batch;
}

qint64 Count(const QSqlDatabase& database, const QString& statement) {
    QSqlQuery query(statement, database);
    return query.next() ? query.value(0).toLongLong() : -1;
}

class ArchiveOutbox : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        std::string failure;
        m_local = CArchiveDatabase::OpenSqlite(PathOf("station.sqlite"), failure);
        ASSERT_NE(m_local, nullptr) << failure;
    }
    void TearDown() override {
        m_local.reset();
        TempFolder::TearDown();
    }

    void Queue(const STLedgermill& batch) {
        QSqlDatabase local = m_local->Database();
        std::string failure;
        ASSERT_TRUE(ArchiveAndQueue(local, batch, m_origin, failure)) << failure;
    }
    STPushResult Push(CArchiveDatabase& shared) {
        QSqlDatabase local = m_local->Database();
        QSqlDatabase server = shared.Database();
        return PushQueuedBatches(local, server);
    }
    std::int64_t Queued() {
        QSqlDatabase local = m_local->Database();
        return QueuedBatchCount(local);
    }
    // The batch as the shared archive holds it, alike the one given.
    void ExpectShared(CArchiveDatabase& shared, const STLedgermill& batch) {
        QSqlDatabase server = shared.Database();
        STLedgermill loaded;
        STArchiveOrigin origin;
        std::string failure;
        ASSERT_TRUE(LoadArchivedBatch(server, m_origin.m_strStation, ArchiveKey(batch), loaded, origin, failure))
            << failure;
        EXPECT_EQ(BatchDifference(batch, loaded), "");
        EXPECT_EQ(origin.m_strOperator, m_origin.m_strOperator);
    }

    const STArchiveOrigin m_origin{u"Station A", u"J. Smith"};
    std::unique_ptr<CArchiveDatabase> m_local;
};

}  // namespace

// The shared archive is another SQLite file here: the queue works the same
// whatever holds the shared archive.
TEST_F(ArchiveOutbox, QueuedBatchesArePushedOnceAndArchivingAgainQueuesTheBatchAgain) {
    std::string failure;
    auto shared = CArchiveDatabase::OpenSqlite(PathOf("shared.sqlite"), failure);
    ASSERT_NE(shared, nullptr) << failure;
    STLedgermill first = Batch(1000, 2);
    Queue(first);
    Queue(Batch(2000, 3));
    Queue(first);  // archived again before any push: still one in the queue
    EXPECT_EQ(Queued(), 2);
    EXPECT_EQ(Count(m_local->Database(), "SELECT COUNT(*) FROM batches"), 2);  // the station keeps its own

    STPushResult pushed = Push(*shared);
    EXPECT_EQ(pushed.m_strFailure, "");
    EXPECT_EQ(pushed.m_nPushed, 2);
    EXPECT_EQ(pushed.m_nLeft, 0);
    ExpectShared(*shared, first);
    EXPECT_EQ(Push(*shared).m_nPushed, 0);

    first.AddItem(std::move(Batch(0, 1).m_itemVector.front()));
    first.UpdateStatistics();
    Queue(first);
    EXPECT_EQ(Push(*shared).m_nPushed, 1);
    ExpectShared(*shared, first);
    EXPECT_EQ(Count(shared->Database(), "SELECT COUNT(*) FROM batches"), 2);
    EXPECT_EQ(Count(shared->Database(), "SELECT COUNT(*) FROM items"), 6);
}

TEST_F(ArchiveOutbox, ABatchThatFailsStaysQueuedWithThoseAfterIt) {
    std::string failure;
    auto shared = CArchiveDatabase::OpenSqlite(PathOf("shared.sqlite"), failure);
    ASSERT_NE(shared, nullptr) << failure;
    for (const std::int64_t time : {1000, 2000, 3000}) Queue(Batch(time, 1));
    // The server refuses the second batch's station and key.
    QSqlQuery(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON batches WHEN NEW.created = 2000"
                             " BEGIN SELECT RAISE(ABORT, 'refused by the server'); END"),
              shared->Database());
    STPushResult pushed = Push(*shared);
    EXPECT_EQ(pushed.m_nPushed, 1);
    EXPECT_EQ(pushed.m_nLeft, 2);
    EXPECT_NE(pushed.m_strFailure.find("refused by the server"), std::string::npos) << pushed.m_strFailure;
    EXPECT_EQ(Count(shared->Database(), "SELECT COUNT(*) FROM items"), 1);  // no half-written batch

    QSqlQuery(QStringLiteral("DROP TRIGGER refuse"), shared->Database());
    pushed = Push(*shared);
    EXPECT_EQ(pushed.m_nPushed, 2);
    EXPECT_EQ(pushed.m_nLeft, 0);
}

// A server that goes away mid-run and comes back: what was archived
// meanwhile waits at the station and arrives once, with nothing doubled.
TEST_F(ArchiveOutbox, AServerStoppedMidRunGetsEveryBatchOnceWhenItReturns) {
    CTestPostgres server(PathOf("postgres.state"));
    ASSERT_TRUE(server.Running());
    std::string failure;
    const STArchiveServer where = server.NewDatabase(failure);
    ASSERT_EQ(failure, "");
    auto shared = CArchiveDatabase::OpenServer(where, failure);
    ASSERT_NE(shared, nullptr) << failure;

    STLedgermill first = Batch(1000, 2);
    Queue(first);
    Queue(Batch(2000, 2));
    ASSERT_EQ(Push(*shared).m_nPushed, 2);

    ASSERT_TRUE(server.Pause());
    first.AddItem(std::move(Batch(0, 1).m_itemVector.front()));
    first.UpdateStatistics();
    Queue(first);
    const STLedgermill third = Batch(3000, 4);
    Queue(third);
    STPushResult pushed = Push(*shared);
    EXPECT_EQ(pushed.m_nPushed, 0);
    EXPECT_EQ(pushed.m_nLeft, 2);
    EXPECT_NE(pushed.m_strFailure, "");
    EXPECT_EQ(CArchiveDatabase::OpenServer(where, failure), nullptr);
    EXPECT_NE(failure.find(ServerUrl(where)), std::string::npos) << failure;

    ASSERT_TRUE(server.Resume());
    shared = CArchiveDatabase::OpenServer(where, failure);  // the old connection died with the server
    ASSERT_NE(shared, nullptr) << failure;
    pushed = Push(*shared);
    EXPECT_EQ(pushed.m_strFailure, "");
    EXPECT_EQ(pushed.m_nPushed, 2);
    EXPECT_EQ(pushed.m_nLeft, 0);
    ExpectShared(*shared, first);
    ExpectShared(*shared, third);
    EXPECT_EQ(Count(shared->Database(), "SELECT COUNT(*) FROM batches"), 3);
    EXPECT_EQ(Count(shared->Database(), "SELECT COUNT(*) FROM items"), 3 + 2 + 4);
}
