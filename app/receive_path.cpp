// The receive path in the window: the port opened and closed, the session's
// text shown as raw text, and the complete records filed into the selected
// batch by Add or, in real-time mode, as each transmission completes.
#include <QKeyEvent>
#include <QScopedValueRollback>

#include "app/ledgermill_dlg.h"
#include "app/receive_dump.h"
#include "app/window_text.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "dialogs/modal.h"
#include "instrument/new_batches.h"
#include "instrument/record_parser.h"
#include "persistence/setting.h"

namespace {
// Long enough to be read; the port's state comes back afterwards.
constexpr int kDumpFailureMs = 10000;
}  // namespace

void CLedgermillDlg::ConnectReceiveSession() {
    connect(&m_receive, &CReceiveSession::textArrived, this,
            [this](const QString& text) { m_rawView.Append(text); });
    connect(&m_receive, &CReceiveSession::textReplaced, this, [this] {
        bool older = false;
        const std::u16string text =
            m_receive.DisplayText(static_cast<std::size_t>(CRawTextView::kShownChars), older);
        m_rawView.Replace(QString::fromStdU16String(text), older);
    });
    connect(&m_receive, &CReceiveSession::chunkApplied, this, [this] { FileIfRealTime(); });
    connect(&m_receive, &CReceiveSession::lineQuiet, this, [this] { FileIfRealTime(); });
    // What a closed or vanished port left unfinished is refused at once.
    connect(&m_receive, &CReceiveSession::spellEnded, this, [this] {
        if (g_stSetting.m_bShowOnline) {
            AddReceivedText();
        }
    });
    connect(&m_receive, &CReceiveSession::statusChanged, this, [this] { ShowPortState(); });
    connect(&m_receive, &CReceiveSession::spellBegan, this, [this] {
        if (m_pRunRecord != nullptr) {
            m_pRunRecord->NoteJournal(m_receive.JournalPath(), m_receive.SpellStart());
        }
    });
}

void CLedgermillDlg::ShowPortState() {
    m_openButton.setText(m_receive.IsOpen() ? QStringLiteral("Close") : QStringLiteral("Open"));
    m_openButton.setToolTip(
        m_receive.State() == EPortState::kFailed
            ? OpenFailureText(m_receive.Parameters().m_nCom, m_receive.Failure())
            : QString());
    m_statusBar.Refresh();
}

void CLedgermillDlg::OnOpen() {
    if (m_receive.IsOpen()) {
        m_receive.Close();
        return;
    }
    // Pressed while waiting for a device that hung up: the operator decides.
    m_receive.Close();
    const STSetting& setting = g_stSetting;
    m_receive.Open(
        {setting.m_nCom,
         {setting.m_ulBaudRate, setting.m_ucSize, setting.m_ucParity, setting.m_ucStopBits}});
}

