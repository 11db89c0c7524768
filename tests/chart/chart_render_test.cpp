// The rendered images, read pixel by pixel at the positions the geometry
// gives.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "chart/chart_painter.h"
#include "chart/qz_ctrl_chart.h"

namespace {

constexpr QRgb kPlotBackground = 0xB4B4B4;
constexpr QRgb kOutline = 0x646464;
constexpr QRgb kYellow = 0xFFFF00;
// The brushes blended over the plot background at alpha 180.
constexpr QRgb kPassOverPlot = 0x7BE57B;
constexpr QRgb kLowOverPlot = 0x353535;
constexpr QRgb kFail = 0xFA6464;

bool Near(QRgb actual, QRgb expected) {
    return std::abs(qRed(actual) - qRed(expected)) <= 3 &&
           std::abs(qGreen(actual) - qGreen(expected)) <= 3 &&
           std::abs(qBlue(actual) - qBlue(expected)) <= 3;
}

::testing::AssertionResult PixelIs(const QImage& image, int x, int y, QRgb expected) {
    const QRgb actual = image.pixel(x, y) & 0xFFFFFF;
    if (Near(actual, expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                         << actual << ", expected " << expected;
}

bool IsDark(QRgb pixel) {
    return qRed(pixel) < 0x50 && qGreen(pixel) < 0x50 && qBlue(pixel) < 0x50;
}

// Pixels dark enough to be text in the rectangle.
int DarkPixels(const QImage& image, const QRect& area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            dark += image.rect().contains(x, y) && IsDark(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return dark;
}

// Left in the screenshot folder to look at after a run.
void SaveScreenshot(const QImage& image, const char* name) {
    if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
        image.save(QString::fromUtf8(folder) + "/" + QString::fromUtf8(name));
    }
}

class ChartImages : public testing::Test {
protected:
    void SetUp() override { m_chart.Layout(611, 234); }

    // Screen and report fed the same values; the screen image painted.
    void Show(const std::vector<double>& values, double low, double high, int highlight = -1) {
        m_chart.ClearData();
        m_chart.ClearReportData();
        for (const double value : values) {
            m_chart.AddData({m_chart.GetDataCount() + 1.0, value});
            m_chart.AddReportData({m_chart.GetReportDataCount() + 1.0, value});
        }
        m_chart.m_dLimitLow = low;
        m_chart.m_dLimitHigh = high;
        m_chart.m_nHighlight = highlight;
        m_chart.PaintScreenImage();
        m_chart.DrawReportImage();
    }
    STPixelRect Bar(double x, double y) const {
        return BarRect(m_chart.ScreenContext(), m_chart.PlotRect(), {x, y});
    }
    QImage Screen() const { return m_chart.GetScreenImage().m_image; }
    QImage Report() const { return m_chart.GetReportImage().m_image; }
    // A pixel inside the bar's fill, just above the plot bottom and clear of
    // the grid line through the bar's centre.
    static QPoint InsideBar(const STPixelRect& bar) { return {bar.m_nLeft + 2, bar.m_nBottom - 1}; }

    CChartPlot m_chart;
};

}  // namespace

TEST_F(ChartImages, BackgroundFrameAndEmptyPlot) {
    Show({}, 0, 0);
    const QImage image = Screen();
    EXPECT_EQ(image.format(), QImage::Format_BGR888);
    EXPECT_TRUE(PixelIs(image, 2, 2, QGuiApplication::palette().color(QPalette::Window).rgb()));
    EXPECT_TRUE(PixelIs(image, 49, 100, 0x000000));  // frame, left of the plot
    EXPECT_TRUE(PixelIs(image, 300, 9, 0x000000));   // frame, above
    EXPECT_TRUE(PixelIs(image, 300, 100, kPlotBackground));
    EXPECT_EQ(DarkPixels(image, QRect(40, 219, 20, 15)), 0);  // no label at the origin
    EXPECT_GT(DarkPixels(image, QRect(95, 219, 20, 15)), 0);  // "1" at the first major tick
    EXPECT_GT(DarkPixels(image, QRect(0, 2, 40, 16)), 0);     // "100" at the top of Y
    // The grid at Y = 20 is dashed: both grey and plot background along it.
    const int y = static_cast<int>(209 - 20 * 1.99f + 0.5f);
    bool grey = false;
    bool gap = false;
    for (int x = 60; x < 90; ++x) {
        grey = grey || Near(image.pixel(x, y), 0x808080);
        gap = gap || Near(image.pixel(x, y), kPlotBackground);
    }
    EXPECT_TRUE(grey && gap);
}

TEST_F(ChartImages, BarsAreColouredByValidityAndLimits) {
    const std::vector<double> values{450, 400, 500, 399.9, 500.1, 10.0, 5, 480, 420, 460};
    Show(values, 400, 500);
    const std::vector<QRgb> expected{kPassOverPlot, kPassOverPlot, kPassOverPlot, kFail,
                                     kFail,         kLowOverPlot,  kLowOverPlot,  kPassOverPlot,
                                     kPassOverPlot, kPassOverPlot};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QPoint inside = InsideBar(Bar(static_cast<double>(i) + 1.0, values[i]));
        EXPECT_TRUE(PixelIs(Screen(), inside.x(), inside.y(), expected[i])) << "bar " << i + 1;
        EXPECT_TRUE(PixelIs(Report(), inside.x(), inside.y(), expected[i])) << "bar " << i + 1;
    }
    Show({399.9, 5}, 0, 0);  // no limits: every valid bar passes
    const QPoint first = InsideBar(Bar(1, 399.9));
    EXPECT_TRUE(PixelIs(Screen(), first.x(), first.y(), kPassOverPlot));
    const QPoint second = InsideBar(Bar(2, 5));
    EXPECT_TRUE(PixelIs(Screen(), second.x(), second.y(), kLowOverPlot));
}

TEST_F(ChartImages, NinePointsGetWideBarsAndTenNarrowOnes) {
    Show(std::vector<double>(9, 450), 0, 0);
    EXPECT_EQ(BarHalfWidth(m_chart.ScreenContext()), 16);  // 1.5 spacings of 10.62 px
    STPixelRect bar = Bar(5, 450);
    EXPECT_TRUE(PixelIs(Screen(), bar.m_nLeft, bar.m_nBottom - 20, kOutline));
    EXPECT_TRUE(PixelIs(Screen(), bar.m_nRight, bar.m_nBottom - 20, kOutline));
    EXPECT_TRUE(PixelIs(Screen(), bar.m_nLeft - 1, bar.m_nBottom - 20, kPlotBackground));
    EXPECT_EQ(bar.Width(), 32);

    Show(std::vector<double>(10, 450), 0, 0);
    EXPECT_EQ(BarHalfWidth(m_chart.ScreenContext()), 5);  // 0.5 spacings of 10.62 px
    bar = Bar(5, 450);
    EXPECT_EQ(bar.Width(), 10);
    EXPECT_EQ(bar.m_nTop, static_cast<int>(209 - 199.0 / 585 * 450 + 0.5));
    EXPECT_TRUE(PixelIs(Screen(), bar.m_nRight, bar.m_nBottom - 20, kOutline));
}

TEST_F(ChartImages, HighlightShowsValueAndFrameOnScreenOnly) {
    Show({450, 470.26, 430}, 0, 0, 1);
    const STPixelRect bar = Bar(2, 470.26);
    const int middle = (bar.m_nTop + bar.m_nBottom) / 2;
    EXPECT_TRUE(PixelIs(Screen(), bar.m_nLeft, middle, kYellow));
    EXPECT_TRUE(PixelIs(Screen(), bar.m_nRight, middle, kYellow));
    EXPECT_TRUE(PixelIs(Report(), bar.m_nLeft, middle, kOutline));
    const QRect label(bar.m_nLeft - 10, bar.m_nTop - 20, bar.Width() + 20, 18);
    EXPECT_GT(DarkPixels(Screen(), label), 10);
    EXPECT_EQ(DarkPixels(Report(), label), 0);
    const STPixelRect other = Bar(1, 450);
    EXPECT_TRUE(PixelIs(Screen(), other.m_nLeft, middle + 5, kOutline));
}

// Before the fix the empty point vanished: 470 moved into its slot and the
// highlight framed 430.
TEST_F(ChartImages, APointWithoutAValueLeavesAnEmptySlot) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Show({450, nan, 470, 430}, 0, 0, 2);
    const QPoint empty = InsideBar(Bar(2, nan));
    EXPECT_TRUE(PixelIs(Screen(), empty.x(), empty.y(), kPlotBackground));
    const STPixelRect highlighted = Bar(3, 470);
    const int middle = (highlighted.m_nTop + highlighted.m_nBottom) / 2;
    EXPECT_TRUE(PixelIs(Screen(), highlighted.m_nLeft, middle, kYellow));
    EXPECT_TRUE(PixelIs(Screen(), InsideBar(highlighted).x(), highlighted.m_nTop, kYellow));
    const QPoint last = InsideBar(Bar(4, 430));
    EXPECT_TRUE(PixelIs(Screen(), last.x(), last.y(), kPassOverPlot));
    EXPECT_TRUE(PixelIs(Report(), empty.x(), empty.y(), kPlotBackground));
    SaveScreenshot(Screen(), "chart_empty_slot.png");

