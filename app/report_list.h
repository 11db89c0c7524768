// Report-style lists: single selection of whole rows, always shown, grid
// lines, movable headers; each row carries the batch or item it shows.
#pragma once

#include <QTableWidget>
#include <initializer_list>

struct STListColumn {
    const char* m_szTitle;
    // The width the column has at least, in pixels.
    int m_nWidth;
    // The widest text the column must show whole (a date, a six-digit S/N);
    // with the list's font the column may need more than m_nWidth.
    const char* m_szWidest = nullptr;
};

void PrepareReportList(QTableWidget& list, std::initializer_list<STListColumn> columns);

// Appends a row of texts; the first cell carries data. Each cell's whole
// text is its tooltip too, for texts wider than their column.
void AppendRow(QTableWidget& list, const QStringList& texts, const void* data = nullptr);

// Colours the texts of a row.
void ColourRow(QTableWidget& list, int row, const QColor& colour);

// The data of a row's first cell.
template <class T>
T* RowData(const QTableWidget& list, int row) {
    const QTableWidgetItem* cell = list.item(row, 0);
    return cell ? reinterpret_cast<T*>(cell->data(Qt::UserRole).value<quintptr>()) : nullptr;
}

// The first selected row, -1 for none.
int SelectedRow(const QTableWidget& list);

// Removes the row without moving the selection to a neighbour and without a
// selection notification: afterwards no row is selected or current.
void RemoveRowLeavingNoSelection(QTableWidget& list, int row);

// After a row has gone: S/N of every row from `from` on becomes its index + 1.
void Renumber(QTableWidget& list, int from);
