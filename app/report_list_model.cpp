#include "app/report_list_model.h"

void CReportListModel::SetTitles(QStringList titles) {
    beginResetModel();
    m_titles = std::move(titles);
    endResetModel();
}

int CReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant CReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_titles[section];
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

QVariant CReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return CellText(index.row(), index.column());
        case Qt::ForegroundRole:
            if (const std::optional<QColor> colour = RowColour(index.row())) {
                return *colour;
            }
            return {};
        default:
            return {};
    }
}

void CReportListModel::RowsChangedFrom(int first) {
    if (first < rowCount() && columnCount() > 0) {
        emit dataChanged(index(first, 0), index(rowCount() - 1, columnCount() - 1));
    }
}
