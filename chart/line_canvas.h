// The chart's opaque fills, frames and one-pixel lines, laid out in logical
// pixels and written straight into the image through its device grid. A
// painter scaled to the device pixel ratio would place a one-pixel line half
// a logical pixel off the fills around it and drop its dashes; here a line
// is the row or column of logical pixels it covers, so at any ratio it lines
// up with the plot and the bars, and at ratio 1 it is the line an aliased
// one-pixel pen draws. image is Format_BGR888; what lies outside it is left
// out.
#pragma once

#include <QColor>
#include <QImage>
#include <QPen>
#include <cstdint>

#include "chart/device_grid.h"

// Fills the logical rectangle with an opaque colour.
void FillCells(QImage& image, const STDeviceGrid& grid, const STPixelRect& rect, QColor colour);

// The outline, a logical pixel wide, along the inside of rect.
void FrameCells(QImage& image, const STDeviceGrid& grid, const STPixelRect& rect, QColor colour);

// A line along logical column x from row from to row to, or along row y from
// column from to column to, both ends included, in the pen's opaque colour.
// A dashed pen's pattern counts logical pixels from the first end.
void StrokeColumn(QImage& image, const STDeviceGrid& grid, const QPen& pen, std::int32_t x,
                  std::int32_t from, std::int32_t to);
void StrokeRow(QImage& image, const STDeviceGrid& grid, const QPen& pen, std::int32_t y,
               std::int32_t from, std::int32_t to);
