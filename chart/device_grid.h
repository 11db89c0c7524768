// Where the chart's logical pixels lie in an image drawn at a device pixel
// ratio. The chart is laid out in logical pixels; each becomes a block of
// device pixels whose edges are the logical edges times the ratio, rounded.
// Every pixel the chart paints goes through this one rounding, so fills,
// lines, bars and columns meet without seams at any ratio, and at ratio 1
// each logical pixel is its own device pixel.
#pragma once

#include <cstdint>

#include "chart/pixel_rect.h"

struct STDeviceGrid {
    double m_dRatio = 1.0;

    // The device edge of a logical pixel edge.
    std::int32_t Edge(std::int32_t logical) const;
    // The logical pixel that holds a device pixel.
    std::int32_t Cell(std::int32_t device) const;
    // The device pixels of a logical rectangle.
    STPixelRect Device(const STPixelRect& logical) const;
};

// The ratio a chart image is drawn at for a screen's ratio: never below 1,
// where a one-pixel line could fall between device pixels, and never above
// 8, so that the layout's far-off pixels stay within int32 on the device.
double DrawingRatio(double screenRatio);
