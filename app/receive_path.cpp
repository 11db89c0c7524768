// The receive path: the port opened and closed, chunks from the receiver
// collected in the buffer and shown as raw text, and the text filed into
// the selected batch by Add or, in real-time mode, as each transmission
// completes.
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QScrollBar>
#include <deque>

#include "app/ledgermill_dlg.h"
#include "app/report_list.h"
#include "app/window_text.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "common/utf.h"
#include "dialogs/modal.h"
#include "instrument/record_parser.h"
#include "persistence/setting.h"
#include "serial/port_names.h"

namespace {

// Bytes at the end of text that begin a UTF-8 character not yet complete.
std::size_t IncompleteTail(const std::string& bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back
        }
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

QString OpenFailure(int comNumber, const std::string& path, const std::string& reason) {
    QString text = QStringLiteral("COM%1 (%2): %3")
                       .arg(comNumber)
                       .arg(QString::fromStdString(path), QString::fromStdString(reason));
    if (reason.find("Permission denied") != std::string::npos) {
        text += QStringLiteral(" \u2014 the user must be in the dialout group");
    }
    return text;
}

}  // namespace

// Hands each chunk to the window's thread as a copy and returns at once:
// the worker never waits for the window, so Close, which waits for the
// worker, can never deadlock. Chunks queue up here in order; the window is
// asked to take them with one posted call at a time and takes a bounded
// share per call, so a fast line cannot flood its event loop and starve
// painting and timers. Chunks still queued when the port closes are still
// taken; those queued when the window goes are dropped with it.
class CLedgermillDlg::CWindowTarget : public CReceiveTarget {
public:
    explicit CWindowTarget(CLedgermillDlg& window) : m_window(&window) {}

    void OnChunk(const std::uint8_t* bytes, std::size_t count) override {
        const std::lock_guard lock(m_mutex);
        m_chunks.emplace_back(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(count));
        if (!m_bPosted) {
            m_bPosted = true;
            PostTake();
        }
    }

    // Up to kTakeBytes of the queued chunks, in order; asks for another call
    // while chunks remain.
    std::deque<QByteArray> Take() {
        const std::lock_guard lock(m_mutex);
        std::deque<QByteArray> taken;
        qsizetype bytes = 0;
        while (!m_chunks.empty() && bytes < kTakeBytes) {
            bytes += m_chunks.front().size();
            taken.push_back(std::move(m_chunks.front()));
            m_chunks.pop_front();
        }
        m_bPosted = !m_chunks.empty();
        if (m_bPosted) {
            PostTake();
        }
        return taken;
    }

private:
    static constexpr qsizetype kTakeBytes = 16 * 1024;

    void PostTake() {
        QMetaObject::invokeMethod(
            m_window, [window = m_window] { window->TakeReceivedChunks(); }, Qt::QueuedConnection);
    }

    CLedgermillDlg* m_window;
    std::mutex m_mutex;
    std::deque<QByteArray> m_chunks;
    bool m_bPosted = false;
};

void CLedgermillDlg::TakeReceivedChunks() {
    if (m_pReceiveTarget) {
        for (const QByteArray& chunk : static_cast<CWindowTarget&>(*m_pReceiveTarget).Take()) {
            OnSerialData(chunk);
        }
    }
}

void CLedgermillDlg::OnOpen() {
    if (m_serialPort.IsOpen()) {
        m_spReceive.Stop();
        m_serialPort.ClosePort();
        m_openButton.setText(QStringLiteral("Open"));
        return;
    }
    const STSetting& setting = g_stSetting;
    if (m_serialPort.OpenPort(setting.m_nCom, setting.m_ulBaudRate, setting.m_ucSize,
                              setting.m_ucParity, setting.m_ucStopBits) != 1) {
        m_serialPort.ClosePort();
        const std::string reason = m_serialPort.LastOpenError();
        const std::string path = ResolvePortPath(setting.m_nCom, GetModuleDirectory() + "ports/");
        const std::string prefix = path + ": ";
        m_openButton.setToolTip(
            OpenFailure(setting.m_nCom, path,
                        reason.starts_with(prefix) ? reason.substr(prefix.size()) : reason));
        return;
    }
    m_openButton.setToolTip(QString());
    m_openButton.setText(QStringLiteral("Close"));
    if (!m_pReceiveTarget) {
        m_pReceiveTarget = std::make_unique<CWindowTarget>(*this);
    }
    m_spReceive.Start(m_pReceiveTarget.get(), &m_serialPort);
}

