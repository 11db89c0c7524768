// After a run that did not end cleanly (killed, a power cut), the next start
// offers once what can be brought back: the batches it archived with changes
// never saved, opened from the archive, and the records its journals hold
// that were never filed, in batches of their own.
#include <QDateTime>
#include <QStringList>

#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "archive/archive_database.h"
#include "archive/batch_archive.h"
#include "common/file_bytes.h"
#include "dialogs/modal.h"
#include "instrument/record_framer.h"
#include "instrument/record_parser.h"

namespace {

// The whole records of the journals' bytes never handled.
std::vector<std::u16string> UnfiledRecords(const STUncleanRun& run) {
    std::vector<std::u16string> records;
    for (const STUncleanRun::STJournalTail& journal : run.m_journals) {
        std::string bytes;
        if (ReadFileBytes(journal.m_strPath, bytes) && journal.m_nFrom < bytes.size()) {
            STFramedRecords framed = FrameCapture(
                std::string_view(bytes).substr(static_cast<std::size_t>(journal.m_nFrom)));
            records.insert(records.end(), std::make_move_iterator(framed.m_records.begin()),
                           std::make_move_iterator(framed.m_records.end()));
        }
    }
    return records;
}

QString OfferText(const STUncleanRun& run, std::size_t records) {
    QString text =
        QStringLiteral("Marlo was not ended cleanly in the run begun %1. It can bring back:")
            .arg(QDateTime::fromSecsSinceEpoch(run.m_start)
                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (!run.m_unsavedBatches.empty()) {
        QStringList keys;
        for (const std::u16string& key : run.m_unsavedBatches) {
            keys << Text(key);
        }
        text += QStringLiteral("\n%1 archived after %2 last save: %3")
                    .arg(keys.size() == 1 ? QStringLiteral("1 batch")
                                          : QStringLiteral("%1 batches").arg(keys.size()))
                    .arg(keys.size() == 1 ? QStringLiteral("its") : QStringLiteral("their"))
                    .arg(keys.join(QStringLiteral(", ")));
    }
    if (records > 0) {
        QStringList journals;
        for (const STUncleanRun::STJournalTail& journal : run.m_journals) {
            journals << PathText(journal.m_strPath);
        }
        text += QStringLiteral("\n%1 received and never filed, kept in %2")
                    .arg(records == 1 ? QStringLiteral("1 record")
                                      : QStringLiteral("%1 records").arg(records))
                    .arg(journals.join(QStringLiteral(", ")));
    }
    const bool batches = !run.m_unsavedBatches.empty();
    return text + (batches && records > 0
                       ? QStringLiteral("\nOpen the batches from the archive and file the records "
                                        "in batches of their own?")
                   : batches ? QStringLiteral("\nOpen the batches from the archive?")
                             : QStringLiteral("\nFile the records in batches of their own?"));
}

}  // namespace

void CLedgermillDlg::OfferUncleanRuns(const std::vector<STUncleanRun>& runs) {
    for (const STUncleanRun& run : runs) {
        std::vector<std::u16string> records = UnfiledRecords(run);
        if (run.m_unsavedBatches.empty() && records.empty()) {
            continue;
        }
        if (!CModal::Current().AskYesNo(this, kMarloCaption, OfferText(run, records.size()))) {
            continue;
        }
        std::string failure;
        const auto archive =
            run.m_unsavedBatches.empty()
                ? nullptr
                : CArchiveDatabase::OpenStation(m_folders.m_strArchiveFile, failure);
        QStringList missing;
        for (const std::u16string& key : run.m_unsavedBatches) {
            auto batch = std::make_unique<STLedgermill>();
            QSqlDatabase database = archive ? archive->Database() : QSqlDatabase();
            if (archive && LoadArchivedBatch(database, m_strStation, key, *batch, failure)) {
                FileLoadedBatch(std::move(batch));
                // Its changes were never saved to a file.
                m_batches.MarkUnsaved(m_batches.At(m_batches.RowOfKey(key)));
            } else {
                missing << Text(key);
            }
        }
        if (!missing.isEmpty()) {
            CModal::Current().ShowMessage(
                this, kMarloCaption,
                QStringLiteral("Not in the archive: %1.\n%2")
                    .arg(missing.join(QStringLiteral(", ")), QString::fromStdString(failure)));
        }
        LedgermillItemList items;
        ParseRecordTexts(records, items);
        AddBatchesOfTheirOwn(items);
    }
}
