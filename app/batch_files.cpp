// Load and Save of the batch list: one batch per .hdb file, read and written
// as long work while the window goes on.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <fstream>
#include <set>

#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/time_text.h"
#include "dialogs/modal.h"
#include "instrument/record_framer.h"
#include "persistence/batch_file_reader.h"
#include "persistence/batch_file_writer.h"

// What the worker leaves for the window.
struct CLedgermillDlg::STLoaded {
    EBatchLoadResult m_eResult = EBatchLoadResult::kNotArchive;
    // Why the file could not be read, naming it; empty when it was read.
    std::string m_strFailure;
    std::unique_ptr<STLedgermill> m_pBatch = std::make_unique<STLedgermill>();
};

namespace {

// Whether the file begins with records of the tester: a capture journal, a
// dump or a file of received text.
bool IsCapture(const std::string& path) {
    constexpr std::size_t kLooked = 1 << 20;
    std::ifstream in(path, std::ios::binary);
    std::string bytes(kLooked, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return !FrameCapture(bytes).m_records.empty();
}

using STLoaded = CLedgermillDlg::STLoaded;

const QString kFilter = QStringLiteral("HDB Files (*.hdb)");
const QString kSuffix = QStringLiteral("hdb");

// A batch whose key is listed is refused as soon as its creation time is
// read, before its items; the refused batch keeps only that time, its key.
void LoadFile(const std::string& path, const std::set<std::u16string>& listed, STLoaded& loaded,
              STWorkProgress& progress) {
    std::int64_t offeredTime = 0;
    STBatchLoadOptions options;
    options.m_fnAcceptTime = [&listed, &offeredTime](std::int64_t time) {
        offeredTime = time;
        return !listed.contains(FormatTime(0, time));
    };
    options.m_pProgress = &progress;
    options.m_pCancel = &progress.m_bCancel;
    options.m_pFailure = &loaded.m_strFailure;
    loaded.m_eResult = LoadBatchFile(path, *loaded.m_pBatch, options);
    if (loaded.m_eResult == EBatchLoadResult::kRefused) {
        loaded.m_pBatch->m_time = offeredTime;
    }
    if (loaded.m_eResult == EBatchLoadResult::kNotArchive && loaded.m_strFailure.empty() &&
        IsCapture(path)) {
        loaded.m_strFailure = path +
                              ": a capture of received records, not a batch file. "
                              "File > Import Capture... files its records into the selected batch.";
    }
    // The file keeps its figures to six decimals: the window shows those of
    // its items, as filing and deleting leave them.
    if (loaded.m_eResult == EBatchLoadResult::kLoaded) {
        loaded.m_pBatch->UpdateStatistics();
    }
}

// "Load Failed.", and on a line of its own why the file could not be read.
QString LoadFailedText(const std::string& failure) {
    QString text = QStringLiteral("Load Failed.");
    if (!failure.empty()) {
        text += u'\n' + QString::fromLocal8Bit(failure);
    }
    return text;
}

QString FileName(const std::string& path) {
    return QFileInfo(PathText(path)).fileName();
}

}  // namespace

void CLedgermillDlg::OnLoad() {
    if (m_work.IsBusy()) {
        return;
    }
    const QString chosen = CModal::Current().OpenFileName(
        this, QStringLiteral("Load HDB File"), kFilter, kSuffix, m_state.FileFolderMade());
    if (!chosen.isEmpty()) {
        LoadFiles({ChosenPathBytes(chosen)});
    }
}

void CLedgermillDlg::LoadFiles(const std::vector<std::string>& paths) {
    m_pendingLoads.insert(m_pendingLoads.end(), paths.begin(), paths.end());
    StartPendingLoad();
}

void CLedgermillDlg::WaitForAllWork() {
    do {
        StartPendingLoad();
        m_work.Wait();
    } while (!m_pendingLoads.empty());
}

// One file at a time, in the order given; a file waits while other long work
// runs and starts when it has ended.
void CLedgermillDlg::StartPendingLoad() {
    if (m_work.IsBusy() || m_pendingLoads.empty()) {
        return;
    }
    const std::string path = m_pendingLoads.front();
    m_pendingLoads.pop_front();
    std::set<std::u16string> listed;
    for (int row = 0; row < m_batches.Count(); ++row) {
        listed.insert(BatchKey(*m_batches.At(row)));
    }
    auto loaded = std::make_shared<STLoaded>();
    m_work.Start(
        QStringLiteral("Loading %1").arg(FileName(path)), true,
        [path, listed = std::move(listed), loaded](STWorkProgress& progress) {
            LoadFile(path, listed, *loaded, progress);
        },
        [this, path, loaded] { ShowLoadedBatch(path, *loaded); });
}

void CLedgermillDlg::ShowLoadedBatch(const std::string& path, STLoaded& loaded) {
    switch (loaded.m_eResult) {
        case EBatchLoadResult::kNotArchive:
            CModal::Current().ShowMessage(this, kMarloCaption, LoadFailedText(loaded.m_strFailure));
            return;
        case EBatchLoadResult::kCancelled:
            // Cancel stops the files still waiting too.
            m_pendingLoads.clear();
            return;
        case EBatchLoadResult::kRefused:
        case EBatchLoadResult::kLoaded:
            break;
    }
    m_state.RememberFile(PathText(path));
    FileLoadedBatch(std::move(loaded.m_pBatch));
}

void CLedgermillDlg::FileLoadedBatch(std::unique_ptr<STLedgermill> batch) {
    // A batch made meanwhile may have taken the key.
    if (const int row = m_batches.RowOfKey(BatchKey(*batch)); row >= 0) {
        m_batchList.SelectAndShow(row);
        CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("Data Existed."));
        return;
    }
    AddBatchRow(std::move(batch));
}

void CLedgermillDlg::OnSave() {
    STLedgermill* batch = CommandBatch();
    if (batch == nullptr) {
        return;
    }
    const QString chosen = CModal::Current().SaveFileName(
        this, QStringLiteral("Save HDB File"), kFilter, kSuffix, m_state.FileFolderMade());
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = WithExtension(ChosenPathBytes(chosen), ".hdb");
    m_batches.SettleStatistics();
    // The batch stays as it is until written: filing into it waits.
    m_batches.Hold(batch);
    auto saved = std::make_shared<bool>(false);
    m_work.Start(
        QStringLiteral("Saving %1").arg(FileName(path)), false,
        [path, batch, saved](STWorkProgress& progress) {
            *saved = SaveBatchFile(path, *batch, &progress);
        },
        [this, path, batch, saved] {
            m_batches.Release(batch);
            // The file is replaced whole or not at all; a failure must not
            // pass for a saved batch.
            if (!*saved) {
                CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("Save Failed."));
            } else {
                m_batches.MarkSaved(batch);
                m_state.RememberFile(PathText(path));
                ArchiveNow(*batch);
            }
            FileIfRealTime();
        });
}

namespace {

// The local files among the dropped ones whose names end in ".hdb", in any
// case.
std::vector<std::string> DroppedBatchFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        const std::string path = DroppedPathBytes(url);
        if (!path.empty() && PathText(path).endsWith(QStringLiteral(".hdb"), Qt::CaseInsensitive)) {
            paths.push_back(path);
        }
    }
    return paths;
}

}  // namespace

void CLedgermillDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedBatchFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void CLedgermillDlg::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = DroppedBatchFiles(event->mimeData());
    if (paths.empty()) {
        return;
    }
    event->acceptProposedAction();
    LoadFiles(paths);
}
