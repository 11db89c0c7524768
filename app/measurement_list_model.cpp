#include "app/measurement_list_model.h"

#include "app/window_text.h"
#include "common/number_text.h"
#include "instrument/direction_label.h"
#include "instrument/record_keys.h"

namespace {

QString Field(const STLedgermillItem& item, std::u16string_view key) {
    const auto found = item.m_subItem.find(key);
    return found == item.m_subItem.end() ? QString() : Text(found->second);
}

}  // namespace

CMeasurementListModel::CMeasurementListModel(int testMethod) : m_nTestMethod(testMethod) {
    using enum EColumn;
    m_columns = testMethod == kTestMethodLeeb
                    ? std::vector{kSerial, kName, kScale, kImpact, kDirection, kValue, kDate,
                                  kAverage, kResult}
                    : std::vector{kSerial, kName, kScale, kForce, kValue, kDate, kAverage,
                                  kResult};
}

int CMeasurementListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_nRows;
}

void CMeasurementListModel::Show(STLedgermill* batch) {
    beginResetModel();
    m_pBatch = batch != nullptr && batch->m_nTestMethod == m_nTestMethod ? batch : nullptr;
    m_nRows = m_pBatch == nullptr ? 0 : static_cast<int>(m_pBatch->m_itemVector.size());
    endResetModel();
}

void CMeasurementListModel::ShowAppendedItems() {
    if (m_pBatch == nullptr) {
        return;
    }
    const int now = static_cast<int>(m_pBatch->m_itemVector.size());
    if (now > m_nRows) {
        beginInsertRows({}, m_nRows, now - 1);
        m_nRows = now;
        endInsertRows();
    }
}

void CMeasurementListModel::RemoveItem(CBatchCollection& batches, int row) {
    if (m_pBatch == nullptr || row < 0 || row >= m_nRows) {
        return;
    }
    beginRemoveRows({}, row, row);
    batches.RemoveItem(*m_pBatch, static_cast<std::size_t>(row));
    m_nRows = static_cast<int>(m_pBatch->m_itemVector.size());
    endRemoveRows();
    RowsChangedFrom(row);  // S/N of the later rows
}

void CMeasurementListModel::Rejudge() {
    RowsChangedFrom(0);
}

const STLedgermillItem* CMeasurementListModel::ItemAt(int row) const {
    return m_pBatch != nullptr && row >= 0 && row < m_nRows
               ? m_pBatch->m_itemVector[static_cast<std::size_t>(row)].get()
               : nullptr;
}

bool CMeasurementListModel::IsPass(int row) const {
    return m_pBatch->IsPass(*ItemAt(row));
}

QString CMeasurementListModel::CellText(int row, int column) const {
    const STLedgermillItem& item = *ItemAt(row);
    switch (m_columns[static_cast<std::size_t>(column)]) {
        case EColumn::kSerial:
            return QString::number(row + 1);
        case EColumn::kName:
            return Field(item, kKeyName);
        case EColumn::kScale:
            return Field(item, kKeyHardnessScale);
        case EColumn::kImpact:
            return Field(item, kKeyImpact);
        case EColumn::kDirection: {
            const auto found = item.m_subItem.find(kKeyDirection);
            return found == item.m_subItem.end() ? QString() : Text(DirectionLabel(found->second));
        }
        case EColumn::kForce:
            return Field(item, kKeyForce);
        case EColumn::kValue:
            return Field(item, kKeyValue);
        case EColumn::kDate:
            return Field(item, kKeyDate);
        case EColumn::kAverage:
            return Text(DoubleToText(item.m_dAverage));
        case EColumn::kResult:
            return IsPass(row) ? QStringLiteral("Pass") : QStringLiteral("NG");
    }
    return {};
}

std::optional<QColor> CMeasurementListModel::RowColour(int row) const {
    if (IsPass(row)) {
        return std::nullopt;
    }
    return QColor(255, 0, 0);
}
