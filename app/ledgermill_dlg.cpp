#include "app/ledgermill_dlg.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QMenu>
#include <QShortcut>

#include "app/about_dlg.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "common/utf.h"
#include "common/xdg_paths.h"
#include "dialogs/dialog_units.h"
#include "dialogs/dlg_limit.h"
#include "dialogs/dlg_setting.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"
#include "report/report_files.h"

namespace {

// One frame at 60 Hz: how often filing bursts redraw the figures and chart.
constexpr int kFrameMs = 16;

void MakeReadOnly(std::initializer_list<QLineEdit*> edits) {
    for (QLineEdit* edit : edits) {
        edit->setReadOnly(true);
    }
}

void AlignRight(std::initializer_list<QLabel*> labels) {
    for (QLabel* label : labels) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

}  // namespace

std::string CLedgermillDlg::DefaultJournalFolder() {
    return CaptureDirectory();
}

CLedgermillDlg::CLedgermillDlg(QWidget* parent, std::string lockFolder, std::string journalFolder,
                               STProgramFolders folders)
    : QDialog(parent, Qt::Window),
      m_receive(GetModuleDirectory() + "ports/", std::move(lockFolder), std::move(journalFolder)),
      m_folders(std::move(folders)),
      m_strResultFolder(Utf8ToUtf16(m_folders.m_strReportFolder)),
      m_state(PathText(m_folders.m_strStateFile), PathText(m_folders.m_strDocumentFolder)) {
    setWindowTitle(QStringLiteral("Marlo"));
    setWindowIcon(QIcon(QStringLiteral(":/marlo.png")));
    setFont(DialogFont());
    setAcceptDrops(true);
    PlaceControls();
    ConnectCommands();
    ConnectReceiveSession();
    ConnectLongWork();
    StartArchive();
    SetTabOrder();
    NameControlsForAssistiveTechnology();
    OnInitDialog();
    MakeLayoutElastic();
}

CLedgermillDlg::~CLedgermillDlg() {
    // No signal of the session or the long work may reach a window that is
    // going. Batches filed in real time are archived as they stand.
    ArchiveFiledBatches();
    m_receive.disconnect(this);
    m_work.disconnect(this);
    m_receive.Close();
}

void CLedgermillDlg::PlaceControls() {
    const CDialogUnits units(font());
    units.SizeDialog(*this, 681, 357);
    units.Place(m_receiveGroup, 7, 7, 240, 343);
    units.Place(m_settingButton, 17, 22, 38, 14);
    units.Place(m_openButton, 61, 23, 38, 14);
    units.Place(m_realTimeBox, 171, 27, 72, 10);
    units.Place(m_rawText, 18, 41, 225, 151);
    units.Place(m_clearButton, 18, 197, 38, 14);
    units.Place(m_addButton, 205, 197, 38, 14);
    units.Place(m_batchList, 18, 216, 225, 110);
    units.Place(m_deleteBatchButton, 17, 329, 38, 14);
    units.Place(m_newButton, 60, 329, 38, 14);
    units.Place(m_loadButton, 125, 329, 38, 14);
    units.Place(m_saveButton, 165, 329, 38, 14);
    units.Place(m_reportButton, 205, 329, 38, 14);
    units.Place(m_viewGroup, 253, 7, 421, 343);
    units.Place(m_limitButton, 260, 23, 50, 14);
    units.Place(m_lowerLimitLabel, 326, 23, 49, 8);
    units.Place(m_lowerLimitEdit, 380, 23, 40, 14);
    units.Place(m_upperLimitLabel, 440, 23, 49, 8);
    units.Place(m_upperLimitEdit, 494, 23, 40, 14);
    units.Place(m_chartPlaceholder, 261, 45, 407, 144);
    units.Place(m_minLabel, 262, 197, 34, 8);
    units.Place(m_minEdit, 300, 197, 40, 14);
    units.Place(m_maxLabel, 344, 197, 34, 8);
    units.Place(m_maxEdit, 382, 197, 40, 14);
    units.Place(m_averageLabel, 430, 197, 34, 8);
    units.Place(m_averageEdit, 469, 197, 40, 14);
    units.Place(m_deviationLabel, 515, 197, 78, 8);
    units.Place(m_deviationEdit, 597, 197, 40, 14);
    // The capability line takes the top of the lists' area.
    units.Place(m_capabilityLabel, 262, 214, 404, 9);
    units.Place(m_listFullPlaceholder, 259, 226, 407, 100);
    units.Place(m_listNarrowPlaceholder, 259, 226, 331, 100);
    units.Place(m_listValuesPlaceholder, 596, 226, 70, 100);
    units.Place(m_leebList, 265, 227, 109, 88);
    units.Place(m_uciList, 387, 227, 115, 83);
    units.Place(m_valuesList, 602, 231, 53, 78);
    units.Place(m_titleEdit, 260, 329, 225, 14);
    units.Place(m_deleteMeasurementButton, 538, 329, 38, 14);
    // The menu bar lies above the window's own area and the status line below
    // it; the window grows by their heights.
    BuildMenuBar();
    const int menuHeight = m_menuBar.sizeHint().height();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child != &m_menuBar) {
            child->move(child->x(), child->y() + menuHeight);
        }
    }
    const QSize area = units.ToPixels(0, 0, 681, 357).size();
    const int statusHeight = m_statusBar.sizeHint().height();
    m_defaultSize = QSize(area.width(), menuHeight + area.height() + statusHeight);
    m_menuBar.setGeometry(0, 0, area.width(), menuHeight);
    m_statusBar.setGeometry(0, menuHeight + area.height(), area.width(), statusHeight);
    m_statusBar.addPermanentWidget(&m_workIndicator);
    // The layout above is the smallest the window gets; it may grow and be
    // maximised.
    setMinimumSize(m_defaultSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(m_defaultSize);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    // Enter never presses a button: the receive area has no default action.
    for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // The box's text stands left of it.
    m_realTimeBox.setLayoutDirection(Qt::RightToLeft);
    m_capabilityLabel.setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_rawText.setReadOnly(true);
    m_rawText.setLineWrapMode(QPlainTextEdit::NoWrap);
    m_rawText.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_rawText.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MakeReadOnly({&m_lowerLimitEdit, &m_upperLimitEdit, &m_minEdit, &m_maxEdit, &m_averageEdit,
                  &m_deviationEdit, &m_titleEdit});
    AlignRight({&m_lowerLimitLabel, &m_upperLimitLabel, &m_minLabel, &m_maxLabel, &m_averageLabel,
                &m_deviationLabel});
    for (QFrame* frame :
         {&m_listFullPlaceholder, &m_listNarrowPlaceholder, &m_listValuesPlaceholder}) {
        frame->setFrameShape(QFrame::Box);
    }
}

