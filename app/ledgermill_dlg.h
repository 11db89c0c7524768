// The main window: receive area on the left (port, raw text, batch list),
// data view on the right (limits, chart, statistics, measurement lists). It
// shows the batch collection and the receive session and turns the
// operator's commands into their changes; Load, Save and Report run as long
// work off the window's thread.
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
#include <QMenuBar>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/archive_service.h"
#include "app/archive_status.h"
#include "app/batch_collection.h"
#include "app/batch_list_model.h"
#include "app/batch_rescue.h"
#include "app/elastic_layout.h"
#include "app/long_work.h"
#include "app/measurement_list_model.h"
#include "app/raw_text_view.h"
#include "app/receive_session.h"
#include "app/receive_status.h"
#include "app/refusal_notice.h"
#include "app/report_list_view.h"
#include "app/run_record.h"
#include "app/values_list_model.h"
#include "app/window_state.h"
#include "app/work_indicator.h"
#include "chart/qz_ctrl_chart.h"
#include "common/program_folders.h"
#include "model/ledgermill.h"

class CLedgermillDlg : public QDialog {
public:
    // lockFolder holds the serial lines' UUCP lock files; journalFolder the
    // capture journals.
    // folders: where settings, window state, reports and rescued batches go.
    explicit CLedgermillDlg(QWidget* parent = nullptr, std::string lockFolder = "/run/lock",
                            std::string journalFolder = DefaultJournalFolder(),
                            STProgramFolders folders = ProgramFolders());
    static std::string DefaultJournalFolder();
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
    // Asks for a batch file and loads it.
    void OnLoad();
    // Loads the files one after another as Load does each, after the long
    // work running now (the command line, files dropped on the window, the
    // recent files).
    void LoadFiles(const std::vector<std::string>& paths);
    // A batch read in, shown as Load shows it: selected in a new row, or the
    // row of its key selected with "Data Existed.".
    void FileLoadedBatch(std::unique_ptr<STLedgermill> batch);
    // The window of the lab archive, made when first asked for (window_archive.cpp).
    void OnArchive();
    void OnSave();
    // The selected batch's chart bitmap under Result/ and its workbook.
    void OnReport();
    // The selected batch as CSV, one row per item or per reading.
    void OnExportCsv();
    // The shared archive server, in a dialog of its own.
    void OnArchiveServer();
    // The selected batch's report on pages: a PDF file, or printed from a
    // preview.
    void OnReportPdf();
    void OnPrint();
    void OnOpen();
    void OnClear();
    void OnAdd();
    // Files the complete records into the selected batch; a record still
    // arriving stays for later.
    void AddReceivedText();
    // Files taken records into batch as Add does: what it refuses is told,
    // with the counts by reason.
    void FileTakenRecords(STLedgermill& batch, STTakenRecords taken);
    // File > Import Capture...: the whole records of a capture, journal or
    // dump filed into the selected batch as Add files them.
    void OnImportCapture();
    void ImportCapture(const std::string& path);
    // What a run that did not end cleanly left, offered once at start: its
    // batches from the archive and its records never filed.
    void OfferUncleanRuns(const std::vector<STUncleanRun>& runs);
    // The record of this run, when the program keeps one.
    CRunRecord* m_pRunRecord = nullptr;
    // Files the whole records received and never filed, as the program is
    // ended: into the selected batch what it takes, the rest into new
    // batches of their own; the batches they change are unsaved.
    void FileUnfiledRecords();
    // Moves the items the batch accepts to its end and shows them; the
    // refused ones stay in items.
    void MergeRecords(STLedgermill& batch, LedgermillItemList& items);
    // A chunk as if from the receiver, on the window's thread.
    void OnSerialData(const QByteArray& bytes);
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
    // All batches of the run in list order, their keys and marks.
    CBatchCollection m_batches;
    // The batch on display; null for none.
    STLedgermill* m_pCurBatch = nullptr;
    // The port, the receive buffer and which records are complete.
    CReceiveSession m_receive;
    // Where settings, window state and reports live.
    STProgramFolders m_folders;
    // Where Report writes.
    std::u16string m_strResultFolder;
    // The folder last used for batch files and the recent files.
    CWindowState m_state;
    // Called whenever a dialog or a control has changed g_stSetting, so that
    // the settings are kept at once rather than only at the end.
    std::function<void()> m_fnSettingsChanged;
    CBatchListModel m_batchModel{m_batches};
    CMeasurementListModel m_leebModel{kTestMethodLeeb};
    CMeasurementListModel m_uciModel{kTestMethodUci};
    CValuesListModel m_valuesModel;
    // Declared after the batches: it waits for running work before they go.
    CLongWork m_work;

