// The data side of the main window: the batch list with New and Delete, the
// batch on display with its measurements, statistics and chart, the values
// of an average record, and deleting a measurement.
#include <ctime>

#include "app/ledgermill_dlg.h"
#include "app/window_text.h"
#include "common/number_text.h"
#include "dialogs/dlg_new_export.h"
#include "instrument/capability.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"

namespace {

bool IsAverage(const STLedgermill& batch) {
    return batch.m_nTestModel != kTestModelBatch;
}
bool IsLeeb(const STLedgermill& batch) {
    return batch.m_nTestMethod == kTestMethodLeeb;
}

}  // namespace

CReportListView& CLedgermillDlg::MeasurementList() {
    return m_pCurBatch != nullptr && IsLeeb(*m_pCurBatch) ? m_leebList : m_uciList;
}

CMeasurementListModel& CLedgermillDlg::MeasurementModel() {
    return m_pCurBatch != nullptr && IsLeeb(*m_pCurBatch) ? m_leebModel : m_uciModel;
}

STLedgermill* CLedgermillDlg::SelectedBatch() const {
    return m_batches.At(m_batchList.SelectedRow());
}

STLedgermill* CLedgermillDlg::CommandBatch() {
    if (m_work.IsBusy()) {
        return nullptr;
    }
    STLedgermill* batch = SelectedBatch();
    if (batch != nullptr) {
        m_pCurBatch = batch;
    }
    return batch;
}

STLedgermill* CLedgermillDlg::BatchToReport() {
    STLedgermill* batch = CommandBatch();
    if (batch == nullptr) {
        return nullptr;
    }
    if (batch->m_itemVector.empty()) {
        CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("No Data."));
        return nullptr;
    }
    m_batches.SettleStatistics();
    return batch;
}

bool CLedgermillDlg::MayChange(const STLedgermill* batch) const {
    return batch != nullptr && !m_batches.IsHeld(batch);
}

void CLedgermillDlg::OnNew() {
    CDlgNewExport dialog(this);
    if (CModal::Current().Run(dialog) != QDialog::Accepted) {
        return;
    }
    SettingsChanged();
    auto batch = std::make_unique<STLedgermill>();
    batch->m_time = std::time(nullptr);
    batch->m_nTestModel = g_stSetting.m_nTestModel;
    batch->m_nTestMethod = g_stSetting.m_nTestMethod;
    batch->m_dUpperLimit = g_stSetting.m_dUpperLimit;
    batch->m_dLowerLimit = g_stSetting.m_dLowerLimit;
    batch->m_bUseLimit = g_stSetting.m_bUseLimit;
    // At most one batch a second: the creation time is its key.
    AddBatchRow(std::move(batch));
}

void CLedgermillDlg::AddBatchRow(std::unique_ptr<STLedgermill> batch) {
    const int row = m_batchModel.AddBatch(std::move(batch));
    if (row >= 0) {
        m_batchList.SelectAndShow(row);
    }
}

void CLedgermillDlg::OnDeleteBatch() {
    const int row = m_batchList.SelectedRow();
    STLedgermill* batch = m_batches.At(row);
    if (!MayChange(batch)) {
        return;
    }
    if (m_batches.IsUnsaved(batch) &&
        !CModal::Current().AskYesNo(
            this, kMarloCaption, QStringLiteral("The batch has not been saved. Delete anyway?"))) {
        return;
    }
    if (batch == m_pCurBatch) {
        ClearDataView();
    }
    // Deleted on purpose: nothing to bring back after a crash.
    if (m_pRunRecord != nullptr) {
        m_pRunRecord->NoteDeleted(BatchKey(*batch));
    }
    // No row stays selected, so a second press deletes nothing.
    m_batchList.ClearSelectionQuietly();
    m_batchModel.RemoveBatch(row);
}

void CLedgermillDlg::ShowBatchSelection() {
    ClearDataView();
    m_pCurBatch = SelectedBatch();
    ShowCurBatch();
}

void CLedgermillDlg::ShowCurBatch() {
    if (m_pCurBatch == nullptr) {
        return;
    }
    const STLedgermill& batch = *m_pCurBatch;
    m_titleEdit.setText(
        Text(BatchKey(batch)) +
        (IsAverage(batch) ? QStringLiteral("(Average)") : QStringLiteral("(Batch)")) +
        (IsLeeb(batch) ? QStringLiteral("(Leeb)") : QStringLiteral("(UCI)")));
    ShowLimits();
    CReportListView& shown = MeasurementList();
    CReportListView& hidden = &shown == &m_leebList ? m_uciList : m_leebList;
    PlaceMeasurementLists();
    shown.show();
    hidden.hide();
    m_valuesList.setVisible(IsAverage(batch));
    MeasurementModel().Show(m_pCurBatch);
    if (batch.m_nTestModel == kTestModelBatch) {
        ChartBatchAverages();
        ShowBatchStatistics();
    }
    RefreshAtNextFrame();
}

