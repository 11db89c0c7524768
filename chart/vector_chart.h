// The chart drawn as vectors onto any painter, for printed and PDF pages
// where a scaled-up bitmap would look coarse. The scales, ticks, bar rules
// and colours are the window chart's; the layout is made in the device's
// own units, so bars and lines are placed at the page's resolution.
#pragma once

#include <QPainter>
#include <QRect>
#include <vector>

#include "chart/chart_plot.h"

struct STVectorChart {
    // The values' points, x their 1-based ordinal, as the report image has.
    std::vector<STChartPoint> m_points;
    // Equal limits mean no limits.
    double m_dLimitLow = 0.0;
    double m_dLimitHigh = 0.0;
};

// The plot inside area, room left for the axis labels, in device units of
// a device of the given resolution (dots per inch).
STPixelRect VectorPlotRect(const QRect& area, double dpi);

// Frame, grid, ticks, axis labels and bars inside area. The painter's
// transform must map its coordinates one to one onto device units of dpi.
void PaintVectorChart(QPainter& painter, const QRect& area, double dpi, const STVectorChart& chart,
                      const STChartResources& resources);
