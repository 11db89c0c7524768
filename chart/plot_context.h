// A complete plot state: the points, the image they are drawn into, and the
// two scales. The chart keeps one for the screen and one for the report.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "chart/chart_scale.h"
#include "chart/dib_image.h"

struct STChartPoint {
    // The value's 1-based ordinal.
    double x = 0.0;
    double y = 0.0;
};

struct STPlotContext {
    // By x, ascending; x is unique. The owner numbers the points 1, 2, 3, ...
    // in order, so a new point almost always goes at the end.
    std::vector<STChartPoint> m_series;
    STDibImage m_image;
    STChartScale m_xScale;
    // The largest finite y among the points, which alone sets the Y scale;
    // -infinity while there is none.
    double m_dLargestY = -std::numeric_limits<double>::infinity();
    STChartScale m_yScale;

    // Empties the points and resets both scales with the given extents.
    void Clear(std::int32_t xExtent, std::int32_t yExtent);
    // Adds the point and grows the scales; a point whose x is already there,
    // or whose x is not a number, changes nothing. False when ignored. A y
    // that is not a number (a batch value stored as nan) keeps its
    // point's place, so later points and the highlight index stay where
    // they belong; it and an infinite y leave the Y scale alone. A point
    // past the last one costs O(1) amortised, one elsewhere O(points).
    bool Add(const STChartPoint& point);
    // Removes the index-th point (0-based, in x order) and moves the x of
    // every later point down by one, leaving points and scales exactly as
    // clearing and adding the remaining points in order would. False, and
    // nothing changed, for an index outside the series. O(points).
    bool RemoveAt(std::int32_t index);

private:
    // Both scales as adding the series' points in x order would leave them.
    void RescaleAsFilled();
};
