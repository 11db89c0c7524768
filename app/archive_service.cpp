#include "app/archive_service.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "app/batch_collection.h"
#include "archive/archive_database.h"
#include "archive/archive_outbox.h"
#include "common/utf.h"
#include "persistence/setting.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A server that failed is tried again after this, twice as long after each
// further failure, up to the longest wait.
constexpr Clock::duration kFirstRetry = 30s;
constexpr Clock::duration kLongestRetry = 5min;
// How long quitting waits for a push under way: long enough for a server
// that does not answer to time out, so the pusher ends before the process
// does rather than be left inside Qt Sql while it ends.
constexpr Clock::duration kQuitBound = std::chrono::seconds(kServerConnectSeconds) + 2s;

struct STWaiting {
    std::shared_ptr<const STLedgermill> m_pBatch;
    STArchiveOrigin m_origin;
};

}  // namespace

// What the threads share; a pusher hanging in a connect at quit keeps it
// alive after the service has gone.
struct CArchiveService::STShared {
    std::string m_strLocalPath;
    std::mutex m_mutex;
    std::condition_variable m_changed;

    // The writer's queue: keys in the order handed over, the latest snapshot
    // of each.
    std::deque<std::u16string> m_order;
    std::map<std::u16string, STWaiting> m_waiting;
    bool m_bWriting = false;
    std::int64_t m_nWrites = 0;

    std::optional<STArchiveServer> m_server;
    // Counts SetServer calls, so that the pusher starts over with each.
    std::uint64_t m_nServerChange = 0;
    bool m_bPushNow = false;
    bool m_bPusherEnded = false;

    bool m_bStop = false;

    // The writer and the pusher each open the archive; one at a time, so
    // that two first openings do not both set up a new file.
    std::mutex m_openMutex;

    // Guarded by a lock of its own: posting never waits for the queue.
    std::mutex m_reportMutex;
    QObject* m_pContext = nullptr;
    Report m_fnReport;

    void Tell(STArchiveReport report) {
        const std::lock_guard lock(m_reportMutex);
        if (m_pContext == nullptr || !m_fnReport) {
            return;
        }
        QMetaObject::invokeMethod(
            m_pContext, [report = std::move(report), tell = m_fnReport] { tell(report); }, Qt::QueuedConnection);
    }
    void Silence() {
        const std::lock_guard lock(m_reportMutex);
        m_pContext = nullptr;
        m_fnReport = nullptr;
    }
};

namespace {

using STShared = CArchiveService::STShared;

// Connections belong to the thread that opened them: each thread opens its
// own, and again after a failure.
QSqlDatabase* OpenLocal(STShared& shared, std::unique_ptr<CArchiveDatabase>& local, QSqlDatabase& handle,
                        std::string& failure) {
    if (!local) {
        const std::lock_guard lock(shared.m_openMutex);
        local = CArchiveDatabase::OpenStation(shared.m_strLocalPath, failure);
        if (!local) {
            return nullptr;
        }
        handle = local->Database();
    }
    return &handle;
}

// Writes one snapshot; with a server, queues it for the server too.
bool WriteBatch(STShared& shared, std::unique_ptr<CArchiveDatabase>& local, QSqlDatabase& handle,
                   const STWaiting& waiting, bool queue, std::string& failure) {
    QSqlDatabase* database = OpenLocal(shared, local, handle, failure);
    if (database == nullptr) {
        return false;
    }
    const bool written = queue ? ArchiveAndQueue(*database, *waiting.m_pBatch, waiting.m_origin, failure)
                               : ArchiveBatch(*database, *waiting.m_pBatch, waiting.m_origin, failure);
    if (!written) {
        // The file may have gone or become unwritable: open it afresh.
        handle = QSqlDatabase();
        local.reset();
    }
    return written;
}

void RunWriter(STShared& shared) {
    std::unique_ptr<CArchiveDatabase> local;
    QSqlDatabase handle;
    std::unique_lock lock(shared.m_mutex);
    for (;;) {
        shared.m_changed.wait(lock, [&shared] { return shared.m_bStop || !shared.m_order.empty(); });
        if (shared.m_order.empty()) {
            break;  // stopped, with everything written
        }
        const std::u16string key = std::move(shared.m_order.front());
        shared.m_order.pop_front();
        const auto found = shared.m_waiting.find(key);
        const STWaiting waiting = std::move(found->second);
        shared.m_waiting.erase(found);
        const bool queue = shared.m_server.has_value();
        shared.m_bWriting = true;
        lock.unlock();

        std::string failure;
        const bool written = WriteBatch(shared, local, handle, waiting, queue, failure);
        if (written) {
            shared.Tell({STArchiveReport::EKind::kArchived, key, 0, {}});
        } else {
            shared.Tell({STArchiveReport::EKind::kFailed, key, 0, failure});
        }

        lock.lock();
        shared.m_bWriting = false;
        ++shared.m_nWrites;
        // A server waiting for its next try gets this batch at once.
        shared.m_bPushNow = shared.m_bPushNow || (written && queue);
        shared.m_changed.notify_all();
    }
}

// The server side: pushes the queue when told or when its retry is due, and
// keeps the server's connection open between pushes.
class CPusher {
public:
    explicit CPusher(STShared& shared) : m_shared(shared) {}

