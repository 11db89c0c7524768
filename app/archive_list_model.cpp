#include "app/archive_list_model.h"

#include <cmath>

#include "app/window_text.h"
#include "archive/batch_archive.h"
#include "common/number_text.h"

namespace {

const char* const kHeaders[] = {"Time",  "Station", "Operator",  "Method", "Model",
                                "Items", "Average", "Std. Dev.", "Limits"};

// A figure the archive does not hold (no readings) shows as nothing.
QString Figure(double value) {
    return std::isfinite(value) ? Text(DoubleToText(value)) : QString();
}

bool IsNumberColumn(int column) {
    return column == CArchiveListModel::kItems || column == CArchiveListModel::kAverage ||
           column == CArchiveListModel::kDeviation;
}

}  // namespace

CArchiveListModel::CArchiveListModel(ArchiveOpener open) : m_fnOpen(std::move(open)) {}

int CArchiveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_batches.size());
}

int CArchiveListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant CArchiveListModel::data(const QModelIndex& index, int role) const {
    const STArchivedBatch* batch = At(index.row());
    if (batch == nullptr)
        return {};
    if (role == Qt::DisplayRole)
        return CellText(*batch, index.column());
    if (role == Qt::TextAlignmentRole && IsNumberColumn(index.column())) {
        return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant CArchiveListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kHeaders[section]);
    if (role == Qt::TextAlignmentRole && IsNumberColumn(section)) {
        return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QString CArchiveListModel::CellText(const STArchivedBatch& batch, int column) const {
    switch (column) {
        case kTime:
            return Text(batch.m_strKey);
        case kStation:
            return Text(batch.m_strStation);
        case kOperator:
            return Text(batch.m_strOperator);
        case kMethod:
            return MethodText(batch.m_nTestMethod);
        case kModel:
            return ModelText(batch.m_nTestModel);
        case kItems:
            return QString::number(batch.m_nItems);
        case kAverage:
            return Figure(batch.m_dAverage);
        case kDeviation:
            return Figure(batch.m_dStandardDeviation);
        case kLimits:
            return batch.m_bUseLimit
                       ? Figure(batch.m_dLowerLimit) + QChar(0x2013) + Figure(batch.m_dUpperLimit)
                       : QStringLiteral("not used");
        default:
            return {};
    }
}

void CArchiveListModel::sort(int column, Qt::SortOrder order) {
    // The columns up to the limits are EArchiveSort in order.
    if (column < kTime || column >= kLimits)
        return;
    const auto sort = static_cast<EArchiveSort>(column);
    const bool descending = order == Qt::DescendingOrder;
    if (sort == m_filter.m_eSort && descending == m_filter.m_bDescending && m_pArchive)
        return;
    m_filter.m_eSort = sort;
    m_filter.m_bDescending = descending;
    Refresh();
}

void CArchiveListModel::SetFilter(const STArchiveFilter& filter) {
    const EArchiveSort sort = m_filter.m_eSort;
    const bool descending = m_filter.m_bDescending;
    m_filter = filter;
    m_filter.m_eSort = sort;
    m_filter.m_bDescending = descending;
    Refresh();
}

bool CArchiveListModel::Refresh() {
    beginResetModel();
    m_batches.clear();
    m_bMore = false;
    m_strFailure.clear();
    std::string failure;
    if (!m_pArchive) {
        m_pArchive = m_fnOpen(failure);
        if (!m_pArchive) {
            m_strFailure =
                QStringLiteral("The archive cannot be opened: ") + QString::fromStdString(failure);
        }
    }
    if (m_pArchive) {
        // One row past the limit tells whether there are more.
        STArchiveFilter filter = m_filter;
        filter.m_nLimit = m_filter.m_nLimit + 1;
        QSqlDatabase database = m_pArchive->Database();
        if (!ListArchivedBatches(database, filter, m_batches, failure)) {
            m_batches.clear();
            m_strFailure =
                QStringLiteral("The archive cannot be read: ") + QString::fromStdString(failure);
            // Opened again next time: the file may be back or repaired.
            database = {};
            m_pArchive.reset();
        } else if (static_cast<std::int64_t>(m_batches.size()) > m_filter.m_nLimit) {
            m_batches.resize(static_cast<std::size_t>(m_filter.m_nLimit));
            m_bMore = true;
        }
    }
    endResetModel();
    return m_strFailure.isEmpty();
}

const STArchivedBatch* CArchiveListModel::At(int row) const {
    return row >= 0 && row < rowCount() ? &m_batches[static_cast<std::size_t>(row)] : nullptr;
}

QString CArchiveListModel::StatusText() const {
    if (!m_strFailure.isEmpty())
        return m_strFailure;
    if (m_batches.empty())
        return QStringLiteral("No archived batch matches the search.");
    if (m_bMore) {
        return QStringLiteral("First %1 of more batches; narrow the search to list the rest.")
            .arg(m_batches.size());
    }
    return m_batches.size() == 1 ? QStringLiteral("1 batch")
                                 : QStringLiteral("%1 batches").arg(m_batches.size());
}

std::vector<STTrendPoint> CArchiveListModel::TrendPoints() const {
    std::vector<STTrendPoint> points;
    points.reserve(m_batches.size());
    for (const STArchivedBatch& batch : m_batches)
        points.push_back({batch.m_nCreated, batch.m_dAverage});
    return points;
}

const STArchivedBatch* CArchiveListModel::MostRecent() const {
    const STArchivedBatch* recent = nullptr;
    for (const STArchivedBatch& batch : m_batches) {
        if (recent == nullptr || batch.m_nCreated > recent->m_nCreated)
            recent = &batch;
    }
    return recent;
}

bool CArchiveListModel::Load(int row, STLedgermill& batch, std::string& failure) {
    const STArchivedBatch* listed = At(row);
    if (listed == nullptr || !m_pArchive) {
        failure = "not listed";
        return false;
    }
    QSqlDatabase database = m_pArchive->Database();
    if (!LoadArchivedBatch(database, listed->m_strStation, listed->m_strKey, batch, failure)) {
        if (failure.empty())
            failure = "no longer in the archive";
        return false;
    }
    return true;
}
