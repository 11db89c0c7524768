// The data side of the main window: the batch list with New and Delete, the
// batch on display with its measurements, statistics and chart, the values
// of an average record, and deleting a measurement. Every view is rebuilt
// from the batches.
#include <algorithm>
#include <ctime>

#include "app/ledgermill_dlg.h"
#include "app/report_list.h"
#include "app/window_text.h"
#include "common/number_text.h"
#include "common/time_text.h"
#include "dialogs/dlg_new_export.h"
#include "dialogs/modal.h"
#include "instrument/direction_label.h"
#include "instrument/record_keys.h"
#include "persistence/setting.h"

namespace {

QString Field(const STLedgermillItem& item, std::u16string_view key) {
    const auto found = item.m_subItem.find(key);
    return found == item.m_subItem.end() ? QString() : Text(found->second);
}

bool IsAverage(const STLedgermill& batch) {
    return batch.m_nTestModel != kTestModelBatch;
}
bool IsLeeb(const STLedgermill& batch) {
    return batch.m_nTestMethod == kTestMethodLeeb;
}

std::u16string BatchKey(const STLedgermill& batch) {
    return FormatTime(0, batch.m_time);
}

}  // namespace

QTableWidget& CLedgermillDlg::MeasurementList() {
    return m_pCurBatch != nullptr && IsLeeb(*m_pCurBatch) ? m_leebList : m_uciList;
}

void CLedgermillDlg::OnNew() {
    CDlgNewExport dialog(this);
    if (CModal::Current().Run(dialog) != QDialog::Accepted) {
        return;
    }
    auto batch = std::make_unique<STLedgermill>();
    batch->m_time = std::time(nullptr);
    const std::u16string key = BatchKey(*batch);
    // At most one batch a second: the creation time is its key.
    if (m_mapBatch.contains(key)) {
        return;
    }
    for (int row = 0; row < m_batchList.rowCount(); ++row) {
        if (const STLedgermill* listed = RowData<STLedgermill>(m_batchList, row);
            listed != nullptr && BatchKey(*listed) == key) {
            return;
        }
    }
    batch->m_nTestModel = g_stSetting.m_nTestModel;
    batch->m_nTestMethod = g_stSetting.m_nTestMethod;
    batch->m_dUpperLimit = g_stSetting.m_dUpperLimit;
    batch->m_dLowerLimit = g_stSetting.m_dLowerLimit;
    batch->m_bUseLimit = g_stSetting.m_bUseLimit;
    AddBatchRow(*m_mapBatch.emplace(key, std::move(batch)).first->second);
}

void CLedgermillDlg::AddBatchRow(STLedgermill& batch) {
    const int row = m_batchList.rowCount();
    AppendRow(m_batchList,
              {QString::number(row + 1), Text(BatchKey(batch)),
               IsAverage(batch) ? QStringLiteral("Average") : QStringLiteral("Batch"),
               batch.m_nTestMethod != 0 ? QStringLiteral("Leeb") : QStringLiteral("UCI"),
               Text(UIntToText(static_cast<std::uint32_t>(batch.m_itemVector.size())))},
              &batch);
    m_batchList.selectRow(row);
    m_batchList.scrollToItem(m_batchList.item(row, 0));
}

void CLedgermillDlg::OnDeleteBatch() {
    const int row = SelectedRow(m_batchList);
    if (row < 0) {
        return;
    }
    STLedgermill* batch = RowData<STLedgermill>(m_batchList, row);
    if (m_unsaved.contains(batch) &&
        !CModal::Current().AskYesNo(
            this, kMarloCaption, QStringLiteral("The batch has not been saved. Delete anyway?"))) {
        return;
    }
    RemoveRowLeavingNoSelection(m_batchList, row);
    Renumber(m_batchList, row);
    if (batch == m_pCurBatch) {
        ClearDataView();
    }
    m_unsaved.erase(batch);
    const auto owned =
        std::find_if(m_mapBatch.begin(), m_mapBatch.end(),
                     [batch](const auto& entry) { return entry.second.get() == batch; });
    if (owned != m_mapBatch.end()) {
        m_mapBatch.erase(owned);
    }
}

void CLedgermillDlg::ShowBatchSelection() {
    ClearDataView();
    const int row = SelectedRow(m_batchList);
    if (row >= 0) {
        m_pCurBatch = RowData<STLedgermill>(m_batchList, row);
        ShowCurBatch();
    }
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
    QTableWidget& shown = MeasurementList();
    QTableWidget& hidden = &shown == &m_leebList ? m_uciList : m_leebList;
    shown.setGeometry(IsAverage(batch) ? m_rcListNarrow : m_rcListFull);
    shown.show();
    hidden.hide();
    m_valuesList.setVisible(IsAverage(batch));
    for (const auto& item : batch.m_itemVector) {
        if (batch.m_nTestMethod == kTestMethodLeeb) {
            AppendLeebRow(*item);
        } else if (batch.m_nTestMethod == kTestMethodUci) {
            AppendUciRow(*item);
        }
    }
    if (batch.m_nTestModel == kTestModelBatch) {
        ChartBatchAverages();
        ShowBatchStatistics();
    }
    m_chart.update();
}

