// The batch list: one row per batch of the collection, in its order, with
// S/N, creation time, test model, test method and item count. Batches are
// added and removed through the model, so the views follow each change.
#pragma once

#include <memory>

#include "app/batch_collection.h"
#include "app/report_list_model.h"

class CBatchListModel : public CReportListModel {
public:
    explicit CBatchListModel(CBatchCollection& batches);

    int rowCount(const QModelIndex& parent = {}) const override;

    // The row of the batch, or -1 when its key is listed already.
    int AddBatch(std::unique_ptr<STLedgermill> batch);
    std::unique_ptr<STLedgermill> RemoveBatch(int row);
    // The batch's item count has changed.
    void CountChanged(const STLedgermill& batch);

protected:
    QString CellText(int row, int column) const override;

private:
    CBatchCollection& m_batches;
};
