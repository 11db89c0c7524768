#include "app/report_list.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QSignalBlocker>
#include <algorithm>

namespace {
// Room a cell leaves around its text.
constexpr int kCellMargin = 12;
}  // namespace

void PrepareReportList(QTableWidget& list, std::initializer_list<STListColumn> columns) {
    list.setColumnCount(static_cast<int>(columns.size()));
    int column = 0;
    QStringList headers;
    const QFontMetrics metrics = list.fontMetrics();
    for (const STListColumn& entry : columns) {
        headers << QString::fromUtf8(entry.m_szTitle);
        int width =
            std::max(entry.m_nWidth, metrics.horizontalAdvance(headers.back()) + kCellMargin);
        if (entry.m_szWidest != nullptr) {
            width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(entry.m_szWidest)) +
                                        kCellMargin);
        }
        list.setColumnWidth(column++, width);
    }
    list.setHorizontalHeaderLabels(headers);
    list.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list.horizontalHeader()->setSectionsMovable(true);
    list.verticalHeader()->hide();
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setShowGrid(true);
    list.setWordWrap(false);
    list.verticalHeader()->setDefaultSectionSize(list.fontMetrics().height() + 4);
}

void AppendRow(QTableWidget& list, const QStringList& texts, const void* data) {
    const int row = list.rowCount();
    list.insertRow(row);
    for (int column = 0; column < texts.size() && column < list.columnCount(); ++column) {
        auto* cell = new QTableWidgetItem(texts[column]);  // the list owns it
        cell->setToolTip(texts[column]);
        list.setItem(row, column, cell);
    }
    if (QTableWidgetItem* first = list.item(row, 0)) {
        first->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(data)));
    }
}

int SelectedRow(const QTableWidget& list) {
    const QList<QTableWidgetItem*> selected = list.selectedItems();
    int first = -1;
    for (const QTableWidgetItem* cell : selected) {
        first = first < 0 ? cell->row() : std::min(first, cell->row());
    }
    return first;
}

void Renumber(QTableWidget& list, int from) {
    for (int row = from; row < list.rowCount(); ++row) {
        if (QTableWidgetItem* first = list.item(row, 0)) {
            first->setText(QString::number(row + 1));
        }
    }
}

void RemoveRowLeavingNoSelection(QTableWidget& list, int row) {
    const QSignalBlocker quiet(list);
    list.removeRow(row);
    list.clearSelection();
    list.setCurrentIndex(QModelIndex());
}

void ColourRow(QTableWidget& list, int row, const QColor& colour) {
    for (int column = 0; column < list.columnCount(); ++column) {
        if (QTableWidgetItem* cell = list.item(row, column)) {
            cell->setForeground(colour);
        }
    }
}
