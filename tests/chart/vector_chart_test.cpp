// The chart painted as vectors through a painter: bars coloured by the
// limits whether drawn one by one or merged into dense columns, and kept
// inside the plot.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "chart/vector_chart.h"

namespace {

constexpr double kDpi = 150.0;
const QRect kArea(20, 30, 900, 400);

QImage Paint(const STVectorChart& chart) {
    QImage image(960, 460, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintVectorChart(painter, kArea, kDpi, chart, STChartResources());
    return image;
}

bool IsFail(QColor pixel) {
    return pixel.red() > 230 && pixel.green() < 120 && pixel.blue() < 120;
}
bool IsPass(QColor pixel) {
    return pixel.green() > 200 && pixel.red() < 190 && pixel.blue() < 190;
}

struct STCount {
    int m_nFail = 0;
    int m_nPass = 0;
    int m_nOutsidePlot = 0;
};

STCount CountBars(const QImage& image) {
    const STPixelRect plot = VectorPlotRect(kArea, kDpi);
    STCount count;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const bool bar = IsFail(pixel) || IsPass(pixel);
            count.m_nFail += IsFail(pixel);
            count.m_nPass += IsPass(pixel);
            const bool inside = x >= plot.m_nLeft && x < plot.m_nRight && y >= plot.m_nTop && y < plot.m_nBottom;
            count.m_nOutsidePlot += bar && !inside;
        }
    return count;
}

STVectorChart Series(int count, int failAt, double limitLow, double limitHigh) {
    STVectorChart chart;
    for (int i = 1; i <= count; ++i) chart.m_points.push_back({double(i), i == failAt ? 600.0 : 450.0});
    chart.m_dLimitLow = limitLow;
    chart.m_dLimitHigh = limitHigh;
    return chart;
}

TEST(VectorChart, BarsTakeTheLimitsColourWhetherSeparateOrDense) {
    struct Case {
        int m_nCount;
        int m_nFailAt;
        double m_dLow;
        double m_dHigh;
        bool m_bFail;
    };
    // 12 bars stand apart; 5,000 share the plot's ~800 device columns.
    for (const Case& test : {Case{12, 5, 400.0, 500.0, true}, Case{12, 5, 0.0, 0.0, false},
                             Case{12, 0, 400.0, 500.0, false}, Case{5000, 2345, 400.0, 500.0, true},
                             Case{5000, 0, 400.0, 500.0, false}}) {
        const STCount count = CountBars(Paint(Series(test.m_nCount, test.m_nFailAt, test.m_dLow, test.m_dHigh)));
        EXPECT_EQ(count.m_nFail > 0, test.m_bFail) << test.m_nCount << " " << test.m_nFailAt;
        EXPECT_GT(count.m_nPass, 1000) << test.m_nCount;
        EXPECT_EQ(count.m_nOutsidePlot, 0);
    }
}

TEST(VectorChart, NothingToDrawStillGivesAxesAndNoBars) {
    const QImage image = Paint(STVectorChart{});
    const STCount count = CountBars(image);
    EXPECT_EQ(count.m_nFail + count.m_nPass, 0);
    const STPixelRect plot = VectorPlotRect(kArea, kDpi);
    // The frame's bottom left corner is drawn.
    EXPECT_LT(image.pixelColor(plot.m_nLeft, plot.m_nBottom).lightness(), 100);
    // An area too small for a plot paints nothing and does not fail.
    QImage tiny(10, 10, QImage::Format_RGB32);
    tiny.fill(Qt::white);
    QPainter painter(&tiny);
    PaintVectorChart(painter, QRect(0, 0, 10, 10), kDpi, Series(3, 0, 0, 0), STChartResources());
    painter.end();
    EXPECT_EQ(tiny.pixelColor(5, 5), QColor(Qt::white));
}

}  // namespace
