// What the window keeps when the program is ended without the operator
// closing it, and what it says when settings cannot be kept.
#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"
#include "common/utf.h"

#include <algorithm>

namespace {

// Long enough to be read, short enough not to hide the port's state.
constexpr int kNoticeMs = 10000;

}  // namespace

STRescue CLedgermillDlg::RescueUnsavedBatches() {
    m_pendingLoads.clear();
    m_work.Cancel();
    m_work.Wait();
    FileUnfiledRecords();
    NoteHandled(m_receive.BufferFront());
    m_batches.SettleStatistics();
    std::vector<const STLedgermill*> unsaved;
    for (int row = 0; row < m_batches.Count(); ++row) {
        if (m_batches.IsUnsaved(m_batches.At(row))) {
            unsaved.push_back(m_batches.At(row));
        }
    }
    STRescue rescue = RescueBatches(unsaved, m_folders.m_strRecoveryFolder);
    // Kept in the recovery folder: nothing for the next start to offer.
    for (const STLedgermill* batch : unsaved) {
        const std::u16string key = BatchKey(*batch);
        if (m_pRunRecord != nullptr && std::find(rescue.m_failed.begin(), rescue.m_failed.end(),
                                                 Utf16ToUtf8(key)) == rescue.m_failed.end()) {
            m_pRunRecord->NoteArchived(key, false);
        }
    }
    return rescue;
}

void CLedgermillDlg::ShowSettingsNotSaved() {
    m_statusBar.showMessage(
        QStringLiteral("Settings could not be saved to %1.")
            .arg(PathText(m_folders.m_strSettingsFile)),
        kNoticeMs);
}