    // Highlighting the empty point shows neither a frame nor a label.
    Show({450, nan, 470}, 0, 0, 1);
    int yellow = 0;
    for (int y = 0; y < Screen().height(); ++y) {
        for (int x = 0; x < Screen().width(); ++x) {
            yellow += Near(Screen().pixel(x, y), kYellow) ? 1 : 0;
        }
    }
    EXPECT_EQ(yellow, 0);
    const STPixelRect slot = Bar(2, nan);
    EXPECT_EQ(DarkPixels(Screen(), QRect(slot.m_nLeft - 10, 10, slot.Width() + 20, 199)), 0);
}

TEST_F(ChartImages, OutOfRangeValuesStayInsideThePlot) {
    Show({-200, 1e300, 450}, 0, 0, 1);
    const STPixelRect negative = Bar(1, -200);
    EXPECT_EQ(negative.m_nTop, m_chart.PlotRect().m_nBottom);  // no bar at all
    EXPECT_TRUE(PixelIs(Screen(), InsideBar(negative).x(), 100, kPlotBackground));
    const STPixelRect huge = Bar(2, 1e300);
    EXPECT_EQ(huge.m_nTop, m_chart.PlotRect().m_nTop);
    EXPECT_TRUE(PixelIs(Screen(), InsideBar(huge).x(), m_chart.PlotRect().m_nTop - 1, 0x000000));
    // Its value label would stand above the image: it is kept at the top.
    EXPECT_GT(DarkPixels(Screen(), QRect(huge.m_nLeft - 40, 0, huge.Width() + 80, 9)), 0);

    m_chart.ClearData();
    m_chart.AddData({1e12, 450});
    m_chart.AddData({2, 0.2});
    m_chart.PaintScreenImage();
    EXPECT_LE(Bar(1e12, 450).m_nRight,
              m_chart.PlotRect().m_nRight + BarHalfWidth(m_chart.ScreenContext()));
}

