// What a list shows in a cell, read through its model as the view paints it.
#pragma once

#include <QAbstractItemView>
#include <QColor>
#include <QString>

inline QVariant CellData(const QAbstractItemView& list, int row, int column, int role) {
    return list.model()->index(row, column).data(role);
}
inline QString CellText(const QAbstractItemView& list, int row, int column) {
    return CellData(list, row, column, Qt::DisplayRole).toString();
}
inline QString CellToolTip(const QAbstractItemView& list, int row, int column) {
    return CellData(list, row, column, Qt::ToolTipRole).toString();
}
// Red for NG rows; invalid for the list's own text colour.
inline QColor CellColour(const QAbstractItemView& list, int row, int column) {
    return CellData(list, row, column, Qt::ForegroundRole).value<QColor>();
}
inline QString HeaderText(const QAbstractItemView& list, int column) {
    return list.model()->headerData(column, Qt::Horizontal).toString();
}
inline bool HasSelection(const QAbstractItemView& list) {
    return list.selectionModel()->hasSelection();
}
