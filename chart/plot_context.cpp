#include "chart/plot_context.h"

#include <cmath>

void STPlotContext::Clear(std::int32_t xExtent, std::int32_t yExtent) {
    m_series.clear();
    m_yValues.clear();
    m_xScale = DefaultXScale(xExtent);
    m_yScale = DefaultYScale(yExtent);
}

bool STPlotContext::Add(const STChartPoint& point) {
    // A key that is not a number would break the ordering of the series.
    if (std::isnan(point.x) || m_series.contains(point.x)) {
        return false;
    }
    m_series.emplace(point.x, point);
    GrowXScale(m_xScale, point.x);
    // Neither a missing value nor an infinite one says where Y should end.
    if (std::isfinite(point.y)) {
        m_yValues.emplace(point.y, point.y);
        FollowYScale(m_yScale, m_yValues.rbegin()->first);
    }
    return true;
}