void CLedgermillDlg::AppendLeebRow(const STLedgermillItem& item) {
    AppendRow(m_leebList,
              {QString::number(m_leebList.rowCount() + 1), Field(item, kKeyName),
               Field(item, kKeyHardnessScale), Field(item, kKeyImpact),
               item.m_subItem.contains(kKeyDirection)
                   ? Text(DirectionLabel(item.m_subItem.find(kKeyDirection)->second))
                   : QString(),
               Field(item, kKeyValue), Field(item, kKeyDate), Text(DoubleToText(item.m_dAverage))},
              &item);
    JudgeRow(m_leebList, m_leebList.rowCount() - 1, item);
}

void CLedgermillDlg::AppendUciRow(const STLedgermillItem& item) {
    AppendRow(m_uciList,
              {QString::number(m_uciList.rowCount() + 1), Field(item, kKeyName),
               Field(item, kKeyHardnessScale), Field(item, kKeyForce), Field(item, kKeyValue),
               Field(item, kKeyDate), Text(DoubleToText(item.m_dAverage))},
              &item);
    JudgeRow(m_uciList, m_uciList.rowCount() - 1, item);
}

// The last column says Pass or NG by the limits of the batch on display; NG
// rows are red, as in the report.
void CLedgermillDlg::JudgeRow(QTableWidget& list, int row, const STLedgermillItem& item) {
    const bool pass = m_pCurBatch == nullptr || m_pCurBatch->IsPass(item);
    const QString result = pass ? QStringLiteral("Pass") : QStringLiteral("NG");
    auto* cell = new QTableWidgetItem(result);  // the list owns it
    cell->setToolTip(result);
    list.setItem(row, list.columnCount() - 1, cell);
    ColourRow(list, row, pass ? list.palette().color(QPalette::Text) : QColor(255, 0, 0));
}

void CLedgermillDlg::RejudgeRows() {
    QTableWidget& list = MeasurementList();
    for (int row = 0; row < list.rowCount(); ++row) {
        if (const STLedgermillItem* item = RowData<STLedgermillItem>(list, row)) {
            JudgeRow(list, row, *item);
        }
    }
}

void CLedgermillDlg::ChartBatchAverages() {
    for (const auto& item : m_pCurBatch->m_itemVector) {
        m_chart.AddData({m_chart.GetDataCount() + 1.0, item->m_dAverage});
    }
}

void CLedgermillDlg::ShowBatchStatistics() {
    if (m_pCurBatch == nullptr) {
        return;
    }
    m_minEdit.setText(Text(DoubleToText(m_pCurBatch->m_dMin)));
    m_maxEdit.setText(Text(DoubleToText(m_pCurBatch->m_dMax)));
    m_averageEdit.setText(Text(DoubleToText(m_pCurBatch->m_dAverage)));
    m_deviationEdit.setText(Text(DoubleToText(m_pCurBatch->m_dStandardDeviation)));
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
    m_valuesList.setRowCount(0);
    m_chart.m_nHighlight = -1;
    m_chart.update();
    QTableWidget& list = MeasurementList();
    const int row = SelectedRow(list);
    const STLedgermillItem* item = row < 0 ? nullptr : RowData<STLedgermillItem>(list, row);
    if (item == nullptr) {
        return;
    }
    for (const double reading : item->m_values) {
        AppendRow(m_valuesList,
                  {QString::number(m_valuesList.rowCount() + 1), Text(DoubleToText(reading))});
    }
    if (IsAverage(*m_pCurBatch)) {
        ChartItemValues(*item);
        return;
    }
    m_chart.m_nHighlight = row;
    m_chart.update();
}

void CLedgermillDlg::ChartItemValues(const STLedgermillItem& item) {
    m_chart.ClearData();
    for (const double reading : item.m_values) {
        m_chart.AddData({m_chart.GetDataCount() + 1.0, reading});
    }
    ShowItemStatistics(item);
    m_chart.update();
}

void CLedgermillDlg::ShowValueSelection() {
    if (m_pCurBatch == nullptr || !IsAverage(*m_pCurBatch)) {
        return;
    }
    m_chart.m_nHighlight = SelectedRow(m_valuesList);
    m_chart.update();
}

void CLedgermillDlg::OnDeleteMeasurement() {
    if (m_pCurBatch == nullptr) {
        return;
    }
    QTableWidget& list = MeasurementList();
    const int row = SelectedRow(list);
    if (row < 0) {
        return;
    }
    const STLedgermillItem* item = RowData<STLedgermillItem>(list, row);
    // The views are rebuilt below; no row stays selected, so a second press
    // deletes nothing.
    RemoveRowLeavingNoSelection(list, row);
    Renumber(list, row);
    m_chart.m_nHighlight = -1;
    m_pCurBatch->RemoveItem(item);
    m_unsaved.insert(m_pCurBatch);
    m_chart.ClearData();
    m_valuesList.setRowCount(0);
    if (IsAverage(*m_pCurBatch)) {
        ResetStatistics();
    } else {
        ChartBatchAverages();
        ShowBatchStatistics();
    }
    m_chart.update();
    if (const int batchRow = SelectedRow(m_batchList); batchRow >= 0) {
        m_batchList.item(batchRow, 4)
            ->setText(
                Text(UIntToText(static_cast<std::uint32_t>(m_pCurBatch->m_itemVector.size()))));
    }
}
