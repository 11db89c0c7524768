#include "app/batch_list_model.h"

#include "app/window_text.h"

namespace {
constexpr int kCountColumn = 4;
}  // namespace

CBatchListModel::CBatchListModel(CBatchCollection& batches) : m_batches(batches) {}

int CBatchListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_batches.Count();
}

int CBatchListModel::AddBatch(std::unique_ptr<STLedgermill> batch) {
    if (!batch || m_batches.RowOfKey(BatchKey(*batch)) >= 0) {
        return -1;
    }
    const int row = m_batches.Count();
    beginInsertRows({}, row, row);
    m_batches.Add(std::move(batch));
    endInsertRows();
    return row;
}

std::unique_ptr<STLedgermill> CBatchListModel::RemoveBatch(int row) {
    if (m_batches.At(row) == nullptr) {
        return nullptr;
    }
    beginRemoveRows({}, row, row);
    std::unique_ptr<STLedgermill> batch = m_batches.Remove(row);
    endRemoveRows();
    RowsChangedFrom(row);  // S/N of the later rows
    return batch;
}

void CBatchListModel::CountChanged(const STLedgermill& batch) {
    if (const int row = m_batches.RowOf(&batch); row >= 0) {
        emit dataChanged(index(row, kCountColumn), index(row, kCountColumn));
    }
}

QString CBatchListModel::CellText(int row, int column) const {
    const STLedgermill& batch = *m_batches.At(row);
    switch (column) {
        case 0:
            return QString::number(row + 1);
        case 1:
            return Text(BatchKey(batch));
        case 2:
            return ModelText(batch.m_nTestModel);
        case 3:
            return MethodText(batch.m_nTestMethod);
        case kCountColumn:
            return QString::number(batch.m_itemVector.size());
        default:
            return {};
    }
}
