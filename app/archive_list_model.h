// The archive window's list: the batches a search of the lab archive finds,
// sorted by the database, at most the filter's limit of them. A header
// click sorts by querying again, so a large archive never comes whole into
// memory.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_database.h"
#include "archive/archive_listing.h"
#include "chart/trend_chart.h"
#include "model/ledgermill.h"

// Opens the archive to list; null with failure saying why when it cannot.
using ArchiveOpener = std::function<std::unique_ptr<CArchiveDatabase>(std::string& failure)>;

class CArchiveListModel : public QAbstractTableModel {
public:
    enum EColumn {
        kTime,
        kStation,
        kOperator,
        kMethod,
        kModel,
        kItems,
        kAverage,
        kDeviation,
        kLimits,
        kColumns
    };

    explicit CArchiveListModel(ArchiveOpener open);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Lists again in the column's order; the limits column does not sort.
    void sort(int column, Qt::SortOrder order) override;

    // Lists the batches the filter finds, in the model's sort order.
    void SetFilter(const STArchiveFilter& filter);
    const STArchiveFilter& Filter() const { return m_filter; }
    // Lists again with the filter as it is, opening the archive first when
    // it is not open yet. False when it cannot be opened or read; the list
    // is then empty and Failure says why.
    bool Refresh();

    const STArchivedBatch* At(int row) const;
    // More batches match than the limit lists.
    bool HasMore() const { return m_bMore; }
    const QString& Failure() const { return m_strFailure; }
    // One line for under the list: how many are listed, or what went wrong.
    QString StatusText() const;

    // The listed batches' averages by creation time.
    std::vector<STTrendPoint> TrendPoints() const;
    // The listed batch created last, whose limits the trend draws; null for
    // an empty list.
    const STArchivedBatch* MostRecent() const;

    // The listed row's batch in full. False, failure saying why, when the
    // archive no longer has it or cannot be read.
    bool Load(int row, STLedgermill& batch, std::string& failure);

private:
    QString CellText(const STArchivedBatch& batch, int column) const;

    ArchiveOpener m_fnOpen;
    std::unique_ptr<CArchiveDatabase> m_pArchive;
    STArchiveFilter m_filter;
    std::vector<STArchivedBatch> m_batches;
    bool m_bMore = false;
    QString m_strFailure;
};