// 100,000 points of 450 against limits 400 and 500, about 200 to a pixel
// column: one NG reading below its neighbours, one above them, a run of
// readings of 5 (no valid value) and a highlighted 470.
class DenseChartImages : public ChartImages {
protected:
    static constexpr int kPoints = 100000;
    static constexpr int kLowNg = 30000;
    static constexpr int kHighNg = 60000;
    static constexpr int kLowRun = 45000;
    static constexpr int kLowRunLength = 3000;
    static constexpr int kHighlighted = 80000;

    void SetUp() override {
        ChartImages::SetUp();
        std::vector<double> values(kPoints, 450.0);
        values[kLowNg] = 380.0;
        values[kHighNg] = 520.0;
        std::fill_n(values.begin() + kLowRun, kLowRunLength, 5.0);
        values[kHighlighted] = 470.0;
        Show(values, 400, 500, kHighlighted);
        ASSERT_TRUE(IsDensePlot(m_chart.ScreenContext()));
    }
    // The pixel column of the 0-based point.
    int ColumnOf(int index) const {
        const STPixelRect& plot = m_chart.PlotRect();
        const int centre = Bar(index + 1.0, 450).m_nLeft + BarHalfWidth(m_chart.ScreenContext());
        return std::clamp(centre, plot.m_nLeft, plot.m_nRight - 1);
    }
    int Bottom() const { return m_chart.PlotRect().m_nBottom - 1; }
    // The columns whose pixel just above the plot bottom has the colour.
    static std::vector<int> ColumnsOf(const QImage& image, const STPixelRect& plot, QRgb colour) {
        std::vector<int> columns;
        for (int x = plot.m_nLeft; x < plot.m_nRight; ++x) {
            if (Near(image.pixel(x, plot.m_nBottom - 1), colour)) {
                columns.push_back(x);
            }
        }
        return columns;
    }
};

