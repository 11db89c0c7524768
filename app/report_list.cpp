#include "app/report_list.h"

#include <QHeaderView>
#include <QSignalBlocker>

void PrepareReportList(QTableWidget& list,
                       std::initializer_list<std::pair<const char*, int>> columns) {
    list.setColumnCount(static_cast<int>(columns.size()));
    int column = 0;
    QStringList headers;
    for (const auto& [title, width] : columns) {
        headers << QString::fromUtf8(title);
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
        list.setItem(row, column, new QTableWidgetItem(texts[column]));  // the list owns it
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