    void Run() {
        std::unique_lock lock(m_shared.m_mutex);
        for (;;) {
            const auto due = [this] {
                return m_shared.m_bStop || m_shared.m_nServerChange != m_nServerChange || m_shared.m_bPushNow ||
                       (m_oRetryAt && Clock::now() >= *m_oRetryAt);
            };
            if (m_oRetryAt) {
                m_shared.m_changed.wait_until(lock, *m_oRetryAt, due);
            } else {
                m_shared.m_changed.wait(lock, due);
            }
            if (m_shared.m_bStop) {
                break;
            }
            if (m_shared.m_nServerChange != m_nServerChange) {
                StartOver(m_shared.m_server);
                m_nServerChange = m_shared.m_nServerChange;
            }
            const bool push =
                m_bPushDue || m_shared.m_bPushNow || (m_oRetryAt && Clock::now() >= *m_oRetryAt);
            m_shared.m_bPushNow = false;
            m_bPushDue = false;
            if (!m_oServer || !push) {
                continue;
            }
            m_oRetryAt.reset();
            lock.unlock();
            Push();
            lock.lock();
        }
        m_shared.m_bPusherEnded = true;
        m_shared.m_changed.notify_all();
    }

private:
    void StartOver(const std::optional<STArchiveServer>& server) {
        m_serverHandle = QSqlDatabase();
        m_pServer.reset();
        m_oServer = server;
        m_retryAfter = kFirstRetry;
        m_oRetryAt.reset();
        // Whatever an earlier run left queued goes at once.
        m_bPushDue = true;
    }

    void Push() {
        std::string failure;
        QSqlDatabase* local = OpenLocal(m_shared, m_pLocal, m_localHandle, failure);
        // Nothing queued: the server is not even asked.
        if (local != nullptr && QueuedBatchCount(*local) == 0) {
            m_retryAfter = kFirstRetry;
            return;
        }
        if (local != nullptr && !m_pServer) {
            m_pServer = CArchiveDatabase::OpenServer(*m_oServer, failure);
            if (m_pServer) {
                m_serverHandle = m_pServer->Database();
            }
        }
        if (local == nullptr || !m_pServer) {
            Failed(failure, local == nullptr ? -1 : QueuedBatchCount(*local));
            return;
        }
        const STPushResult result = PushQueuedBatches(*local, m_serverHandle);
        if (!result.m_strFailure.empty()) {
            // The connection may be broken: a fresh one next time.
            m_serverHandle = QSqlDatabase();
            m_pServer.reset();
            Failed(result.m_strFailure, result.m_nLeft);
            return;
        }
        m_retryAfter = kFirstRetry;
        if (result.m_nLeft > 0) {
            // Archived again while pushing: another round.
            const std::lock_guard lock(m_shared.m_mutex);
            m_shared.m_bPushNow = true;
            return;
        }
        m_shared.Tell({STArchiveReport::EKind::kServerCurrent, {}, 0, {}});
    }

