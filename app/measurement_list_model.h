// A measurement list: one row per item of the batch on display, with the
// item's fields, its average and its judgement by the batch's limits; NG
// rows are red, as in the report. The Leeb list shows IMPACT and DIR, the
// UCI list FORCE. Appending and removing touch only the rows concerned: the
// S/N is the row's place, read when painted.
#pragma once

#include "app/batch_collection.h"
#include "app/report_list_model.h"

class CMeasurementListModel : public CReportListModel {
public:
    explicit CMeasurementListModel(int testMethod);

    int rowCount(const QModelIndex& parent = {}) const override;

    // The batch's items, or no rows for null or a batch of the other method.
    void Show(STLedgermill* batch);
    const STLedgermill* Batch() const { return m_pBatch; }
    // Rows for the items appended to the batch since it was shown.
    void ShowAppendedItems();
    // Removes the row's item from the batch.
    void RemoveItem(CBatchCollection& batches, int row);
    // The judgements after the batch's limits changed.
    void Rejudge();
    const STLedgermillItem* ItemAt(int row) const;

protected:
    QString CellText(int row, int column) const override;
    std::optional<QColor> RowColour(int row) const override;

private:
    enum class EColumn { kSerial, kName, kScale, kImpact, kDirection, kForce, kValue, kDate,
                         kAverage, kResult };
    bool IsPass(int row) const;

    int m_nTestMethod;
    std::vector<EColumn> m_columns;
    STLedgermill* m_pBatch = nullptr;
    int m_nRows = 0;
};