void CLedgermillDlg::ConnectCommands() {
    connect(&m_settingButton, &QPushButton::clicked, this, [this] { OnSetting(); });
    connect(&m_limitButton, &QPushButton::clicked, this, [this] { OnLimit(); });
    // Toggled, not clicked: a screen reader's toggle action switches the mode too.
    connect(&m_realTimeBox, &QCheckBox::toggled, this, [this] { OnRealTimeDisplay(); });
    connect(&m_newButton, &QPushButton::clicked, this, [this] { OnNew(); });
    connect(&m_loadButton, &QPushButton::clicked, this, [this] { OnLoad(); });
    connect(&m_reportButton, &QPushButton::clicked, this, [this] { OnReport(); });
    connect(&m_openButton, &QPushButton::clicked, this, [this] { OnOpen(); });
    connect(&m_clearButton, &QPushButton::clicked, this, [this] { OnClear(); });
    connect(&m_addButton, &QPushButton::clicked, this, [this] { OnAdd(); });
    // F5 anywhere in the window writes the receive buffer out.
    auto* dump = new QShortcut(QKeySequence(Qt::Key_F5), this);  // owned by the window
    dump->setContext(Qt::WindowShortcut);
    connect(dump, &QShortcut::activated, this, [this] { DumpReceiveBuffer(); });
    connect(&m_saveButton, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(&m_deleteBatchButton, &QPushButton::clicked, this, [this] { OnDeleteBatch(); });
    connect(&m_deleteMeasurementButton, &QPushButton::clicked, this,
            [this] { OnDeleteMeasurement(); });
    connect(m_batchList.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowBatchSelection(); });
    connect(m_leebList.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowMeasurementSelection(); });
    connect(m_uciList.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowMeasurementSelection(); });
    connect(m_valuesList.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowValueSelection(); });
    m_frameRefresh.setSingleShot(true);
    m_frameRefresh.setInterval(kFrameMs);
    connect(&m_frameRefresh, &QTimer::timeout, this, [this] { RefreshNow(); });
}

