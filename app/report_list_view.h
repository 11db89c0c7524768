// Report-style lists: single selection of whole rows, always shown, grid
// lines, movable headers, fixed row height, over a model of our own.
#pragma once

#include <QTableView>
#include <initializer_list>

#include "app/report_list_model.h"

struct STListColumn {
    const char* m_szTitle;
    // The width the column has at least, in pixels.
    int m_nWidth;
    // The widest text the column must show whole (a date, a six-digit S/N);
    // with the list's font the column may need more than m_nWidth.
    const char* m_szWidest = nullptr;
};

class CReportListView : public QTableView {
public:
    CReportListView(CReportListModel& model, QWidget* parent);

    // Titles the model's columns and sizes them.
    void Prepare(std::initializer_list<STListColumn> columns);
    int rowCount() const { return model()->rowCount(); }
    int columnCount() const { return model()->columnCount(); }
    int currentRow() const { return currentIndex().row(); }
    // The first selected row, -1 for none.
    int SelectedRow() const;
    // The row selected and current, scrolled into view; with a selection
    // notification, as a click gives.
    void SelectAndShow(int row);
    // Afterwards no row is selected or current, and no notification was
    // sent: the rows just changed, so a second press acts on nothing.
    void ClearSelectionQuietly();

private:
    CReportListModel& m_model;
};
