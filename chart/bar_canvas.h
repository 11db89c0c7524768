// The bars, painted straight into the 24-bit image. Every bar is an opaque
// outline around a fill, drawn in order: outline, fill, outline again, so at
// each pixel a bar leaves either its outline or its fill. A chart of
// thousands of bars stacks hundreds of them on each pixel; instead of
// blending every layer, each pixel looks back from the last bar over it to
// the last opaque layer and blends only the layers after that. The result
// is the same as painting every layer in turn. Bars closer than a pixel are
// painted as one plain column a pixel instead.
//
// Bars and columns are laid out in logical pixels; the image holds them at
// its device grid's ratio, every logical pixel a block of device pixels
// that a bar leaves in the same layers.
#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <vector>

#include "chart/device_grid.h"

struct STBarPaint {
    // The outline's columns and rows, both ends included.
    std::int32_t m_nLeft;
    std::int32_t m_nTop;
    std::int32_t m_nRight;
    std::int32_t m_nBottom;
    // Inside the outline; blended by its alpha.
    QColor m_fill;
};

// Bars in painting order; their left and right edges never decrease along
// the list. image is Format_BGR888.
void PaintBarLayers(QImage& image, const STDeviceGrid& grid, const std::vector<STBarPaint>& bars,
                    QColor outline);

// A column a logical pixel wide, rows top to bottom both included, blended
// by the fill's alpha; what lies outside the image is left out.
void PaintBarColumn(QImage& image, const STDeviceGrid& grid, std::int32_t x, std::int32_t top,
                    std::int32_t bottom, QColor fill);

// One layer of colour over a pixel's byte, as the bars blend: rounded
// source-over with the colour's alpha.
std::uint8_t BlendByte(std::uint8_t under, std::uint32_t colour, std::uint32_t alpha);
