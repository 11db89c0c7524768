// Batches on their way to the lab's shared archive. Each is archived in the
// station's own archive first and queued there in the same transaction; the
// queue is pushed to the server whenever it can be reached, so a server that
// is down for a day loses nothing, and pushing a batch twice only writes it
// again (it replaces, never doubles).
#pragma once

#include <QSqlDatabase>
#include <cstdint>
#include <string>

#include "archive/batch_archive.h"
#include "model/ledgermill.h"

// Archives the batch in local and queues it for the server, in one
// transaction. False, failure saying why, with nothing written.
bool ArchiveAndQueue(QSqlDatabase& local, const STLedgermill& batch, const STArchiveOrigin& origin,
                     std::string& failure);

// How many batches wait for the server; -1 when the queue cannot be read.
std::int64_t QueuedBatchCount(QSqlDatabase& local);

struct STPushResult {
    std::int64_t m_nPushed = 0;
    // Still queued: the failure's batch and those after it, and any queued
    // again while pushing.
    std::int64_t m_nLeft = 0;
    // Empty when the queue was pushed to the end.
    std::string m_strFailure;
};

// Pushes the queued batches to shared, oldest first, until the queue is
// empty or one fails. A batch archived again while it was being pushed stays
// queued for the next push.
STPushResult PushQueuedBatches(QSqlDatabase& local, QSqlDatabase& shared);
