// The main window: receive area on the left (port, raw text, batch list),
// data view on the right (limits, chart, statistics, measurement lists). It
// owns the batches, the chart, the serial port and the receiver.
#pragma once

#include <QByteArray>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "chart/qz_ctrl_chart.h"
#include "model/ledgermill.h"
#include "serial/receive_buffer.h"
#include "serial/receiver.h"
#include "serial/serial_port.h"

class CLedgermillDlg : public QDialog {
public:
    explicit CLedgermillDlg(QWidget* parent = nullptr);
    ~CLedgermillDlg() override;

    // Start-up: chart over its placeholder, settings shown, lists prepared
    // and placed, the data view cleared.
    void OnInitDialog();

    void OnSetting();
    void OnLimit();
    void OnRealTimeDisplay();
    void OnNew();
    void OnDeleteBatch();
    void OnDeleteMeasurement();
    void OnLoad();
    void OnSave();
    // The selected batch's chart bitmap under Result/ and its workbook.
    void OnReport();
    void OnOpen();
    void OnClear();
    void OnAdd();
    void AddReceivedText();
    // Appends copies of the items the batch accepts; the number refused.
    std::int32_t MergeRecords(STLedgermill& batch, const LedgermillItemList& items);
    // A chunk from the receiver, on the window's thread.
    void OnSerialData(const QByteArray& bytes);
    // The chunks the receiver has queued, in order.
    void TakeReceivedChunks();
    // The whole receive buffer to aafff.txt in the home folder.
    void DumpReceiveBuffer();
    void ShowLimits();
    void ClearDataView();
    void ShowBatchSelection();
    void ShowCurBatch();
    void ShowMeasurementSelection();
    void ShowValueSelection();
    void ShowAbout();

    // Where the measurement and values lists go by batch kind.
    QRect m_rcListFull;
    QRect m_rcListNarrow;
    QRect m_rcListValues;
    CQZCtrlChart m_chart;
    // All batches of the run, by creation-time text; owns them.
    std::map<std::u16string, std::unique_ptr<STLedgermill>> m_mapBatch;
    // The batch on display; null for none.
    STLedgermill* m_pCurBatch = nullptr;
    SerialPort m_serialPort;
    CQZSPReceive m_spReceive;
    // Guards the receive buffer and the raw text.
    std::mutex m_csRecv;
    ReceiveBuffer m_recvBuffer;
    // The buffer's text as the raw-text box shows it: decoded from UTF-8,
    // zero bytes left out, a character split between chunks held back in
    // m_strPendingBytes until it is whole.
    std::u16string m_strRecvText;
    std::string m_strPendingBytes;
    // Where Report writes: Result/ beside the executable.
    std::u16string m_strResultFolder;
    // Batches changed (items removed or added, limits set) since they were
    // created, loaded or last saved.
    std::set<const STLedgermill*> m_unsaved;

    // The controls, named by what they show.
    QGroupBox m_receiveGroup{QStringLiteral("Data Receive"), this};
    QPushButton m_settingButton{QStringLiteral("Setting"), this};
    QPushButton m_openButton{QStringLiteral("Open"), this};
    QCheckBox m_realTimeBox{QStringLiteral("Real Time Display"), this};
    QPlainTextEdit m_rawText{this};
    QPushButton m_clearButton{QStringLiteral("Clear"), this};
    QPushButton m_addButton{QStringLiteral("Add"), this};
    QTableWidget m_batchList{this};
    QPushButton m_deleteBatchButton{QStringLiteral("Delete"), this};
    QPushButton m_newButton{QStringLiteral("New"), this};
    QPushButton m_loadButton{QStringLiteral("Load"), this};
    QPushButton m_saveButton{QStringLiteral("Save"), this};
    QPushButton m_reportButton{QStringLiteral("Report"), this};
    QGroupBox m_viewGroup{QStringLiteral("Data View"), this};
    QPushButton m_limitButton{QStringLiteral("Limit"), this};
    QLabel m_lowerLimitLabel{QStringLiteral("Lower Limit:"), this};
    QLineEdit m_lowerLimitEdit{this};
    QLabel m_upperLimitLabel{QStringLiteral("Upper Limit:"), this};
    QLineEdit m_upperLimitEdit{this};
    QLabel m_chartPlaceholder{QStringLiteral("Static"), this};
    QLabel m_minLabel{QStringLiteral("Min:"), this};
    QLineEdit m_minEdit{this};
    QLabel m_maxLabel{QStringLiteral("Max:"), this};
    QLineEdit m_maxEdit{this};
    QLabel m_averageLabel{QStringLiteral("Average:"), this};
    QLineEdit m_averageEdit{this};
    QLabel m_deviationLabel{QStringLiteral("Standard deviation:"), this};
    QLineEdit m_deviationEdit{this};
    QFrame m_listFullPlaceholder{this};
    QFrame m_listNarrowPlaceholder{this};
    QFrame m_listValuesPlaceholder{this};
    QTableWidget m_leebList{this};
    QTableWidget m_uciList{this};
    QTableWidget m_valuesList{this};
    QLineEdit m_titleEdit{this};
    QPushButton m_deleteMeasurementButton{QStringLiteral("Delete"), this};

    // However the window is closed: with changes not yet saved, the operator
    // is asked first, and No keeps the window open.
    void done(int result) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class CWindowTarget;
    std::unique_ptr<CReceiveTarget> m_pReceiveTarget;

    void PlaceControls();
    bool IsRealTimeComplete();
    void ClearReceived();
    void ConnectCommands();
    void SetTabOrder();
    QTableWidget& MeasurementList();
    void AppendLeebRow(const STLedgermillItem& item);
    void AppendUciRow(const STLedgermillItem& item);
    void ChartBatchAverages();
    void ChartItemValues(const STLedgermillItem& item);
    void ShowBatchStatistics();
    void ShowItemStatistics(const STLedgermillItem& item);
    void ResetStatistics();
    void ShowLimitControls(bool shown);
    // A row at the end of the batch list for the batch, selected.
    void AddBatchRow(STLedgermill& batch);
};