void CLedgermillDlg::SetTabOrder() {
    const std::vector<QWidget*> order{
        &m_rawText,        &m_openButton,        &m_clearButton,
        &m_settingButton,  &m_leebList,          &m_addButton,
        &m_batchList,      &m_deleteBatchButton, &m_averageEdit,
        &m_valuesList,     &m_deviationEdit,     &m_minEdit,
        &m_maxEdit,        &m_newButton,         &m_deleteMeasurementButton,
        &m_lowerLimitEdit, &m_upperLimitEdit,    &m_limitButton,
        &m_titleEdit,      &m_realTimeBox,       &m_reportButton,
        &m_loadButton,     &m_saveButton,        &m_uciList};
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    m_rawText.setFocus();
}

void CLedgermillDlg::OnInitDialog() {
    m_pCurBatch = nullptr;
    m_chart.CreateFromStatic(this, &m_chartPlaceholder);
    m_chart.m_dLimitLow = g_stSetting.m_dLowerLimit;
    m_chart.m_dLimitHigh = g_stSetting.m_dUpperLimit;
    const QSignalBlocker startUp(m_realTimeBox);  // the setting is shown, not changed
    m_realTimeBox.setChecked(g_stSetting.m_bShowOnline);
    m_clearButton.setEnabled(!g_stSetting.m_bShowOnline);
    m_addButton.setEnabled(!g_stSetting.m_bShowOnline);
    m_rcListFull = m_listFullPlaceholder.geometry();
    m_rcListNarrow = m_listNarrowPlaceholder.geometry();
    m_rcListValues = m_listValuesPlaceholder.geometry();
    for (QFrame* frame :
         {&m_listFullPlaceholder, &m_listNarrowPlaceholder, &m_listValuesPlaceholder}) {
        frame->hide();
    }
    // Whole dates and six-digit S/N whatever the font; the Leeb and UCI
    // lists end with the item's average and its judgement.
    constexpr const char* kWidestDate = "0000-00-00 00:00:00";
    constexpr const char* kWidestSerial = "000000";
    m_batchList.Prepare({{"S/N", 35, kWidestSerial},
                                    {"Time", 120, kWidestDate},
                                    {"Model", 60, "Average"},
                                    {"Method", 60},
                                    {"Count", 50, kWidestSerial}});
    m_leebList.Prepare({{"S/N", 40, kWidestSerial},
                                   {"NAME", 100},
                                   {"HD SCALE", 80},
                                   {"IMPACT", 50},
                                   {"DIR", 50},
                                   {"VALUE", 80},
                                   {"DATE", 120, kWidestDate},
                                   {"AVERAGE", 60, "0000.0"},
                                   {"RESULT", 50, "Pass"}});
    m_uciList.Prepare({{"S/N", 40, kWidestSerial},
                                  {"NAME", 100},
                                  {"HD SCALE", 80},
                                  {"FORCE", 50},
                                  {"VALUE", 80},
                                  {"DATE", 120, kWidestDate},
                                  {"AVERAGE", 60, "0000.0"},
                                  {"RESULT", 50, "Pass"}});
    m_valuesList.Prepare({{"S/N", 40, kWidestSerial}, {"VALUE", 60, "0000.0"}});
    m_leebList.setGeometry(m_rcListFull);
    m_uciList.setGeometry(m_rcListFull);
    m_uciList.hide();
    m_valuesList.setGeometry(m_rcListValues);
    m_valuesList.hide();
    ClearDataView();
    ShowLimits();
}

void CLedgermillDlg::contextMenuEvent(QContextMenuEvent* event) {
    // The window manager owns the system menu here; the About box is offered
    // from the window's own menu instead.
    QMenu menu(this);
    menu.addAction(QStringLiteral("&About Marlo..."), this, [this] { ShowAbout(); });
    menu.exec(event->globalPos());
}

void CLedgermillDlg::done(int result) {
    // Whatever runs ends first: a Load or Report stops halfway, a Save is
    // waited for, files waiting are not loaded.
    m_pendingLoads.clear();
    m_work.Cancel();
    m_work.Wait();
    if (m_batches.AnyUnsaved() &&
        !CModal::Current().AskYesNo(
            this, QStringLiteral("Marlo"),
            QStringLiteral("Some batches have not been saved. Close anyway?"))) {
        return;
    }
    QDialog::done(result);
}

