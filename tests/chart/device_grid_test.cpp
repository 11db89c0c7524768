// Logical pixels on device pixels, and the fills and lines painted through
// them: at ratio 1 a line is the one an aliased one-pixel pen draws.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <limits>

#include "chart/device_grid.h"
#include "chart/line_canvas.h"

TEST(DeviceGrid, EveryDevicePixelLiesInOneLogicalPixel) {
    for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
        const STDeviceGrid grid{ratio};
        EXPECT_EQ(grid.Edge(0), 0);
        EXPECT_EQ(grid.Edge(611), std::lround(611 * ratio));
        for (int device = -20; device < 2000; ++device) {
            const int cell = grid.Cell(device);
            ASSERT_LE(grid.Edge(cell), device) << ratio;
            ASSERT_LT(device, grid.Edge(cell + 1)) << ratio;
        }
        for (int logical = -10; logical < 1000; ++logical) {
            ASSERT_GE(grid.Edge(logical + 1) - grid.Edge(logical), 1) << ratio << " " << logical;
        }
    }
}

TEST(DeviceGrid, DrawsAtTheScreensRatioWithinOneAndEight) {
    EXPECT_EQ(DrawingRatio(1.0), 1.0);
    EXPECT_EQ(DrawingRatio(2.0), 2.0);
    EXPECT_EQ(DrawingRatio(1.25), 1.25);
    EXPECT_EQ(DrawingRatio(0.5), 1.0);
    EXPECT_EQ(DrawingRatio(0.0), 1.0);
    EXPECT_EQ(DrawingRatio(40.0), 8.0);
    EXPECT_EQ(DrawingRatio(std::numeric_limits<double>::quiet_NaN()), 1.0);
}

namespace {

QImage Blank() {
    QImage image(60, 40, QImage::Format_BGR888);
    image.fill(Qt::white);
    return image;
}

}  // namespace

// The chart's tick, grid, frame and highlight lines, solid and dashed,
// drawn both ways in either direction and partly outside the image.
TEST(LineCanvas, DrawsWhatAnAliasedOnePixelPenDraws) {
    QPen solid(QColor(0x80, 0x80, 0x80), 1);
    solid.setJoinStyle(Qt::MiterJoin);
    QPen dashed = solid;
    dashed.setDashPattern({3, 1});
    const struct {
        int x0, y0, x1, y1;
    } lines[] = {{5, 2, 5, 30},  {5, 30, 5, 2}, {3, 7, 50, 7},  {50, 7, 3, 7},  {8, 1, 8, 1},
                 {9, -5, 9, 12}, {0, 9, 70, 9}, {10, 3, 10, 6}, {2, 11, 4, 11}, {30, 4, 30, 38}};
    for (const QPen& pen : {solid, dashed}) {
        for (const auto& [x0, y0, x1, y1] : lines) {
            QImage expected = Blank();
            {
                QPainter painter(&expected);
                painter.setPen(pen);
                painter.drawLine(x0, y0, x1, y1);
            }
            QImage actual = Blank();
            if (x0 == x1) {
                StrokeColumn(actual, STDeviceGrid{}, pen, x0, y0, y1);
            } else {
                StrokeRow(actual, STDeviceGrid{}, pen, y0, x0, x1);
            }
            EXPECT_EQ(actual, expected) << (pen.style() == Qt::SolidLine ? "solid " : "dashed ")
                                        << x0 << "," << y0 << " to " << x1 << "," << y1;
        }
    }
    for (const QRect rect : {QRect(10, 5, 20, 12), QRect(0, 0, 1, 1), QRect(40, 30, 30, 30)}) {
        QImage expected = Blank();
        {
            QPainter painter(&expected);
            painter.setPen(solid);
            painter.drawRect(rect);
        }
        QImage actual = Blank();
        FrameCells(actual, STDeviceGrid{},
                   {rect.left(), rect.top(), rect.right() + 2, rect.bottom() + 2}, solid.color());
        EXPECT_EQ(actual, expected) << rect.x() << "," << rect.y();
    }
}

// At ratio 2 a dash of three logical pixels is six device pixels long.
TEST(LineCanvas, ScalesLinesAndDashesWithTheRatio) {
    QPen dashed(Qt::black, 1);
    dashed.setDashPattern({3, 1});
    QImage image(120, 80, QImage::Format_BGR888);
    image.fill(Qt::white);
    StrokeRow(image, STDeviceGrid{2.0}, dashed, 10, 2, 40);
    for (int x = 0; x < 120; ++x) {
        const int logical = x / 2;
        const bool dash = logical >= 2 && logical <= 40 && (logical - 2) % 4 < 3;
        for (const int y : {19, 20, 21, 22}) {
            const bool inked = image.pixel(x, y) == qRgb(0, 0, 0);
            ASSERT_EQ(inked, dash && (y == 20 || y == 21)) << x << "," << y;
        }
    }
}
