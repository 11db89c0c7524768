// Painting only the layers that show gives the image that painting every
// layer of every bar in turn gives.
#include "chart/bar_canvas.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Every bar in turn: outline, fill inside it, outline again.
void PaintEveryLayer(QImage& image, const std::vector<STBarPaint>& bars, QColor outline) {
    const auto paint = [&image](std::int32_t x, std::int32_t y, QColor colour) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
            return;
        }
        std::uint8_t* pixel = image.scanLine(y) + 3 * x;
        const auto alpha = static_cast<std::uint32_t>(colour.alpha());
        pixel[0] = BlendByte(pixel[0], static_cast<std::uint32_t>(colour.blue()), alpha);
        pixel[1] = BlendByte(pixel[1], static_cast<std::uint32_t>(colour.green()), alpha);
        pixel[2] = BlendByte(pixel[2], static_cast<std::uint32_t>(colour.red()), alpha);
    };
    const auto paintOutline = [&](const STBarPaint& bar) {
        for (std::int32_t y = bar.m_nTop; y <= bar.m_nBottom; ++y) {
            for (std::int32_t x = bar.m_nLeft; x <= bar.m_nRight; ++x) {
                const bool edge =
                    x == bar.m_nLeft || x == bar.m_nRight || y == bar.m_nTop || y == bar.m_nBottom;
                if (edge) {
                    paint(x, y, outline);
                }
            }
        }
    };
    for (const STBarPaint& bar : bars) {
        paintOutline(bar);
        for (std::int32_t y = bar.m_nTop + 1; y < bar.m_nBottom; ++y) {
            for (std::int32_t x = bar.m_nLeft + 1; x < bar.m_nRight; ++x) {
                paint(x, y, bar.m_fill);
            }
        }
        paintOutline(bar);
    }
}

QImage Background(int width, int height) {
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) % 256));
        }
    }
    return image;
}

}  // namespace

TEST(BarLayers, MatchPaintingEveryLayerInTurn) {
    const std::vector<QColor> fills{QColor(100, 250, 100, 180), QColor(250, 100, 100),
                                    QColor(0, 0, 0, 180), QColor(10, 20, 30, 1)};
    const QColor outline(0x64, 0x64, 0x64);
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        // From a few wide bars to many narrow ones piled up, some reaching
        // past the image.
        const int count = 1 + static_cast<int>(random() % 400);
        const int half = static_cast<int>(random() % 12);
        std::vector<STBarPaint> bars;
        double centre = -5.0;
        for (int i = 0; i < count; ++i) {
            centre += static_cast<double>(random() % 100) / 40.0;
            const auto x = static_cast<std::int32_t>(centre);
            const auto top = static_cast<std::int32_t>(random() % 70) - 5;
            bars.push_back({x - half, top, x + half, 60, fills[random() % fills.size()]});
        }
        QImage expected = Background(90, 64);
        QImage actual = expected.copy();
        PaintEveryLayer(expected, bars, outline);
        PaintBarLayers(actual, STDeviceGrid{}, bars, outline);
        ASSERT_EQ(actual, expected) << "round " << round << ", " << count << " bars";
    }
}

// At a device pixel ratio every logical pixel is a block of device pixels
// that ends as the ratio-1 pixel does over the same background.
TEST(BarLayers, AtARatioPaintTheRatioOneImageInBlocks) {
    const QColor outline(0x64, 0x64, 0x64);
    std::mt19937 random(5);
    for (const double ratio : {2.0, 1.5, 1.25, 3.0}) {
        const STDeviceGrid grid{ratio};
        std::vector<STBarPaint> bars;
        for (int x = -3; x < 95; x += 1 + static_cast<int>(random() % 4)) {
            const auto top = static_cast<std::int32_t>(random() % 60);
            const QColor fill = random() % 2 ? QColor(100, 250, 100, 180) : QColor(250, 100, 100);
            bars.push_back({x - 2, top, x + 2, 60, fill});
        }
        QImage single = Background(90, 64);
        QImage scaled(grid.Edge(90), grid.Edge(64), QImage::Format_BGR888);
        for (int y = 0; y < scaled.height(); ++y) {
            for (int x = 0; x < scaled.width(); ++x) {
                scaled.setPixel(x, y, single.pixel(grid.Cell(x), grid.Cell(y)));
            }
        }
        PaintBarLayers(single, STDeviceGrid{}, bars, outline);
        PaintBarLayers(scaled, grid, bars, outline);
        for (int y = 0; y < scaled.height(); ++y) {
            for (int x = 0; x < scaled.width(); ++x) {
                ASSERT_EQ(scaled.pixel(x, y), single.pixel(grid.Cell(x), grid.Cell(y)))
                    << "ratio " << ratio << " at " << x << "," << y;
            }
        }
        // A dense plot's column likewise.
        PaintBarColumn(single, STDeviceGrid{}, 7, 3, 40, QColor(0, 0, 0, 180));
        PaintBarColumn(scaled, grid, 7, 3, 40, QColor(0, 0, 0, 180));
        for (int y = 0; y < scaled.height(); ++y) {
            for (int x = grid.Edge(6); x < grid.Edge(9); ++x) {
                ASSERT_EQ(scaled.pixel(x, y), single.pixel(grid.Cell(x), grid.Cell(y)))
                    << "ratio " << ratio << " at " << x << "," << y;
            }
        }
    }
}
