#include "chart/line_canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

void FillDevice(QImage& image, const STPixelRect& rect, QColor colour) {
    const std::int32_t left = std::max(rect.m_nLeft, 0);
    const std::int32_t right = std::min(rect.m_nRight, image.width());
    const std::int32_t top = std::max(rect.m_nTop, 0);
    const std::int32_t bottom = std::min(rect.m_nBottom, image.height());
    const auto blue = static_cast<std::uint8_t>(colour.blue());
    const auto green = static_cast<std::uint8_t>(colour.green());
    const auto red = static_cast<std::uint8_t>(colour.red());
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint8_t* pixel = image.scanLine(y) + 3 * left;
        for (std::int32_t x = left; x < right; ++x, pixel += 3) {
            pixel[0] = blue;
            pixel[1] = green;
            pixel[2] = red;
        }
    }
}

// The pen's dashes and gaps in logical pixels, alternating and starting
// with a dash; empty for a solid pen.
std::vector<std::int32_t> DashRuns(const QPen& pen) {
    std::vector<std::int32_t> runs;
    if (pen.style() == Qt::SolidLine) {
        return runs;
    }
    for (const qreal length : pen.dashPattern()) {
        runs.push_back(std::max(1, static_cast<std::int32_t>(std::lround(length * pen.widthF()))));
    }
    return runs;
}

// Calls paint(low, high) with the rows or columns, low to high, of each
// dash of a line from one logical pixel to another, both included; the
// dashes are counted from the first.
template <typename Paint>
void ForEachDash(const QPen& pen, std::int32_t from, std::int32_t to, Paint paint) {
    const std::int32_t step = to < from ? -1 : 1;
    const auto painted = [&](std::int32_t first, std::int32_t last) {
        paint(std::min(from + first * step, from + last * step),
              std::max(from + first * step, from + last * step));
    };
    const std::int32_t length = (to - from) * step + 1;
    const std::vector<std::int32_t> runs = DashRuns(pen);
    if (runs.empty()) {
        painted(0, length - 1);
        return;
    }
    std::int32_t at = 0;
    for (std::size_t run = 0; at < length; run = (run + 1) % runs.size()) {
        const std::int32_t end = std::min(at + runs[run], length);
        if (run % 2 == 0) {
            painted(at, end - 1);
        }
        at = end;
    }
}

}  // namespace

void FillCells(QImage& image, const STDeviceGrid& grid, const STPixelRect& rect, QColor colour) {
    FillDevice(image, grid.Device(rect), colour);
}

void FrameCells(QImage& image, const STDeviceGrid& grid, const STPixelRect& rect, QColor colour) {
    const std::int32_t left = rect.m_nLeft;
    const std::int32_t top = rect.m_nTop;
    const std::int32_t right = rect.m_nRight;
    const std::int32_t bottom = rect.m_nBottom;
    FillCells(image, grid, {left, top, right, top + 1}, colour);
    FillCells(image, grid, {left, bottom - 1, right, bottom}, colour);
    FillCells(image, grid, {left, top, left + 1, bottom}, colour);
    FillCells(image, grid, {right - 1, top, right, bottom}, colour);
}

void StrokeColumn(QImage& image, const STDeviceGrid& grid, const QPen& pen, std::int32_t x,
                  std::int32_t from, std::int32_t to) {
    ForEachDash(pen, from, to, [&](std::int32_t low, std::int32_t high) {
        FillCells(image, grid, {x, low, x + 1, high + 1}, pen.color());
    });
}

void StrokeRow(QImage& image, const STDeviceGrid& grid, const QPen& pen, std::int32_t y,
               std::int32_t from, std::int32_t to) {
    ForEachDash(pen, from, to, [&](std::int32_t low, std::int32_t high) {
        FillCells(image, grid, {low, y, high + 1, y + 1}, pen.color());
    });
}
