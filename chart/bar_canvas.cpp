#include "chart/bar_canvas.h"

#include <algorithm>
#include <array>

namespace {

struct STColumnRange {
    std::size_t m_nFirst = 0;
    // One past the last bar over the column.
    std::size_t m_nEnd = 0;
};

// What the bar leaves at (x, y), a pixel it covers: its outline on the
// outline's columns and rows, else its fill.
bool IsOnOutline(const STBarPaint& bar, std::int32_t x, std::int32_t y) {
    return x == bar.m_nLeft || x == bar.m_nRight || y == bar.m_nTop || y == bar.m_nBottom;
}

void PutColour(std::uint8_t* pixel, QColor colour) {
    pixel[0] = static_cast<std::uint8_t>(colour.blue());
    pixel[1] = static_cast<std::uint8_t>(colour.green());
    pixel[2] = static_cast<std::uint8_t>(colour.red());
}

void Blend(std::uint8_t* pixel, QColor colour) {
    const auto alpha = static_cast<std::uint32_t>(colour.alpha());
    pixel[0] = BlendByte(pixel[0], static_cast<std::uint32_t>(colour.blue()), alpha);
    pixel[1] = BlendByte(pixel[1], static_cast<std::uint32_t>(colour.green()), alpha);
    pixel[2] = BlendByte(pixel[2], static_cast<std::uint32_t>(colour.red()), alpha);
}

// The layers that show at one logical pixel: the last opaque one, if any,
// and the translucent ones over it, the topmost first.
struct STShownLayers {
    bool m_bOpaque = false;
    QColor m_opaque;
    std::vector<QColor> m_translucent;
};

void CollectLayers(const std::vector<STBarPaint>& bars, const STColumnRange& column, std::int32_t x,
                   std::int32_t y, QColor outline, STShownLayers& shown) {
    shown.m_bOpaque = false;
    shown.m_translucent.clear();
    for (std::size_t k = column.m_nEnd; k-- > column.m_nFirst;) {
        const STBarPaint& bar = bars[k];
        if (y < bar.m_nTop || y > bar.m_nBottom) {
            continue;
        }
        const QColor layer = IsOnOutline(bar, x, y) ? outline : bar.m_fill;
        if (layer.alpha() == 255) {
            shown.m_bOpaque = true;
            shown.m_opaque = layer;
            break;
        }
        shown.m_translucent.push_back(layer);
    }
}

// The final colour of one device pixel under the layers of its logical one.
void ComposePixel(std::uint8_t* pixel, const STShownLayers& shown) {
    if (shown.m_bOpaque) {
        PutColour(pixel, shown.m_opaque);
    }
    for (auto layer = shown.m_translucent.rbegin(); layer != shown.m_translucent.rend(); ++layer) {
        Blend(pixel, *layer);
    }
}

// The device edges of logical rows or columns 0 to count, kept inside the
// image's extent.
std::vector<std::int32_t> DeviceEdges(const STDeviceGrid& grid, std::int32_t count,
                                      std::int32_t extent) {
    std::vector<std::int32_t> edges;
    edges.reserve(static_cast<std::size_t>(count) + 1);
    for (std::int32_t i = 0; i <= count; ++i) {
        edges.push_back(std::min(grid.Edge(i), extent));
    }
    return edges;
}

}  // namespace

std::uint8_t BlendByte(std::uint8_t under, std::uint32_t colour, std::uint32_t alpha) {
    const std::uint32_t sum = colour * alpha + under * (255 - alpha) + 127;
    return static_cast<std::uint8_t>((sum + 1 + (sum >> 8)) >> 8);  // sum / 255
}

void PaintBarLayers(QImage& image, const STDeviceGrid& grid, const std::vector<STBarPaint>& bars,
                    QColor outline) {
    if (image.width() <= 0 || image.height() <= 0) {
        return;
    }
    // The logical pixels the image holds, the last ones perhaps in part.
    const std::int32_t columns = grid.Cell(image.width() - 1) + 1;
    const std::int32_t rows = grid.Cell(image.height() - 1) + 1;
    const std::vector<std::int32_t> columnEdges = DeviceEdges(grid, columns, image.width());
    const std::vector<std::int32_t> rowEdges = DeviceEdges(grid, rows, image.height());
    STShownLayers shown;
    STColumnRange column;
    for (std::int32_t x = 0; x < columns; ++x) {
        while (column.m_nFirst < bars.size() && bars[column.m_nFirst].m_nRight < x) {
            ++column.m_nFirst;
        }
        column.m_nEnd = std::max(column.m_nEnd, column.m_nFirst);
        while (column.m_nEnd < bars.size() && bars[column.m_nEnd].m_nLeft <= x) {
            ++column.m_nEnd;
        }
        std::int32_t top = rows;
        std::int32_t bottom = -1;
        for (std::size_t k = column.m_nFirst; k < column.m_nEnd; ++k) {
            top = std::min(top, bars[k].m_nTop);
            bottom = std::max(bottom, bars[k].m_nBottom);
        }
        const auto cx = static_cast<std::size_t>(x);
        for (std::int32_t y = std::max(top, 0); y <= std::min(bottom, rows - 1); ++y) {
            CollectLayers(bars, column, x, y, outline, shown);
            const auto cy = static_cast<std::size_t>(y);
            for (std::int32_t row = rowEdges[cy]; row < rowEdges[cy + 1]; ++row) {
                std::uint8_t* line = image.scanLine(row);
                for (std::int32_t device = columnEdges[cx]; device < columnEdges[cx + 1];
                     ++device) {
                    ComposePixel(line + 3 * device, shown);
                }
            }
        }
    }
}

void PaintBarColumn(QImage& image, const STDeviceGrid& grid, std::int32_t x, std::int32_t top,
                    std::int32_t bottom, QColor fill) {
    const STPixelRect cells = grid.Device({x, top, x + 1, bottom + 1});
    const std::int32_t left = std::max(cells.m_nLeft, 0);
    const std::int32_t right = std::min(cells.m_nRight, image.width());
    const std::int32_t first = std::max(cells.m_nTop, 0);
    const std::int32_t end = std::min(cells.m_nBottom, image.height());
    const auto alpha = static_cast<std::uint32_t>(fill.alpha());
    const std::array<std::uint32_t, 3> colour{static_cast<std::uint32_t>(fill.blue()),
                                              static_cast<std::uint32_t>(fill.green()),
                                              static_cast<std::uint32_t>(fill.red())};
    for (std::int32_t y = first; y < end; ++y) {
        std::uint8_t* pixel = image.scanLine(y) + 3 * left;
        for (std::int32_t device = left; device < right; ++device) {
            for (std::size_t c = 0; c < colour.size(); ++c, ++pixel) {
                *pixel = BlendByte(*pixel, colour[c], alpha);
            }
        }
    }
}
