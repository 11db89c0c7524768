#include "app/values_list_model.h"

#include "app/window_text.h"
#include "common/number_text.h"

int CValuesListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || m_pItem == nullptr ? 0 : static_cast<int>(m_pItem->m_values.size());
}

void CValuesListModel::Show(const STLedgermillItem* item) {
    beginResetModel();
    m_pItem = item;
    endResetModel();
}

QString CValuesListModel::CellText(int row, int column) const {
    if (column == 0) {
        return QString::number(row + 1);
    }
    return Text(DoubleToText(m_pItem->m_values[static_cast<std::size_t>(row)]));
}