TEST_F(DenseChartImages, EachNgReadingIsARedColumnAsTallAsItsTallestNeighbour) {
    SaveScreenshot(Screen(), "chart_dense.png");
    const int tops[] = {Bar(1, 450).m_nTop, Bar(1, 520).m_nTop};
    const int ng[] = {kLowNg, kHighNg};
    for (const QImage& image : {Screen(), Report()}) {
        EXPECT_EQ(ColumnsOf(image, m_chart.PlotRect(), kFail),
                  (std::vector<int>{ColumnOf(kLowNg), ColumnOf(kHighNg)}));
        for (int i = 0; i < 2; ++i) {
            for (int y = tops[i]; y <= Bottom(); ++y) {
                ASSERT_TRUE(PixelIs(image, ColumnOf(ng[i]), y, kFail)) << "NG " << i;
            }
            EXPECT_FALSE(Near(image.pixel(ColumnOf(ng[i]), tops[i] - 1), kFail)) << "NG " << i;
        }
    }
}

// Pass columns show the pass fill, runs of invalid values the low one, and
// no bar outline is left anywhere along the plot.
TEST_F(DenseChartImages, PassAndLowColumnsShowTheirFillAndNoOutlines) {
    const STPixelRect& plot = m_chart.PlotRect();
    const int lowColumn = ColumnOf(kLowRun + kLowRunLength / 2);
    EXPECT_TRUE(PixelIs(Screen(), lowColumn, Bottom(), kLowOverPlot));
    EXPECT_TRUE(PixelIs(Report(), lowColumn, Bottom(), kLowOverPlot));
    for (const QImage& image : {Screen(), Report()}) {
        const std::size_t pass = ColumnsOf(image, plot, kPassOverPlot).size();
        const std::size_t low = ColumnsOf(image, plot, kLowOverPlot).size();
        // The last points lie short of the right edge; grid lines show through.
        EXPECT_GT(pass, static_cast<std::size_t>(ColumnOf(kPoints - 1) - plot.m_nLeft) * 9 / 10);
        EXPECT_GE(low, 3u);
        EXPECT_TRUE(ColumnsOf(image, plot, kOutline).empty());
        for (int y = plot.m_nTop; y < plot.m_nBottom; ++y) {
            ASSERT_FALSE(Near(image.pixel(ColumnOf(kPoints / 2), y), kOutline)) << y;
        }
    }
}

