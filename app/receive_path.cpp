// The receive path in the window: the port opened and closed, the session's
// text shown as raw text, and the complete records filed into the selected
// batch by Add or, in real-time mode, as each transmission completes.
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include "app/ledgermill_dlg.h"
#include "app/report_list.h"
#include "app/window_text.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "instrument/record_parser.h"
#include "persistence/setting.h"

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
    return SelectedRow(m_batchList) >= 0 && m_receive.LastRecordComplete();
}

void CLedgermillDlg::OnClear() {
    m_receive.Clear();
}

void CLedgermillDlg::OnAdd() {
    AddReceivedText();
}

void CLedgermillDlg::AddReceivedText() {
    if (m_bFiling) {
        return;
    }
    const QScopedValueRollback filing(m_bFiling, true);
    const int row = SelectedRow(m_batchList);
    STLedgermill* batch = row < 0 ? nullptr : RowData<STLedgermill>(m_batchList, row);
    if (batch == nullptr) {
        return;
    }
    STTakenRecords taken = m_receive.TakeRecords();
    if (taken.Count() == 0) {
        return;
    }
    LedgermillItemList items;
    for (std::u16string& record : taken.m_records) {
        ParseRecordText(record, items);
    }
    MergeRecords(*batch, items);
    m_batchList.item(row, 4)->setText(QString::fromStdU16String(
        UIntToText(static_cast<std::uint32_t>(batch->m_itemVector.size()))));
    QTableWidget& list = batch->m_nTestMethod == kTestMethodLeeb ? m_leebList : m_uciList;
    // The last row selected, current and shown; the keyboard focus stays
    // where the operator left it.
    if (list.rowCount() > 0) {
        list.setCurrentCell(list.rowCount() - 1, 0);
        list.scrollToItem(list.item(list.rowCount() - 1, 0));
    }
    STRefusalCounts refusals;
    refusals.m_nOffered = taken.Count();
    for (const auto& item : items) {
        if (!item->IsValidFor(batch->m_nTestModel, batch->m_nTestMethod)) {
            refusals.AddWrongKind(*item, *batch);
        }
    }
    refusals.m_nDamaged = taken.m_nDamaged;
    refusals.m_nCutOff = taken.m_nCutOff;
    refusals.m_journals = std::move(taken.m_journals);
    if (refusals.Refused() > 0) {
        m_refusalNotice.Report(refusals);
    }
}

std::int32_t CLedgermillDlg::MergeRecords(STLedgermill& batch, const LedgermillItemList& items) {
    std::int32_t refused = 0;
    const bool shown = &batch == m_pCurBatch;
    for (const auto& item : items) {
        if (!item->IsValidFor(batch.m_nTestModel, batch.m_nTestMethod)) {
            ++refused;
            continue;
        }
        auto copy = std::make_unique<STLedgermillItem>(*item);
        const STLedgermillItem& added = *copy;
        batch.AddItem(std::move(copy));
        m_unsaved.insert(&batch);
        if (!shown) {
            continue;
        }
        if (batch.m_nTestMethod == kTestMethodLeeb) {
            AppendLeebRow(added);
        } else if (batch.m_nTestMethod == kTestMethodUci) {
            AppendUciRow(added);
        }
        if (batch.m_nTestModel == kTestModelBatch) {
            m_chart.AddData({m_chart.GetDataCount() + 1.0, added.m_dAverage});
        }
    }
    batch.UpdateStatistics();
    if (batch.m_nTestModel == kTestModelBatch && shown) {
        ShowBatchStatistics();
        m_chart.update();
    }
    return refused;
}

void CLedgermillDlg::DumpReceiveBuffer() {
    QFile file(QDir::home().filePath(QStringLiteral("aafff.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return;
    }
    const ReceiveBuffer& buffer = m_receive.Buffer();
    if (buffer.m_nLength > 0) {
        file.write(reinterpret_cast<const char*>(buffer.m_pData.get()), buffer.m_nLength);
    }
}

void CLedgermillDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
