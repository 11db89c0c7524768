// Load and Save of the batch list: one batch per .hdb file.
#include <QFile>

#include "app/ledgermill_dlg.h"
#include "app/report_list.h"
#include "app/window_text.h"
#include "common/text.h"
#include "common/time_text.h"
#include "dialogs/modal.h"
#include "persistence/batch_file.h"
#include "persistence/serializer.h"

namespace {

const QString kFilter = QStringLiteral("HDB Files (*.hdb)");
const QString kSuffix = QStringLiteral("hdb");

std::string NarrowPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A name whose last four characters are not ".hdb", in any case, gets it.
std::string WithHdbExtension(std::string path) {
    std::string ending = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    if (StringToLower(ending) != ".hdb") {
        path += ".hdb";
    }
    return path;
}

}  // namespace

void CLedgermillDlg::OnLoad() {
    const QString chosen =
        CModal::Current().OpenFileName(this, QStringLiteral("Load HDB File"), kFilter, kSuffix);
    if (chosen.isEmpty()) {
        return;
    }
    CSerializer archive;
    if (!archive.OpenForRead(NarrowPath(chosen))) {
        CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("Load Failed."));
        return;
    }
    STLedgermill loaded;
    ReadBatch(archive.GetRoot(), kBatchInstanceName, loaded);
    const std::u16string key = FormatTime(0, loaded.m_time);
    for (int row = 0; row < m_batchList.rowCount(); ++row) {
        const STLedgermill* listed = RowData<STLedgermill>(m_batchList, row);
        if (listed != nullptr && FormatTime(0, listed->m_time) == key) {
            m_batchList.selectRow(row);
            m_batchList.scrollToItem(m_batchList.item(row, 0));
            CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("Data Existed."));
            return;
        }
    }
    if (m_mapBatch.contains(key)) {
        return;  // listed under that key already
    }
    AddBatchRow(*m_mapBatch.emplace(key, std::make_unique<STLedgermill>(loaded)).first->second);
}

void CLedgermillDlg::OnSave() {
    const int row = SelectedRow(m_batchList);
    if (row < 0) {
        return;
    }
    m_pCurBatch = RowData<STLedgermill>(m_batchList, row);
    if (m_pCurBatch == nullptr) {
        return;
    }
    const QString chosen =
        CModal::Current().SaveFileName(this, QStringLiteral("Save HDB File"), kFilter, kSuffix);
    if (chosen.isEmpty()) {
        return;
    }
    CSerializer archive;
    archive.OpenForWrite();
    WriteBatch(*m_pCurBatch, archive.GetRoot(), kBatchInstanceName);
    // The file is replaced whole or not at all; a failure must not pass for
    // a saved batch.
    if (!archive.SaveFile(WithHdbExtension(NarrowPath(chosen)))) {
        CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("Save Failed."));
        return;
    }
    m_unsaved.erase(m_pCurBatch);
}
