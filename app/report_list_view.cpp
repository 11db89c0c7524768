#include "app/report_list_view.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QSignalBlocker>
#include <algorithm>

namespace {
// Room a cell leaves around its text.
constexpr int kCellMargin = 12;
}  // namespace

CReportListView::CReportListView(CReportListModel& model, QWidget* parent)
    : QTableView(parent), m_model(model) {
    setModel(&m_model);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->hide();
    // One height for every row: the view then places 100,000 rows without
    // measuring any of them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
}

void CReportListView::Prepare(std::initializer_list<STListColumn> columns) {
    QStringList titles;
    for (const STListColumn& entry : columns) {
        titles << QString::fromUtf8(entry.m_szTitle);
    }
    m_model.SetTitles(titles);
    const QFontMetrics metrics = fontMetrics();
    int column = 0;
    for (const STListColumn& entry : columns) {
        int width = std::max(entry.m_nWidth,
                             metrics.horizontalAdvance(titles[column]) + kCellMargin);
        if (entry.m_szWidest != nullptr) {
            width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(entry.m_szWidest)) +
                                        kCellMargin);
        }
        setColumnWidth(column++, width);
    }
}

int CReportListView::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows) {
        first = first < 0 ? index.row() : std::min(first, index.row());
    }
    return first;
}

void CReportListView::SelectAndShow(int row) {
    const QModelIndex first = m_model.index(row, 0);
    if (!first.isValid()) {
        return;
    }
    selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(first);
}

void CReportListView::ClearSelectionQuietly() {
    const QSignalBlocker quiet(selectionModel());
    selectionModel()->clear();
}
