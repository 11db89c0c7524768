#include "archive/archive_outbox.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <vector>

#include "archive/archive_transaction.h"
#include "archive/sql_values.h"

namespace {

struct STQueued {
    QString m_strStation;
    QString m_strKey;
    qint64 m_nRevision = 0;
};

bool Queue(QSqlDatabase& local, const STLedgermill& batch, const STArchiveOrigin& origin, std::string& failure) {
    QSqlQuery query(local);
    query.prepare(QStringLiteral(
        "INSERT INTO outbox (station, batch_key, revision, queued) VALUES (?, ?, 1, ?)"
        " ON CONFLICT (station, batch_key) DO UPDATE SET revision = outbox.revision + 1"));
    query.addBindValue(SqlText(origin.m_strStation));
    query.addBindValue(SqlText(ArchiveKey(batch)));
    query.addBindValue(QVariant::fromValue<qint64>(QDateTime::currentSecsSinceEpoch()));
    if (query.exec()) return true;
    failure = query.lastError().text().toStdString();
    return false;
}

bool ReadQueue(QSqlDatabase& local, std::vector<STQueued>& queued, std::string& failure) {
    QSqlQuery query(local);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT station, batch_key, revision FROM outbox ORDER BY queued, station, batch_key"))) {
        failure = query.lastError().text().toStdString();
        return false;
    }
    while (query.next()) queued.push_back({query.value(0).toString(), query.value(1).toString(), query.value(2).toLongLong()});
    return true;
}

// Leaves the batch queued when it was archived again since it was read.
bool Dequeue(QSqlDatabase& local, const STQueued& entry, std::string& failure) {
    QSqlQuery query(local);
    query.prepare(QStringLiteral("DELETE FROM outbox WHERE station = ? AND batch_key = ? AND revision = ?"));
    query.addBindValue(entry.m_strStation);
    query.addBindValue(entry.m_strKey);
    query.addBindValue(entry.m_nRevision);
    if (query.exec()) return true;
    failure = query.lastError().text().toStdString();
    return false;
}

// One queued batch from the local archive to the shared one.
bool Push(QSqlDatabase& local, QSqlDatabase& shared, const STQueued& entry, std::string& failure) {
    STLedgermill batch;
    STArchiveOrigin origin;
    const std::u16string station = entry.m_strStation.toStdU16String();
    if (!LoadArchivedBatch(local, station, entry.m_strKey.toStdU16String(), batch, origin, failure)) {
        // Queued but no longer archived here: nothing is left to push.
        return failure.empty() && Dequeue(local, entry, failure);
    }
    return ArchiveBatch(shared, batch, origin, failure) && Dequeue(local, entry, failure);
}

}  // namespace

bool ArchiveAndQueue(QSqlDatabase& local, const STLedgermill& batch, const STArchiveOrigin& origin,
                     std::string& failure) {
    if (!BeginWriting(local, failure)) return false;
    if (!WriteArchivedBatch(local, batch, origin, failure) || !Queue(local, batch, origin, failure)) {
        AbandonWriting(local);
        return false;
    }
    return CommitWriting(local, failure);
}

std::int64_t QueuedBatchCount(QSqlDatabase& local) {
    QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM outbox"), local);
    return query.next() ? query.value(0).toLongLong() : -1;
}

STPushResult PushQueuedBatches(QSqlDatabase& local, QSqlDatabase& shared) {
    STPushResult result;
    std::vector<STQueued> queued;
    if (ReadQueue(local, queued, result.m_strFailure)) {
        for (const STQueued& entry : queued) {
            if (!Push(local, shared, entry, result.m_strFailure)) break;
            ++result.m_nPushed;
        }
    }
    result.m_nLeft = QueuedBatchCount(local);
    return result;
}
