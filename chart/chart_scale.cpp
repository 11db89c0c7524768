#include "chart/chart_scale.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kGrowth = 1.3;

// Truncated toward zero and held within int32; NaN gives 0.
std::int32_t TruncatedMaximum(double value) {
    constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
    constexpr double kSmallest = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::trunc(std::fmin(kLargest, std::fmax(kSmallest, value))));
}

STChartScale MakeScale(std::int32_t maximum, std::int32_t divisions, std::int32_t extent) {
    STChartScale scale;
    scale.m_nMaximum = maximum;
    scale.m_nDivisions = divisions;
    scale.m_nSubdivisions = 5;
    scale.m_nExtent = extent;
    RecomputeScale(scale);
    return scale;
}

}  // namespace

void RecomputeScale(STChartScale& scale) {
    const std::int64_t divisions = scale.m_nDivisions > 0 ? scale.m_nDivisions : 1;
    const std::int64_t maximum = scale.m_nMaximum;
    const std::int64_t step = maximum / divisions + (maximum % divisions > 0 ? 1 : 0);
    scale.m_nStep = static_cast<std::int32_t>(step < 1 ? 1 : step);
    scale.m_dMinorStep = static_cast<double>(scale.m_nStep) /
                         static_cast<double>(scale.m_nSubdivisions > 0 ? scale.m_nSubdivisions : 1);
    scale.m_dPixelsPerUnit = static_cast<double>(scale.m_nExtent) /
                             (static_cast<double>(scale.m_nStep) * static_cast<double>(divisions));
}

STChartScale DefaultXScale(std::int32_t extent) {
    return MakeScale(10, 10, extent);
}

STChartScale DefaultYScale(std::int32_t extent) {
    return MakeScale(100, 5, extent);
}

void GrowXScale(STChartScale& scale, double x) {
    if (x + 0.5 > scale.m_nMaximum) {
        scale.m_nMaximum = TruncatedMaximum((x + 0.5) * kGrowth);
    }
    RecomputeScale(scale);
}

void FollowYScale(STChartScale& scale, double largest) {
    scale.m_nMaximum = TruncatedMaximum(largest * kGrowth);
    RecomputeScale(scale);
}
