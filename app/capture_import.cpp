// File > Import Capture...: the records of a capture journal, a dump or any
// file of received text, framed as the receive path frames a spell and filed
// into the selected batch as Add files them.
#include <memory>

#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "common/file_bytes.h"
#include "dialogs/modal.h"
#include "instrument/record_framer.h"

namespace {

const QString kCaptureFilter = QStringLiteral("Captures (*.cap *.txt);;All Files (*)");

struct STImported {
    STFramedRecords m_records;
    bool m_bRead = false;
    std::string m_strFailure;
};

}  // namespace

void CLedgermillDlg::OnImportCapture() {
    if (m_work.IsBusy()) {
        return;
    }
    if (SelectedBatch() == nullptr) {
        CModal::Current().ShowMessage(this, kMarloCaption,
                                      QStringLiteral("Select the batch that takes the records."));
        return;
    }
    const QString chosen =
        CModal::Current().OpenFileName(this, QStringLiteral("Import Capture"), kCaptureFilter,
                                       QStringLiteral("cap"), PathText(m_receive.JournalFolder()));
    if (!chosen.isEmpty()) {
        ImportCapture(ChosenPathBytes(chosen));
    }
}

void CLedgermillDlg::ImportCapture(const std::string& path) {
    auto imported = std::make_shared<STImported>();
    m_work.Start(
        QStringLiteral("Importing %1").arg(PathText(path)), false,
        [path, imported](STWorkProgress&) {
            std::string bytes;
            imported->m_bRead = ReadFileBytes(path, bytes, &imported->m_strFailure);
            imported->m_records = FrameCapture(bytes);
        },
        [this, path, imported] {
            if (!imported->m_bRead) {
                CModal::Current().ShowMessage(
                    this, kMarloCaption,
                    QStringLiteral("Import failed.\n%1: %2")
                        .arg(PathText(path), QString::fromLocal8Bit(imported->m_strFailure)));
                return;
            }
            if (imported->m_records.Count() == 0) {
                CModal::Current().ShowMessage(
                    this, kMarloCaption,
                    QStringLiteral("%1 holds no records of the tester.").arg(PathText(path)));
                return;
            }
            STLedgermill* batch = SelectedBatch();
            if (!MayChange(batch)) {
                return;
            }
            FileTakenRecords(*batch, {std::move(imported->m_records), {path}});
            ArchiveFiledBatches();
        });
}