void CLedgermillDlg::OnSerialData(const QByteArray& bytes) {
    m_receive.ApplyChunk(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void CLedgermillDlg::FileIfRealTime() {
    if (g_stSetting.m_bShowOnline && IsRealTimeComplete()) {
        AddReceivedText();
    }
}

bool CLedgermillDlg::IsRealTimeComplete() {
    return m_batchList.SelectedRow() >= 0 && m_receive.RecordsReady();
}

// Whole records that were never filed are data: Clear asks before they go.
void CLedgermillDlg::OnClear() {
    const std::size_t unfiled = m_receive.WholeRecordsReady();
    if (unfiled > 0 &&
        !CModal::Current().AskYesNo(
            this, kMarloCaption,
            QStringLiteral("%1 received %2 not been added. Clear anyway?")
                .arg(unfiled)
                .arg(unfiled == 1 ? QStringLiteral("record has") : QStringLiteral("records have")),
            false)) {
        return;
    }
    m_receive.Clear();
    NoteHandled(m_receive.BufferFront());
}

void CLedgermillDlg::NoteHandled(std::uint64_t offset) {
    if (m_pRunRecord != nullptr) {
        m_pRunRecord->NoteHandled(offset);
    }
}

void CLedgermillDlg::OnAdd() {
    AddReceivedText();
    ArchiveFiledBatches();
}

void CLedgermillDlg::AddReceivedText() {
    if (m_bFiling) {
        return;
    }
    const QScopedValueRollback filing(m_bFiling, true);
    STLedgermill* batch = SelectedBatch();
    // A batch being saved or reported takes the records once that is done;
    // until then they wait in the receive buffer.
    if (!MayChange(batch)) {
        return;
    }
    STTakenRecords taken = m_receive.TakeRecords();
    m_nFiledUpTo = m_receive.BufferFront();
    FileTakenRecords(*batch, std::move(taken));
}

void CLedgermillDlg::FileTakenRecords(STLedgermill& batch, STTakenRecords taken) {
    if (taken.Count() == 0) {
        return;
    }
    LedgermillItemList items;
    ParseRecordTexts(taken.m_records, items);
    MergeRecords(batch, items);
    STRefusalCounts refusals;
    refusals.m_nOffered = taken.Count();
    for (const auto& item : items) {
        refusals.AddWrongKind(*item, batch);
    }
    refusals.m_nDamaged = taken.m_nDamaged;
    refusals.m_nCutOff = taken.m_nCutOff;
    refusals.m_journals = std::move(taken.m_journals);
    // While the message is open it counts every record filed since it
    // opened, so that its numbers add up to what was received.
    if (refusals.Refused() > 0 || m_refusalNotice.IsOpen()) {
        m_refusalNotice.Report(refusals);
    }
}

void CLedgermillDlg::FileUnfiledRecords() {
    if (m_receive.WholeRecordsReady() == 0) {
        return;
    }
    STTakenRecords taken = m_receive.TakeRecords();
    LedgermillItemList items;
    ParseRecordTexts(taken.m_records, items);
    if (STLedgermill* batch = SelectedBatch(); batch != nullptr && MayChange(batch)) {
        MergeRecords(*batch, items);
    }
    AddBatchesOfTheirOwn(items);
}

void CLedgermillDlg::AddBatchesOfTheirOwn(LedgermillItemList& items) {
    STLedgermill pattern;
    pattern.m_time = std::time(nullptr);
    pattern.m_dUpperLimit = g_stSetting.m_dUpperLimit;
    pattern.m_dLowerLimit = g_stSetting.m_dLowerLimit;
    pattern.m_bUseLimit = g_stSetting.m_bUseLimit;
    for (std::unique_ptr<STLedgermill>& batch : SortIntoNewBatches(items, pattern)) {
        // A batch a second: the next free second is its key.
        while (m_batches.RowOfKey(BatchKey(*batch)) >= 0) {
            ++batch->m_time;
        }
        const STLedgermill* added = batch.get();
        if (m_batchModel.AddBatch(std::move(batch)) >= 0) {
            m_batches.MarkUnsaved(added);
        }
    }
}

void CLedgermillDlg::MergeRecords(STLedgermill& batch, LedgermillItemList& items) {
    const std::size_t first = batch.m_itemVector.size();
    if (m_batches.AppendItems(batch, items) == 0) {
        return;
    }
    m_batchModel.CountChanged(batch);
    ArchiveSoon(batch);
    if (&batch != m_pCurBatch) {
        return;
    }
    if (batch.m_nTestModel == kTestModelBatch) {
        for (std::size_t i = first; i < batch.m_itemVector.size(); ++i) {
            m_chart.AddData({m_chart.GetDataCount() + 1.0, batch.m_itemVector[i]->m_dAverage});
        }
    }
    CMeasurementListModel& model = MeasurementModel();
    model.ShowAppendedItems();
    // The last row selected, current and shown; the keyboard focus stays
    // where the operator left it.
    MeasurementList().SelectAndShow(model.rowCount() - 1);
    RefreshAtNextFrame();
}

void CLedgermillDlg::RefreshAtNextFrame() {
    if (!m_frameRefresh.isActive()) {
        m_frameRefresh.start();
    }
}

void CLedgermillDlg::RefreshNow() {
    m_frameRefresh.stop();
    m_batches.SettleStatistics();
    if (m_pCurBatch != nullptr && m_pCurBatch->m_nTestModel == kTestModelBatch) {
        ShowBatchStatistics();
    }
    ShowCapability();
    m_chart.Refresh();
}

void CLedgermillDlg::DumpReceiveBuffer() {
    const ReceiveBuffer& buffer = m_receive.Buffer();
    const std::string_view bytes(reinterpret_cast<const char*>(buffer.m_pData.get()),
                                 static_cast<std::size_t>(buffer.m_nLength));
    const QString failure = WriteReceiveDump(ReceiveDumpPath(), bytes);
    if (!failure.isEmpty()) {
        m_statusBar.showMessage(QStringLiteral("Dump failed: ") + failure, kDumpFailureMs);
    }
}

// Enter presses no button, and Escape does not close the main window: a
// stray key must not end a session of receiving. Its dialogs still close
// with Escape.
void CLedgermillDlg::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
