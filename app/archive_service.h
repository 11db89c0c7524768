// Batches kept in the lab archive off the window's thread. A writer thread
// archives the snapshots it is handed in the station's own SQLite archive;
// with a shared server set, each is queued there in the same transaction and
// a pusher thread takes the queue to the server whenever it can be reached.
// Neither makes the window wait: not for the disk, not for the network.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "archive/archive_server.h"
#include "archive/batch_archive.h"
#include "model/ledgermill.h"

struct STArchiveServerSetting;

// The server the setting names, and that server when it is to be used (none
// for a station on its own).
STArchiveServer ArchiveServerOf(const STArchiveServerSetting& setting);
std::optional<STArchiveServer> ArchiveServerInUse(const STArchiveServerSetting& setting);

// What the service has to tell the window.
struct STArchiveReport {
    enum class EKind {
        // The batch of m_strKey is in the station's archive.
        kArchived,
        // m_nWaiting batches are queued for a server that could not take
        // them: m_strReason.
        kWaiting,
        // The server has every batch queued so far.
        kServerCurrent,
        // The station's archive could not be written: m_strReason.
        kFailed,
    };
    EKind m_eKind = EKind::kArchived;
    std::u16string m_strKey;
    std::int64_t m_nWaiting = 0;
    std::string m_strReason;
};

class CArchiveService {
public:
    using Report = std::function<void(const STArchiveReport&)>;

    // The archive is the SQLite file at localPath. Reports reach report on
    // context's thread, queued, and stop when the service goes.
    CArchiveService(std::string localPath, QObject* context, Report report);
    // Writes what was handed over to the station's archive, then gives the
    // server a short while to finish a push; a push still hanging then is
    // left to end on its own.
    ~CArchiveService();
    CArchiveService(const CArchiveService&) = delete;
    CArchiveService& operator=(const CArchiveService&) = delete;

    // The server the queue goes to, none for a station on its own. The
    // server side starts again with it, pushing what is queued at once.
    void SetServer(std::optional<STArchiveServer> server);
    // Hands a snapshot over. A snapshot of the same batch still waiting to be
    // written is replaced: only the latest of each is archived.
    void Archive(std::shared_ptr<const STLedgermill> batch, const STArchiveOrigin& origin);

    // Blocks until every snapshot handed over is in the station's archive
    // (or failed); for tests.
    void WaitForLocalWrites();
    // How many times the writer has archived a batch; for tests.
    std::int64_t WriteCount() const;

    struct STShared;

private:
    std::shared_ptr<STShared> m_pShared;
    std::thread m_writer;
    std::thread m_pusher;
};
