// The window's side of the lab archive: a snapshot of every batch saved,
// added to or filed into handed to the archive service, the shared server
// set in its dialog, and what the archive reports shown in the status line.
#include <utility>

#include "app/ledgermill_dlg.h"
#include "archive/archive_database.h"
#include "common/host_identity.h"
#include "common/utf.h"
#include "dialogs/dlg_archive_server.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"

namespace {

// Real-time filing hands a batch over at most this often: a record a second
// into a batch of 10,000 items must not rewrite them all every second.
constexpr int kRealTimeArchiveMs = 5000;

// On the dialog's test thread: the connection is opened and closed there.
QString TestServer(const STArchiveServerSetting& setting) {
    std::string failure;
    const std::unique_ptr<CArchiveDatabase> server = CArchiveDatabase::OpenServer(ArchiveServerOf(setting), failure);
    return server ? QStringLiteral("Connected.") : QString::fromStdString(failure);
}

}  // namespace

void CLedgermillDlg::StartArchive() {
    m_strStation = HostName();
    m_statusBar.addPermanentWidget(&m_archiveStatus);
    m_archiveWait.setSingleShot(true);
    m_archiveWait.setInterval(kRealTimeArchiveMs);
    connect(&m_archiveWait, &QTimer::timeout, this, [this] { ArchiveFiledBatches(); });
    m_archive.SetServer(ArchiveServerInUse(g_stSetting.m_archiveServer));
}

// The operator of the report when one has been named, else the login.
STArchiveOrigin CLedgermillDlg::ArchiveOrigin() const {
    const std::u16string& named = g_stSetting.m_strOperator;
    const bool unnamed = named.empty() || named == STSetting().m_strOperator;
    return {m_strStation, unnamed ? LoginName() : named};
}

void CLedgermillDlg::ArchiveNow(const STLedgermill& batch) {
    m_archiveSoon.erase(BatchKey(batch));
    if (m_pRunRecord != nullptr) {
        m_pRunRecord->NoteArchived(BatchKey(batch), m_batches.IsUnsaved(&batch));
    }
    m_batches.SettleStatistics();
    m_archive.Archive(std::make_shared<const STLedgermill>(batch), ArchiveOrigin());
}

void CLedgermillDlg::ArchiveSoon(const STLedgermill& batch) {
    m_archiveSoon.insert(BatchKey(batch));
    if (!m_archiveWait.isActive()) {
        m_archiveWait.start();
    }
}

// By key: a batch deleted meanwhile is simply not archived again.
void CLedgermillDlg::ArchiveFiledBatches() {
    m_archiveWait.stop();
    for (const std::u16string& key : std::exchange(m_archiveSoon, {})) {
        if (const STLedgermill* batch = m_batches.At(m_batches.RowOfKey(key))) {
            ArchiveNow(*batch);
        }
    }
    // What was filed has reached the archive's hands.
    NoteHandled(m_nFiledUpTo);
}

void CLedgermillDlg::OnArchiveServer() {
    CDlgArchiveServer dialog(this);
    dialog.m_setting = g_stSetting.m_archiveServer;
    dialog.m_fnTest = TestServer;
    if (CModal::Current().Run(dialog) != QDialog::Accepted || dialog.m_setting == g_stSetting.m_archiveServer) {
        return;
    }
    g_stSetting.m_archiveServer = dialog.m_setting;
    m_archiveStatus.ForgetServer();
    m_archive.SetServer(ArchiveServerInUse(g_stSetting.m_archiveServer));
    SettingsChanged();
}
