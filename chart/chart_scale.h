// One axis of the chart: where it ends, its labelled and minor divisions,
// and how many pixels a unit takes.
#pragma once

#include <cstdint>

struct STChartScale {
    // The value at which the scale is meant to end.
    std::int32_t m_nMaximum = 10;
    // Between two labelled divisions: ceil(maximum / divisions), at least 1.
    std::int32_t m_nStep = 0;
    std::int32_t m_nDivisions = 10;
    // Minor ticks per labelled division.
    std::int32_t m_nSubdivisions = 5;
    double m_dMinorStep = 0.0;
    // extent / (step x divisions): the axis spans step x divisions units.
    double m_dPixelsPerUnit = 0.0;
    // Length of the axis in pixels.
    std::int32_t m_nExtent = 0;
};

// Step, minor step and pixels per unit from maximum, divisions and extent. A
// maximum of 0 or below (values under 1/1.3, or negative) still gets a step
// of 1, so the axis never divides by zero.
void RecomputeScale(STChartScale& scale);

// The axes of an empty chart: X 0 to 10 labelled every 1, Y 0 to 100
// labelled every 20.
STChartScale DefaultXScale(std::int32_t extent);
STChartScale DefaultYScale(std::int32_t extent);

// A point at x: the X maximum grows to (x + 0.5) x 1.3 when x + 0.5 passes it.
void GrowXScale(STChartScale& scale, double x);
// The Y maximum follows 1.3 x the largest value, up or down.
void FollowYScale(STChartScale& scale, double largest);
