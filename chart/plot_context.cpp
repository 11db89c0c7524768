#include "chart/plot_context.h"

#include <algorithm>
#include <cmath>

void STPlotContext::Clear(std::int32_t xExtent, std::int32_t yExtent) {
    m_series.clear();
    m_dLargestY = -std::numeric_limits<double>::infinity();
    m_xScale = DefaultXScale(xExtent);
    m_yScale = DefaultYScale(yExtent);
}

bool STPlotContext::Add(const STChartPoint& point) {
    // A key that is not a number would break the ordering of the series.
    if (std::isnan(point.x)) {
        return false;
    }
    if (m_series.empty() || m_series.back().x < point.x) {
        m_series.push_back(point);
    } else {
        const auto place =
            std::lower_bound(m_series.begin(), m_series.end(), point.x,
                             [](const STChartPoint& held, double x) { return held.x < x; });
        if (place->x == point.x) {
            return false;
        }
        m_series.insert(place, point);
    }
    GrowXScale(m_xScale, point.x);
    // Neither a missing value nor an infinite one says where Y should end.
    if (std::isfinite(point.y)) {
        m_dLargestY = std::max(m_dLargestY, point.y);
        FollowYScale(m_yScale, m_dLargestY);
    }
    return true;
}

bool STPlotContext::RemoveAt(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_series.size()) {
        return false;
    }
    const auto removed = m_series.begin() + index;
    for (auto later = removed + 1; later != m_series.end(); ++later) {
        later->x -= 1.0;
    }
    // Ordinals stay in order; points less than one apart may not, and then
    // adding them again sorts them and drops an x that now comes twice.
    const bool inOrder = removed == m_series.begin() || removed + 1 == m_series.end() ||
                         (removed - 1)->x < (removed + 1)->x;
    m_series.erase(removed);
    if (inOrder) {
        RescaleAsFilled();
        return true;
    }
    std::vector<STChartPoint> kept;
    kept.swap(m_series);
    Clear(m_xScale.m_nExtent, m_yScale.m_nExtent);
    for (const STChartPoint& point : kept) {
        Add(point);
    }
    return true;
}

void STPlotContext::RescaleAsFilled() {
    // The X maximum depends on the order the points came in: as Add grows it.
    m_xScale = DefaultXScale(m_xScale.m_nExtent);
    for (const STChartPoint& point : m_series) {
        if (point.x + 0.5 > m_xScale.m_nMaximum) {
            GrowXScale(m_xScale, point.x);
        }
    }
    m_yScale = DefaultYScale(m_yScale.m_nExtent);
    m_dLargestY = -std::numeric_limits<double>::infinity();
    for (const STChartPoint& point : m_series) {
        if (std::isfinite(point.y)) {
            m_dLargestY = std::max(m_dLargestY, point.y);
        }
    }
    if (std::isfinite(m_dLargestY)) {
        FollowYScale(m_yScale, m_dLargestY);
    }
}