    void Failed(const std::string& failure, std::int64_t left) {
        m_shared.Tell({STArchiveReport::EKind::kWaiting, {}, left, failure});
        m_oRetryAt = Clock::now() + m_retryAfter;
        m_retryAfter = std::min(m_retryAfter * 2, kLongestRetry);
    }

    STShared& m_shared;
    std::uint64_t m_nServerChange = 0;
    std::optional<STArchiveServer> m_oServer;
    std::unique_ptr<CArchiveDatabase> m_pLocal;
    QSqlDatabase m_localHandle;
    std::unique_ptr<CArchiveDatabase> m_pServer;
    QSqlDatabase m_serverHandle;
    Clock::duration m_retryAfter = kFirstRetry;
    std::optional<Clock::time_point> m_oRetryAt;
    bool m_bPushDue = false;
};

}  // namespace

STArchiveServer ArchiveServerOf(const STArchiveServerSetting& setting) {
    STArchiveServer server;
    server.m_strHost = Utf16ToUtf8(setting.m_strHost);
    server.m_nPort = setting.m_nPort;
    server.m_strDatabase = Utf16ToUtf8(setting.m_strDatabase);
    server.m_strUser = Utf16ToUtf8(setting.m_strUser);
    return server;
}

std::optional<STArchiveServer> ArchiveServerInUse(const STArchiveServerSetting& setting) {
    if (!setting.m_bUse || setting.m_strHost.empty()) {
        return std::nullopt;
    }
    return ArchiveServerOf(setting);
}

CArchiveService::CArchiveService(std::string localPath, QObject* context, Report report)
    : m_pShared(std::make_shared<STShared>()) {
    m_pShared->m_strLocalPath = std::move(localPath);
    m_pShared->m_pContext = context;
    m_pShared->m_fnReport = std::move(report);
    m_writer = std::thread([shared = m_pShared] { RunWriter(*shared); });
    m_pusher = std::thread([shared = m_pShared] { CPusher(*shared).Run(); });
}

CArchiveService::~CArchiveService() {
    m_pShared->Silence();
    std::unique_lock lock(m_pShared->m_mutex);
    m_pShared->m_bStop = true;
    m_pShared->m_changed.notify_all();
    const bool pusherEnded =
        m_pShared->m_changed.wait_for(lock, kQuitBound, [this] { return m_pShared->m_bPusherEnded; });
    lock.unlock();
    m_writer.join();
    // A connect that hangs ends on its own; the thread keeps what it shares.
    pusherEnded ? m_pusher.join() : m_pusher.detach();
}

void CArchiveService::SetServer(std::optional<STArchiveServer> server) {
    const std::lock_guard lock(m_pShared->m_mutex);
    m_pShared->m_server = std::move(server);
    ++m_pShared->m_nServerChange;
    m_pShared->m_changed.notify_all();
}

void CArchiveService::Archive(std::shared_ptr<const STLedgermill> batch, const STArchiveOrigin& origin) {
    std::u16string key = BatchKey(*batch);
    const std::lock_guard lock(m_pShared->m_mutex);
    const auto [found, added] = m_pShared->m_waiting.insert_or_assign(key, STWaiting{std::move(batch), origin});
    if (added) {
        m_pShared->m_order.push_back(std::move(key));
    }
    m_pShared->m_changed.notify_all();
}

void CArchiveService::WaitForLocalWrites() {
    std::unique_lock lock(m_pShared->m_mutex);
    m_pShared->m_changed.wait(lock, [this] { return m_pShared->m_order.empty() && !m_pShared->m_bWriting; });
}

std::int64_t CArchiveService::WriteCount() const {
    const std::lock_guard lock(m_pShared->m_mutex);
    return m_pShared->m_nWrites;
}