TEST_F(DenseChartImages, TheHighlightedReadingIsFramedAndLabelledOnScreenOnly) {
    const STPixelRect frame = DenseHighlightRect(m_chart.ScreenContext(), m_chart.PlotRect(),
                                                 {kHighlighted + 1.0, 470.0});
    EXPECT_EQ(frame.m_nLeft + 1, ColumnOf(kHighlighted));
    EXPECT_EQ(frame.m_nTop, Bar(1, 470).m_nTop);
    const int middle = (frame.m_nTop + frame.m_nBottom) / 2;
    EXPECT_TRUE(PixelIs(Screen(), frame.m_nLeft, middle, kYellow));
    EXPECT_TRUE(PixelIs(Screen(), frame.m_nRight, middle, kYellow));
    EXPECT_TRUE(PixelIs(Screen(), ColumnOf(kHighlighted), frame.m_nTop, kYellow));
    EXPECT_TRUE(PixelIs(Screen(), ColumnOf(kHighlighted), Bottom(), kPassOverPlot));
    EXPECT_TRUE(PixelIs(Report(), frame.m_nLeft, Bottom(), kPassOverPlot));
    const QRect label(frame.m_nLeft - 20, frame.m_nTop - 20, 40, 18);
    EXPECT_GT(DarkPixels(Screen(), label), 10);
    EXPECT_EQ(DarkPixels(Report(), label), 0);
}

// Ties in binary (470.25) are where Qt's own rounding and the statistics'
// part ways.
TEST(ChartLabels, HighlightValueIsRoundedAsTheStatisticsRoundIt) {
    const STChartResources resources;
    const STPixelRect client{0, 0, 611, 234};
    const struct {
        double value;
        const char* text;
    } cases[] = {{470.25, "470.2"}, {470.75, "470.8"}, {470.26, "470.3"}, {0.25, "0.2"},
                 {-0.25, "-0.2"},   {0.15, "0.1"},     {1000.0, "1000.0"}};
    for (const auto& [value, text] : cases) {
        const STChartLabel label =
            HighlightLabel({100, 80, 110, 209}, value, client, resources.m_labelFont);
        EXPECT_EQ(label.m_text.toStdString(), text) << value;
    }
    // Next to the right edge and above the top the label is pushed inside.
    const STChartLabel label =
        HighlightLabel({600, 5, 610, 209}, 470.25, client, resources.m_labelFont);
    EXPECT_GE(label.m_rect.left(), 0.0);
    EXPECT_GE(label.m_rect.top(), 0.0);
    EXPECT_LE(label.m_rect.right(), 611.0);
}

// Against the same points with a value in the empty one's place: the same
// places and bars, only the empty one missing.
TEST(ChartBars, APointWithoutAValueKeepsItsSlot) {
    const struct {
        int count;
        int empty;
    } cases[] = {{5, 0}, {5, 2}, {5, 4}, {12, 6}, {12, 11}};
    for (const auto& [count, empty] : cases) {
        const auto slotsWith = [count, empty](double missing) {
            CChartPlot chart;
            chart.Layout(611, 234);
            chart.ClearData();
            for (int i = 0; i < count; ++i) {
                chart.AddData({i + 1.0, i == empty ? missing : 440.0 + 3 * i});
            }
            return BarSlots(chart.ScreenContext(), chart.PlotRect());
        };
        const std::vector<STBarSlot> places = slotsWith(std::numeric_limits<double>::quiet_NaN());
        const std::vector<STBarSlot> expected = slotsWith(400.0);
        ASSERT_EQ(places.size(), expected.size()) << count << " points";
        for (std::size_t i = 0; i < places.size(); ++i) {
            const STPixelRect& rect = places[i].m_rect;
            const STPixelRect& full = expected[i].m_rect;
            const bool isEmpty = static_cast<int>(i) == empty;
            EXPECT_EQ(places[i].m_bBar, !isEmpty) << count << " points, slot " << i;
            EXPECT_EQ(std::pair(rect.m_nLeft, rect.m_nRight),
                      std::pair(full.m_nLeft, full.m_nRight));
            EXPECT_EQ(rect.m_nTop, isEmpty ? rect.m_nBottom : full.m_nTop) << i;
        }
    }
}

