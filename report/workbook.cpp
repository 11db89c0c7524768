#include "report/workbook.h"

#include <algorithm>

STCell& STWorksheet::CellAt(std::int32_t row, std::int32_t column) {
    return m_cells[{row, column}];
}

const STCell* STWorksheet::FindCell(std::int32_t row, std::int32_t column) const {
    const auto found = m_cells.find({row, column});
    return found == m_cells.end() ? nullptr : &found->second;
}

const STCellRect* STWorksheet::MergeAt(std::int32_t row, std::int32_t column) const {
    const std::int32_t firstTop = row - m_nTallestMerge + 1;
    for (auto it = m_merges.lower_bound({firstTop, 0}); it != m_merges.end() && it->first.first <= row; ++it)
        if (it->second.Contains(row, column)) return &it->second;
    return nullptr;
}

std::vector<STCellRect> STWorksheet::MergesMeeting(const STCellRect& rect) const {
    std::vector<STCellRect> met;
    const std::int64_t firstTop = std::int64_t{rect.m_nTop} - m_nTallestMerge + 1;
    const auto start = m_merges.lower_bound({static_cast<std::int32_t>(std::max<std::int64_t>(firstTop, 0)), 0});
    for (auto it = start; it != m_merges.end() && it->first.first <= rect.m_nBottom; ++it)
        if (it->second.Intersects(rect)) met.push_back(it->second);
    return met;
}

void STWorksheet::Merge(STCellRect rect) {
    for (auto met = MergesMeeting(rect); !met.empty(); met = MergesMeeting(rect)) {
        for (const STCellRect& area : met) {
            m_merges.erase({area.m_nTop, area.m_nLeft});
            rect = SpanOf(rect, area);
        }
    }
    if (rect.IsSingleCell()) return;
    for (auto it = m_cells.lower_bound({rect.m_nTop, rect.m_nLeft});
         it != m_cells.end() && it->first.first <= rect.m_nBottom; ++it) {
        const auto [row, column] = it->first;
        if (rect.Contains(row, column) && !(row == rect.m_nTop && column == rect.m_nLeft)) {
            it->second.m_strText.clear();
            it->second.m_oNumber.reset();
        }
    }
    m_merges.emplace(std::pair{rect.m_nTop, rect.m_nLeft}, rect);
    m_nTallestMerge = std::max(m_nTallestMerge, rect.m_nBottom - rect.m_nTop + 1);
}

std::int32_t STWorksheet::ColumnPixels(std::int32_t column) const {
    const auto found = m_columnPixels.find(column);
    return found == m_columnPixels.end() ? kDefaultColumnPixels : found->second;
}

std::int32_t STWorksheet::RowPixels(std::int32_t) const {
    return kDefaultRowPixels;
}

std::int64_t STWorksheet::ColumnsPixels(std::int32_t first, std::int32_t last) const {
    std::int64_t pixels = static_cast<std::int64_t>(last - first + 1) * kDefaultColumnPixels;
    for (auto it = m_columnPixels.lower_bound(first); it != m_columnPixels.end() && it->first <= last; ++it)
        pixels += it->second - kDefaultColumnPixels;
    return pixels;
}

std::int64_t STWorksheet::RowsPixels(std::int32_t first, std::int32_t last) const {
    return static_cast<std::int64_t>(last - first + 1) * kDefaultRowPixels;
}
