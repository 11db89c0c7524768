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

// The final colour of one pixel under the bars of its column.
void ComposePixel(std::uint8_t* pixel, const std::vector<STBarPaint>& bars,
                  const STColumnRange& column, std::int32_t x, std::int32_t y, QColor outline,
                  std::vector<QColor>& translucent) {
    translucent.clear();
    for (std::size_t k = column.m_nEnd; k-- > column.m_nFirst;) {
        const STBarPaint& bar = bars[k];
        if (y < bar.m_nTop || y > bar.m_nBottom) {
            continue;
        }
        const QColor layer = IsOnOutline(bar, x, y) ? outline : bar.m_fill;
        if (layer.alpha() == 255) {
            PutColour(pixel, layer);
            break;
        }
        translucent.push_back(layer);
    }
    for (auto layer = translucent.rbegin(); layer != translucent.rend(); ++layer) {
        Blend(pixel, *layer);
    }
}

}  // namespace

std::uint8_t BlendByte(std::uint8_t under, std::uint32_t colour, std::uint32_t alpha) {
    const std::uint32_t sum = colour * alpha + under * (255 - alpha) + 127;
    return static_cast<std::uint8_t>((sum + 1 + (sum >> 8)) >> 8);  // sum / 255
}

void PaintBarLayers(QImage& image, const std::vector<STBarPaint>& bars, QColor outline) {
    std::vector<QColor> translucent;
    STColumnRange column;
    for (std::int32_t x = 0; x < image.width(); ++x) {
        while (column.m_nFirst < bars.size() && bars[column.m_nFirst].m_nRight < x) {
            ++column.m_nFirst;
        }
        column.m_nEnd = std::max(column.m_nEnd, column.m_nFirst);
        while (column.m_nEnd < bars.size() && bars[column.m_nEnd].m_nLeft <= x) {
            ++column.m_nEnd;
        }
        std::int32_t top = image.height();
        std::int32_t bottom = -1;
        for (std::size_t k = column.m_nFirst; k < column.m_nEnd; ++k) {
            top = std::min(top, bars[k].m_nTop);
            bottom = std::max(bottom, bars[k].m_nBottom);
        }
        for (std::int32_t y = std::max(top, 0); y <= std::min(bottom, image.height() - 1); ++y) {
            std::uint8_t* pixel = image.scanLine(y) + 3 * x;
            ComposePixel(pixel, bars, column, x, y, outline, translucent);
        }
    }
}

void PaintBarColumn(QImage& image, std::int32_t x, std::int32_t top, std::int32_t bottom,
                    QColor fill) {
    const std::int32_t first = std::max(top, 0);
    const std::int32_t last = std::min(bottom, image.height() - 1);
    if (x < 0 || x >= image.width() || first > last) {
        return;
    }
    const auto alpha = static_cast<std::uint32_t>(fill.alpha());
    const std::array<std::uint32_t, 3> colour{static_cast<std::uint32_t>(fill.blue()),
                                              static_cast<std::uint32_t>(fill.green()),
                                              static_cast<std::uint32_t>(fill.red())};
    const qsizetype stride = image.bytesPerLine();
    std::uint8_t* pixel = image.scanLine(first) + 3 * x;
    for (std::int32_t y = first; y <= last; ++y, pixel += stride) {
        for (std::size_t c = 0; c < colour.size(); ++c) {
            pixel[c] = BlendByte(pixel[c], colour[c], alpha);
        }
    }
}