void CLedgermillDlg::PlaceMeasurementLists() {
    const bool narrow = m_pCurBatch != nullptr && IsAverage(*m_pCurBatch);
    for (CReportListView* list : {&m_leebList, &m_uciList}) {
        list->setGeometry(narrow ? m_rcListNarrow : m_rcListFull);
    }
    m_valuesList.setGeometry(m_rcListValues);
}

void CLedgermillDlg::ChartBatchAverages() {
    m_chart.SetSubject(QStringLiteral("the item averages of batch ") +
                       Text(BatchKey(*m_pCurBatch)));
    for (const auto& item : m_pCurBatch->m_itemVector) {
        m_chart.AddData({m_chart.GetDataCount() + 1.0, item->m_dAverage});
    }
}

void CLedgermillDlg::ShowBatchStatistics() {
    if (m_pCurBatch == nullptr) {
        return;
    }
    if (m_batches.StatisticsDue(m_pCurBatch)) {
        m_batches.SettleStatistics();
    }
    m_minEdit.setText(Text(DoubleToText(m_pCurBatch->m_dMin)));
    m_maxEdit.setText(Text(DoubleToText(m_pCurBatch->m_dMax)));
    m_averageEdit.setText(Text(DoubleToText(m_pCurBatch->m_dAverage)));
    m_deviationEdit.setText(Text(DoubleToText(m_pCurBatch->m_dStandardDeviation)));
}

namespace {

// "Cp: 1.67   Cpk: 1.00   Pass rate: 98.0%   NG: 2"; a batch of more than one
// scale names them instead of Cp and Cpk.
QString CapabilityLine(const STCapability& capability) {
    const QString indexes = capability.HasMixedScales()
                                ? Text(MixedScalesText(capability))
                                : QStringLiteral("Cp: %1   Cpk: %2").arg(Text(CapabilityIndexText(capability.m_oCp)),
                                                                        Text(CapabilityIndexText(capability.m_oCpk)));
    return indexes + QStringLiteral("   Pass rate: %1   NG: %2")
                         .arg(Text(PassRateText(capability.m_oPassRate)))
                         .arg(capability.m_nNg);
}

}  // namespace

// The figures are the batch's whatever the statistics boxes show: an
// Average batch's boxes show the selected record.
void CLedgermillDlg::ShowCapability() {
    if (m_pCurBatch == nullptr) {
        m_capabilityLabel.clear();
        return;
    }
    m_capabilityLabel.setText(CapabilityLine(ComputeCapability(*m_pCurBatch)));
}

void CLedgermillDlg::ShowItemStatistics(const STLedgermillItem& item) {
    m_minEdit.setText(Text(DoubleToText(item.m_dMin)));
    m_maxEdit.setText(Text(DoubleToText(item.m_dMax)));
    m_averageEdit.setText(Text(DoubleToText(item.m_dAverage)));
    m_deviationEdit.setText(Text(DoubleToText(item.m_dStandardDeviation)));
}

void CLedgermillDlg::ShowMeasurementSelection() {
    if (m_pCurBatch == nullptr) {
        return;
    }
    m_valuesModel.Show(nullptr);
    m_chart.m_nHighlight = -1;
    RefreshAtNextFrame();
    const int row = MeasurementList().SelectedRow();
    const STLedgermillItem* item = MeasurementModel().ItemAt(row);
    if (item == nullptr) {
        return;
    }
    m_valuesModel.Show(item);
    if (IsAverage(*m_pCurBatch)) {
        m_chart.SetSubject(QStringLiteral("the readings of record %1").arg(row + 1));
        ChartItemValues(*item);
        return;
    }
    m_chart.m_nHighlight = row;
    RefreshAtNextFrame();
}

void CLedgermillDlg::ChartItemValues(const STLedgermillItem& item) {
    m_chart.ClearData();
    for (const double reading : item.m_values) {
        m_chart.AddData({m_chart.GetDataCount() + 1.0, reading});
    }
    ShowItemStatistics(item);
    RefreshAtNextFrame();
}

void CLedgermillDlg::ShowValueSelection() {
    if (m_pCurBatch == nullptr || !IsAverage(*m_pCurBatch)) {
        return;
    }
    m_chart.m_nHighlight = m_valuesList.SelectedRow();
    RefreshAtNextFrame();
}

void CLedgermillDlg::OnDeleteMeasurement() {
    if (!MayChange(m_pCurBatch)) {
        return;
    }
    CReportListView& list = MeasurementList();
    const int row = list.SelectedRow();
    if (row < 0) {
        return;
    }
    // No row stays selected, so a second press deletes nothing.
    list.ClearSelectionQuietly();
    m_valuesModel.Show(nullptr);
    m_chart.m_nHighlight = -1;
    MeasurementModel().RemoveItem(m_batches, row);
    if (IsAverage(*m_pCurBatch)) {
        m_chart.ClearData();  // it showed the readings of the selected record
        ResetStatistics();
    } else {
        m_chart.RemoveData(row);
        ShowBatchStatistics();
    }
    RefreshAtNextFrame();
    m_batchModel.CountChanged(*m_pCurBatch);
}
