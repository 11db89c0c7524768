// File > Archive: one archive window beside the main window, reading the
// lab archive and opening its batches here as Load does.
#include "app/archive_window.h"
#include "app/ledgermill_dlg.h"
#include "persistence/setting.h"

void CLedgermillDlg::OnArchive() {
    if (auto* shown = findChild<CArchiveWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
        shown->show();
        shown->raise();
        shown->activateWindow();
        return;
    }
    STArchiveWindowLinks links;
    // The lab's shared archive when the station has one, else its own.
    links.m_fnOpenArchive = [path = m_folders.m_strArchiveFile,
                             server = ArchiveServerInUse(g_stSetting.m_archiveServer)](std::string& failure) {
        return server ? CArchiveDatabase::OpenServer(*server, failure) : CArchiveDatabase::OpenStation(path, failure);
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
