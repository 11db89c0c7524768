#include "chart/device_grid.h"

#include <algorithm>
#include <cmath>

std::int32_t STDeviceGrid::Edge(std::int32_t logical) const {
    return static_cast<std::int32_t>(std::lround(logical * m_dRatio));
}

std::int32_t STDeviceGrid::Cell(std::int32_t device) const {
    auto cell = static_cast<std::int32_t>(std::floor(device / m_dRatio));
    // The division may land one off the rounded edges on either side.
    while (Edge(cell + 1) <= device) {
        ++cell;
    }
    while (Edge(cell) > device) {
        --cell;
    }
    return cell;
}

STPixelRect STDeviceGrid::Device(const STPixelRect& logical) const {
    return {Edge(logical.m_nLeft), Edge(logical.m_nTop), Edge(logical.m_nRight),
            Edge(logical.m_nBottom)};
}

double DrawingRatio(double screenRatio) {
    if (!(screenRatio > 1.0)) {
        return 1.0;
    }
    return std::min(screenRatio, 8.0);
}
