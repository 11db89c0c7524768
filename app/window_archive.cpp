// File > Archive: one archive window beside the main window, reading the
// lab archive and opening its batches here as Load does.
#include "app/archive_window.h"
#include "app/ledgermill_dlg.h"

void CLedgermillDlg::OnArchive() {
    if (auto* shown = findChild<CArchiveWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
        shown->show();
        shown->raise();
        shown->activateWindow();
        return;
    }
    STArchiveWindowLinks links;
    links.m_fnOpenArchive = [path = m_folders.m_strArchiveFile](std::string& failure) {
        return CArchiveDatabase::OpenSqlite(path, failure);
    };
    // The opened batch shows in front, where the operator looks for it.
    links.m_fnShowBatch = [this](std::unique_ptr<STLedgermill> batch) {
        FileLoadedBatch(std::move(batch));
        raise();
        activateWindow();
    };
    links.m_strFolder = m_state.FileFolderMade();
    // Owned by the main window, and gone with it or when closed.
    auto* window = new CArchiveWindow(std::move(links), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}
