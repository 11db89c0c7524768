// A rectangle of pixels, the unit the chart's layout works in.
#pragma once

#include <cstdint>

// A rectangle as left, top, right, bottom; right and bottom lie outside it.
struct STPixelRect {
    std::int32_t m_nLeft = 0;
    std::int32_t m_nTop = 0;
    std::int32_t m_nRight = 0;
    std::int32_t m_nBottom = 0;

    std::int32_t Width() const { return m_nRight - m_nLeft; }
    std::int32_t Height() const { return m_nBottom - m_nTop; }
};