void CLedgermillDlg::ShowAbout() {
    CAboutDlg about(this);
    CModal::Current().Run(about);
}

// The dialog writes g_stSetting itself; an open port keeps its parameters
// until it is opened again.
void CLedgermillDlg::OnSetting() {
    CDlgSetting setting(this);
    if (CModal::Current().Run(setting) == QDialog::Accepted) {
        SettingsChanged();
    }
}

void CLedgermillDlg::SettingsChanged() {
    if (m_fnSettingsChanged) {
        m_fnSettingsChanged();
    }
}

void CLedgermillDlg::OnRealTimeDisplay() {
    g_stSetting.m_bShowOnline = m_realTimeBox.isChecked();
    m_clearButton.setEnabled(!g_stSetting.m_bShowOnline);
    m_addButton.setEnabled(!g_stSetting.m_bShowOnline);
    SettingsChanged();
}

void CLedgermillDlg::OnLimit() {
    if (m_pCurBatch == nullptr || !MayChange(m_pCurBatch)) {
        return;
    }
    CDlgLimit limit(this);
    limit.m_dUpperLimit = m_pCurBatch->m_dUpperLimit;
    limit.m_dLowerLimit = m_pCurBatch->m_dLowerLimit;
    limit.m_bUseLimit = m_pCurBatch->m_bUseLimit;
    if (CModal::Current().Run(limit) != QDialog::Accepted) {
        return;
    }
    m_pCurBatch->m_dUpperLimit = g_stSetting.m_dUpperLimit = limit.m_dUpperLimit;
    m_pCurBatch->m_dLowerLimit = g_stSetting.m_dLowerLimit = limit.m_dLowerLimit;
    m_pCurBatch->m_bUseLimit = g_stSetting.m_bUseLimit = limit.m_bUseLimit;
    m_batches.MarkUnsaved(m_pCurBatch);
    SettingsChanged();
    ShowLimits();
    MeasurementModel().Rejudge();
}

void CLedgermillDlg::ShowLimitControls(bool shown) {
    for (QWidget* control : std::initializer_list<QWidget*>{&m_lowerLimitLabel, &m_upperLimitLabel,
                                                            &m_lowerLimitEdit, &m_upperLimitEdit}) {
        control->setVisible(shown);
    }
}

void CLedgermillDlg::ShowLimits() {
    if (m_pCurBatch == nullptr) {
        return;
    }
    const bool inUse = m_pCurBatch->m_bUseLimit;
    m_chart.m_dLimitLow = inUse ? m_pCurBatch->m_dLowerLimit : 0.0;
    m_chart.m_dLimitHigh = inUse ? m_pCurBatch->m_dUpperLimit : 0.0;
    ShowLimitControls(inUse);
    m_lowerLimitEdit.setText(Text(DoubleToText(m_pCurBatch->m_dLowerLimit)));
    m_upperLimitEdit.setText(Text(DoubleToText(m_pCurBatch->m_dUpperLimit)));
    RefreshAtNextFrame();
}

void CLedgermillDlg::ClearDataView() {
    m_pCurBatch = nullptr;
    m_chart.ClearData();
    m_leebModel.Show(nullptr);
    m_uciModel.Show(nullptr);
    m_valuesModel.Show(nullptr);
    ResetStatistics();
    m_capabilityLabel.clear();
    m_titleEdit.clear();
    ShowLimitControls(false);
}

void CLedgermillDlg::ResetStatistics() {
    for (QLineEdit* edit : {&m_minEdit, &m_maxEdit, &m_averageEdit, &m_deviationEdit}) {
        edit->setText(QStringLiteral("0.0"));
    }
}

void CLedgermillDlg::ConnectLongWork() {
    connect(&m_work, &CLongWork::started, this, [this] { ShowLongWorkRunning(true); });
    connect(&m_work, &CLongWork::ended, this, [this] {
        ShowLongWorkRunning(false);
        // Files waiting start once what ended has been taken up.
        QTimer::singleShot(0, this, [this] { StartPendingLoad(); });
    });
}

// One piece of long work at a time; the report reads the settings' texts
// while it runs, so they are not edited meanwhile.
void CLedgermillDlg::ShowLongWorkRunning(bool running) {
    for (QPushButton* button : {&m_loadButton, &m_saveButton, &m_reportButton, &m_settingButton}) {
        button->setEnabled(!running);
    }
    for (QAction* action : m_longWorkActions) {
        action->setEnabled(!running);
    }
}