// The last label stands at the plot's right edge, with only the right
// margin beyond it; five digits did not fit there.
TEST(ChartLabels, XLabelsStayInsideTheClientAreaAndApart) {
    const STPixelRect client{0, 0, 611, 234};
    for (const int count : {1, 10, 99, 1000, 10000}) {
        CChartPlot chart;
        chart.Layout(client.Width(), client.Height());
        chart.ClearData();
        for (int i = 1; i <= count; ++i) {
            chart.AddData({static_cast<double>(i), 450});
        }
        const STChartScale& scale = chart.ScreenContext().m_xScale;
        const std::vector<STChartLabel> labels =
            XAxisLabels(scale, chart.PlotRect(), client, chart.Resources().m_axisFont);
        ASSERT_EQ(labels.size(), 10U) << count << " points";
        EXPECT_EQ(labels.back().m_text.toStdString(), std::to_string(10 * scale.m_nStep));
        const QRectF inside(client.m_nLeft, client.m_nTop, client.Width(), client.Height());
        const QFontMetricsF metrics(chart.Resources().m_axisFont);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const QRectF& rect = labels[i].m_rect;
            EXPECT_TRUE(inside.contains(rect)) << count << " points, label " << i;
            EXPECT_GE(rect.width(), metrics.horizontalAdvance(labels[i].m_text)) << i;
            if (i > 0) {
                EXPECT_LE(labels[i - 1].m_rect.right(), rect.left()) << count << " points, " << i;
            }
        }
    }
}

TEST(ChartLayout, TinyOrEmptyAreasDrawWithoutEndlessLoops) {
    CChartPlot chart;
    for (const auto& [width, height] : {std::pair{60, 30}, {80, 35}, {1, 1}, {0, 0}}) {
        chart.Layout(width, height);
        chart.ClearData();
        chart.AddData({1, 0.3});
        chart.ClearReportData();
        chart.AddReportData({1, -5});
        chart.PaintScreenImage();
        chart.DrawReportImage();
    }
    SUCCEED();
}

TEST(ChartWidget, TakesThePlaceholdersPlaceAndShowsTheImage) {
    QWidget window;
    window.resize(700, 300);
    QWidget placeholder(&window);
    placeholder.setGeometry(16, 40, 611, 234);
    CQZCtrlChart chart;
    ASSERT_EQ(chart.CreateFromStatic(&window, &placeholder), 1);
    EXPECT_EQ(chart.geometry(), QRect(16, 40, 611, 234));
    EXPECT_TRUE(placeholder.isHidden());
    EXPECT_EQ(chart.m_dLimitLow + chart.m_dLimitHigh, 0.0);
    EXPECT_EQ(chart.PlotRect().Width(), 531);
    for (const double value :
         {452.0, 447.5, 461.0, 438.0, 455.5, 449.0, 470.0, 443.0, 458.0, 451.0, 9.0, 446.0}) {
        chart.AddData({chart.GetDataCount() + 1.0, value});
    }
    chart.m_dLimitLow = 440;
    chart.m_dLimitHigh = 465;
    chart.m_nHighlight = 3;
    window.show();
    const QImage shown = chart.grab().toImage();
    // In device pixels, for a run at a screen ratio of 2 or more.
    const int ratio = static_cast<int>(shown.devicePixelRatio());
    EXPECT_TRUE(PixelIs(shown, 300 * ratio, 100 * ratio, kPlotBackground) ||
                !Near(shown.pixel(300 * ratio, 100 * ratio), 0));
    const STPixelRect bar = BarRect(chart.ScreenContext(), chart.PlotRect(), {7, 470});
    EXPECT_TRUE(PixelIs(shown, (bar.m_nLeft + 2) * ratio, (bar.m_nBottom - 1) * ratio, kFail));
    if (const char* folder = std::getenv("MARLO_CHART_PNG")) {
        shown.save(QString::fromUtf8(folder) + "/chart.png");
    }
    chart.resize(800, 300);
    EXPECT_EQ(chart.PlotRect().Width(), 720);
    EXPECT_EQ(chart.ScreenContext().m_xScale.m_nMaximum, 13);
}