void CLedgermillDlg::OnSerialData(const QByteArray& bytes) {
    {
        const std::lock_guard lock(m_csRecv);
        m_recvBuffer.AppendBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::int32_t>(bytes.size()));
        // Zero bytes (line noise) are kept in the buffer but never hide the
        // text behind them.
        for (const char byte : bytes) {
            if (byte != '\0') {
                m_strPendingBytes.push_back(byte);
            }
        }
        const std::size_t tail = IncompleteTail(m_strPendingBytes);
        const std::u16string text = Utf8ToUtf16Replacing(
            std::string_view(m_strPendingBytes).substr(0, m_strPendingBytes.size() - tail));
        m_strPendingBytes.erase(0, m_strPendingBytes.size() - tail);
        m_strRecvText += text;
        // Appended, not re-set: the cost follows the chunk, not the buffer.
        m_rawText.moveCursor(QTextCursor::End);
        m_rawText.insertPlainText(QString::fromStdU16String(text));
        m_rawText.moveCursor(QTextCursor::End);
        m_rawText.ensureCursorVisible();
    }
    if (g_stSetting.m_bShowOnline && IsRealTimeComplete()) {
        AddReceivedText();
    }
}

bool CLedgermillDlg::IsRealTimeComplete() {
    if (SelectedRow(m_batchList) < 0) {
        return false;
    }
    const std::lock_guard lock(m_csRecv);
    return LastLineStartsWith(u"DATE", m_strRecvText);
}

void CLedgermillDlg::ClearReceived() {
    m_rawText.clear();
    m_strRecvText.clear();
    m_strPendingBytes.clear();
    m_recvBuffer.FreeBuffer();
}

void CLedgermillDlg::OnClear() {
    const std::lock_guard lock(m_csRecv);
    ClearReceived();
}

void CLedgermillDlg::OnAdd() {
    AddReceivedText();
}

void CLedgermillDlg::AddReceivedText() {
    const int row = SelectedRow(m_batchList);
    if (row < 0) {
        return;
    }
    STLedgermill* batch = RowData<STLedgermill>(m_batchList, row);
    if (batch == nullptr) {
        return;
    }
    std::u16string text;
    {
        const std::lock_guard lock(m_csRecv);
        text = m_strRecvText;
        ClearReceived();
    }
    if (text.empty()) {
        return;
    }
    LedgermillItemList items;
    ParseRecordText(text, items);
    const std::int32_t refused = MergeRecords(*batch, items);
    m_batchList.item(row, 4)->setText(QString::fromStdU16String(
        UIntToText(static_cast<std::uint32_t>(batch->m_itemVector.size()))));
    QTableWidget& list = batch->m_nTestMethod == kTestMethodLeeb ? m_leebList : m_uciList;
    if (list.rowCount() > 0) {
        list.selectRow(list.rowCount() - 1);
        list.setFocus();
        list.scrollToItem(list.item(list.rowCount() - 1, 0));
    }
    if (refused > 0) {
        CModal::Current().ShowMessage(this, kMarloCaption,
                                      QStringLiteral("Part of the data is the error data."));
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
    const std::lock_guard lock(m_csRecv);
    QFile file(QDir::home().filePath(QStringLiteral("aafff.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return;
    }
    if (m_recvBuffer.m_nLength > 0) {
        file.write(reinterpret_cast<const char*>(m_recvBuffer.m_pData.get()),
                   m_recvBuffer.m_nLength);
    }
}