    QMenuBar m_menuBar{this};
    // The controls, named by what they show.
    QGroupBox m_receiveGroup{QStringLiteral("Data Receive"), this};
    QPushButton m_settingButton{QStringLiteral("Setting"), this};
    QPushButton m_openButton{QStringLiteral("Open"), this};
    QCheckBox m_realTimeBox{QStringLiteral("Real Time Display"), this};
    QPlainTextEdit m_rawText{this};
    QPushButton m_clearButton{QStringLiteral("Clear"), this};
    QPushButton m_addButton{QStringLiteral("Add"), this};
    CReportListView m_batchList{m_batchModel, this};
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
    // Cp, Cpk, pass rate and NG items of the batch on display, or its
    // mixed scales.
    QLabel m_capabilityLabel{this};
    QFrame m_listFullPlaceholder{this};
    QFrame m_listNarrowPlaceholder{this};
    QFrame m_listValuesPlaceholder{this};
    CReportListView m_leebList{m_leebModel, this};
    CReportListView m_uciList{m_uciModel, this};
    CReportListView m_valuesList{m_valuesModel, this};
    QLineEdit m_titleEdit{this};
    QPushButton m_deleteMeasurementButton{QStringLiteral("Delete"), this};
    CReceiveStatusBar m_statusBar{m_receive, this};
    CRawTextView m_rawView{m_rawText};
    CRefusalNotice m_refusalNotice{this};
    CWorkIndicator m_workIndicator{m_work, this};
    // The lab archive: a snapshot of every batch saved, added to or filed
    // into, archived off the window's thread; what it reports goes to the
    // status line beside the port's state.
    CArchiveStatus m_archiveStatus{this};
    CArchiveService m_archive{m_folders.m_strArchiveFile, this,
                              [this](const STArchiveReport& report) { m_archiveStatus.Show(report); }};
    // Hands a snapshot of the batch to the archive now.
    void ArchiveNow(const STLedgermill& batch);
    // Hands over the batches real-time filing changed, now rather than when
    // their wait is over.
    void ArchiveFiledBatches();

    // Blocks until the long work running, if any, has ended and been taken
    // up; for closing and for tests.
    void WaitForLongWork() { m_work.Wait(); }
    // Blocks until the long work and every file waiting to be loaded are
    // done.
    void WaitForAllWork();

    struct STLoaded;

    // For an end the operator did not ask for (a signal, the session
    // ending): long work stops or is finished, files waiting are dropped,
    // and every batch with unsaved changes is written to the recovery
    // folder.
    STRescue RescueUnsavedBatches();
    // The settings file could not be written: said in the status line.
    void ShowSettingsNotSaved();
    // Brings the figures and the chart up to date with the filing now, not
    // at the next frame.
    void RefreshNow();

    // However the window is closed: with changes not yet saved, the operator
    // is asked first, and No keeps the window open.
    void done(int result) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Enter and Escape do nothing here: no button is the window's default,
    // and the window closes only when asked to.
    void keyPressEvent(QKeyEvent* event) override;
    // Batch files dropped on the window are loaded as Load does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();
    void BuildMenuBar();
    // Extra room goes to the raw text, the lists and the chart: a third of
    // the extra width to the receive side, two thirds to the data view, and
    // half the extra height to each of the two panes on either side.
    void MakeLayoutElastic();
    // The measurement and values lists where the batch on display puts them.
    void PlaceMeasurementLists();
    QSize m_defaultSize;
    CElasticLayout m_layout;
    QMenu* m_pRecentMenu = nullptr;  // owned by the menu bar
    QAction* m_pPortAction = nullptr;  // owned by its menu
    std::vector<QAction*> m_longWorkActions;  // owned by their menus
    void ShowRecentFiles();
    // Accessible names, descriptions and label buddies (window_accessibility.cpp).
    void NameControlsForAssistiveTechnology();
    void ConnectReceiveSession();
    bool IsRealTimeComplete();
    void FileIfRealTime();
    void ShowPortState();
    // Set while records are being filed: filing never re-enters.
    bool m_bFiling = false;
    void StartArchive();
    // Filing in real time hands a batch over once its wait is over, not
    // once a record.
    void ArchiveSoon(const STLedgermill& batch);
    STArchiveOrigin ArchiveOrigin() const;
    std::set<std::u16string> m_archiveSoon;
    QTimer m_archiveWait;
    // The received bytes before this offset were filed; noted as handled
    // once the batches they went to were handed to the archive.
    std::uint64_t m_nFiledUpTo = 0;
    void NoteHandled(std::uint64_t offset);
    // Whole records' items that no batch was chosen for, in new batches of
    // their own, unsaved.
    void AddBatchesOfTheirOwn(LedgermillItemList& items);
    std::u16string m_strStation;
    void ConnectCommands();
    void SetTabOrder();
    CReportListView& MeasurementList();
    CMeasurementListModel& MeasurementModel();
    // The batch of the batch list's selected row; null for none.
    STLedgermill* SelectedBatch() const;
    // The selected batch, put on display, for a command on it; null when
    // there is none or long work runs.
    STLedgermill* CommandBatch();
    // CommandBatch for a report, with its statistics settled; null also for
    // a batch without items, after "No Data.".
    STLedgermill* BatchToReport();
    // Whether the batch may change now: long work may be reading it.
    bool MayChange(const STLedgermill* batch) const;
    // Filing may come in bursts: the figures and the chart follow at most
    // once a frame. Every repaint of the chart goes this way.
    void RefreshAtNextFrame();
    QTimer m_frameRefresh;
    void ConnectLongWork();
    std::deque<std::string> m_pendingLoads;
    void StartPendingLoad();
    void ShowLoadedBatch(const std::string& path, STLoaded& loaded);
    void SettingsChanged();
    void ShowLongWorkRunning(bool running);
    void ChartBatchAverages();
    void ChartItemValues(const STLedgermillItem& item);
    void ShowBatchStatistics();
    void ShowCapability();
    void ShowItemStatistics(const STLedgermillItem& item);
    void ResetStatistics();
    void ShowLimitControls(bool shown);
    // A row at the end of the batch list for the batch, selected; nothing
    // when a batch with its key is listed already.
    void AddBatchRow(std::unique_ptr<STLedgermill> batch);
};
