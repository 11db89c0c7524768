// The models behind the report-style lists: titled columns over data the
// program keeps elsewhere, read cell by cell as the view paints; no object
// per cell. Every cell's whole text is its tooltip too, for texts wider than
// their column.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <optional>

class CReportListModel : public QAbstractTableModel {
public:
    void SetTitles(QStringList titles);
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    // The text of a cell inside the model's rows and columns.
    virtual QString CellText(int row, int column) const = 0;
    // The colour of a row's texts; none for the list's own.
    virtual std::optional<QColor> RowColour(int /*row*/) const { return std::nullopt; }
    // Tells the views that every cell from row `first` on may read anew.
    void RowsChangedFrom(int first);

private:
    QStringList m_titles;
};
