// A complete plot state: the points, the image they are drawn into, and the
// two scales. The chart keeps one for the screen and one for the report.
#pragma once

#include <map>

#include "chart/chart_scale.h"
#include "chart/dib_image.h"

struct STChartPoint {
    // The value's 1-based ordinal.
    double x = 0.0;
    double y = 0.0;
};

struct STPlotContext {
    // By x, ascending; x is unique.
    std::map<double, STChartPoint> m_series;
    STDibImage m_image;
    STChartScale m_xScale;
    // The distinct finite y values added since the last clear; only the
    // largest is used.
    std::map<double, double> m_yValues;
    STChartScale m_yScale;

    // Empties the points and resets both scales with the given extents.
    void Clear(std::int32_t xExtent, std::int32_t yExtent);
    // Adds the point and grows the scales; a point whose x is already there,
    // or whose x is not a number, changes nothing. False when ignored. A y
    // that is not a number (a batch value stored as nan) keeps its
    // point's place, so later points and the highlight index stay where
    // they belong; it and an infinite y leave the Y scale alone.
    bool Add(const STChartPoint& point);
};
