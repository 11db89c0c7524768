// The chart at a device pixel ratio: the screen image is the ratio-1 image
// with every logical pixel a block of device pixels, text drawn finer; the
// report image stays at the default size and ratio whatever the window does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "chart/bitmap_file.h"
#include "chart/chart_painter.h"
#include "chart/device_grid.h"
#include "chart/qz_ctrl_chart.h"
#include "support/temp_folder.h"

namespace {

struct STChartData {
    const char* m_pName;
    std::vector<double> m_values;
    int m_nHighlight;
};

std::vector<double> DenseValues() {
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i) {
        values.push_back(435.0 + (i * 7) % 31);
    }
    values[50000] = 5.0;
    return values;
}

std::vector<STChartData> ChartData() {
    return {{"empty", {}, -1},
            {"three bars", {450, 470.26, 430}, 1},
            {"ten bars", {450, 400, 500, 399.9, 500.1, 10.0, 5, 480, 420, 460}, 3},
            {"a bar at the top", {-200, 1e300, 450}, 1},
            {"dense", DenseValues(), 80000}};
}

void Fill(CChartPlot& chart, const STChartData& data) {
    chart.ClearData();
    chart.ClearReportData();
    for (const double value : data.m_values) {
        chart.AddData({chart.GetDataCount() + 1.0, value});
        chart.AddReportData({chart.GetReportDataCount() + 1.0, value});
    }
    chart.m_dLimitLow = 440.0;
    chart.m_dLimitHigh = 460.0;
    chart.m_nHighlight = data.m_nHighlight;
}

QImage ScreenAt(const STChartData& data, double ratio) {
    CChartPlot chart;
    chart.Layout(611, 234, ratio);
    Fill(chart, data);
    chart.PaintScreenImage();
    return chart.GetScreenImage().m_image;
}

// Where text stands on the default chart: the Y labels left of the ticks,
// the X labels below them and the highlighted value.
class CTextArea {
public:
    explicit CTextArea(const STChartData& data) {
        CChartPlot chart;
        chart.Layout(611, 234);
        m_plot = chart.PlotRect();
        if (data.m_nHighlight < 0) {
            return;
        }
        Fill(chart, data);
        const STPlotContext& context = chart.ScreenContext();
        const STChartPoint& point =
            context.m_series.at(static_cast<std::size_t>(data.m_nHighlight));
        const STPixelRect bar = IsDensePlot(context) ? DenseHighlightRect(context, m_plot, point)
                                                     : BarRect(context, m_plot, point);
        m_label = HighlightLabel(bar, point.y, {0, 0, 611, 234}, chart.Resources().m_labelFont)
                      .m_rect.toAlignedRect()
                      .adjusted(-1, -1, 1, 1);
    }
    bool Contains(int x, int y) const {
        return x <= m_plot.m_nLeft - 10 || y >= m_plot.m_nBottom + 9 || m_label.contains(x, y);
    }

private:
    STPixelRect m_plot;
    QRect m_label;
};

// The dark pixels' bounding box in the rectangle.
QRect DarkBox(const QImage& image, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) < 0x50 && qGreen(pixel) < 0x50 && qBlue(pixel) < 0x50) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

void SaveScreenshot(const QImage& image, const std::string& name) {
    if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
        image.save(QString::fromStdString(std::string(folder) + "/" + name));
    }
}

}  // namespace

// Bars, dense columns, frame, ticks, dashes and the highlight frame: each
// logical pixel of the ratio-1 image becomes one block of device pixels of
// its colour, at whole and fractional ratios alike.
TEST(ChartAtARatio, EveryPixelOutsideTheTextIsABlockOfTheRatioOneImage) {
    for (const STChartData& data : ChartData()) {
        const QImage single = ScreenAt(data, 1.0);
        const CTextArea text(data);
        for (const double ratio : {2.0, 1.5, 3.0}) {
            SCOPED_TRACE(std::string(data.m_pName) + " at " + std::to_string(ratio));
            const QImage scaled = ScreenAt(data, ratio);
            const STDeviceGrid grid{ratio};
            ASSERT_EQ(scaled.size(), QSize(grid.Edge(611), grid.Edge(234)));
            EXPECT_EQ(scaled.devicePixelRatio(), ratio);
            int compared = 0;
            for (int y = 0; y < single.height(); ++y) {
                for (int x = 0; x < single.width(); ++x) {
                    if (text.Contains(x, y)) {
                        continue;
                    }
                    const STPixelRect block = grid.Device({x, y, x + 1, y + 1});
                    for (int row = block.m_nTop; row < block.m_nBottom; ++row) {
                        for (int column = block.m_nLeft; column < block.m_nRight; ++column) {
                            ASSERT_EQ(scaled.pixel(column, row), single.pixel(x, y))
                                << "logical (" << x << ", " << y << ")";
                        }
                    }
                    ++compared;
                }
            }
            EXPECT_GT(compared, 611 * 234 / 2);
        }
    }
}

// The labels are set in fonts the ratio larger, not scaled-up pixels.
TEST(ChartAtARatio, TextIsDrawnAtTheRatio) {
    const STChartData data = ChartData().at(1);
    const QImage single = ScreenAt(data, 1.0);
    const QImage doubled = ScreenAt(data, 2.0);
    SaveScreenshot(doubled, "chart_ratio_2.png");
    // "100" at the top of Y, and the highlighted "470.3".
    for (const QRect area : {QRect(0, 0, 40, 20), QRect(150, 0, 100, 60)}) {
        const QRect box = DarkBox(single, area);
        const QRect fine = DarkBox(doubled, QRect(area.topLeft() * 2, area.size() * 2));
        ASSERT_FALSE(box.isEmpty());
        EXPECT_NEAR(fine.width(), 2 * box.width(), 3) << area.x();
        EXPECT_NEAR(fine.height(), 2 * box.height(), 3) << area.x();
        EXPECT_NEAR(fine.center().x(), 2 * box.center().x(), 3) << area.x();
        EXPECT_NEAR(fine.center().y(), 2 * box.center().y(), 3) << area.x();
        // Not the ratio-1 glyphs with their pixels doubled.
        EXPECT_NE(doubled.copy(QRect(area.topLeft() * 2, area.size() * 2)),
                  single.copy(area).scaled(area.size() * 2));
    }
}

class ReportImage : public TempFolder {
protected:
    std::string ReportBytes(const CChartPlot& chart, const char* name) const {
        EXPECT_TRUE(WriteBitmapFile(PathOf(name), chart.GetReportImage()));
        return ReadBytes(name);
    }
};

// The window grows and moves to other screens; the report's bitmap and
// the workbook's picture stay as they were.
TEST_F(ReportImage, KeepsTheDefaultSizeAndRatioWhateverTheLayout) {
    for (const STChartData& data : ChartData()) {
        SCOPED_TRACE(data.m_pName);
        CChartPlot chart;
        chart.Layout(611, 234);
        Fill(chart, data);
        chart.DrawReportImage();
        const std::string expected = ReportBytes(chart, "default.bmp");
        ASSERT_EQ(expected.size(), 14 + 40 + 234 * DibStride(611));
        for (const QSize size : {QSize(900, 400), QSize(300, 150)}) {
            for (const double ratio : {1.0, 1.25}) {
                chart.Layout(size.width(), size.height(), ratio);
                chart.DrawReportImage();
                EXPECT_EQ(chart.GetReportImage().m_image.devicePixelRatio(), 1.0);
                ASSERT_EQ(ReportBytes(chart, "resized.bmp"), expected)
                    << size.width() << "x" << size.height() << " at " << ratio;
            }
        }
        EXPECT_EQ(chart.ReportWidth(), 611);
        EXPECT_EQ(chart.ReportHeight(), 234);
        EXPECT_EQ(chart.PlotRect().Width(), 300 - 80);  // the screen follows the last layout
    }
}

class ChartWidgetAtItsRatio : public testing::Test {
protected:
    void SetUp() override {
        m_window.resize(1000, 500);
        m_placeholder.setParent(&m_window);
        m_placeholder.setGeometry(10, 20, 611, 234);
        m_window.show();
        ASSERT_EQ(m_chart.CreateFromStatic(&m_window, &m_placeholder), 1);
        Fill(m_chart, ChartData().at(2));
        m_chart.DrawReportImage();
    }
    // The widget as the screen shows it, device pixels and all.
    QImage Grab() { return m_chart.grab().toImage(); }

    QWidget m_window;
    QWidget m_placeholder;
    CQZCtrlChart m_chart;
};

TEST_F(ChartWidgetAtItsRatio, PaintsAtItsScreensRatioAndKeepsTheReportAtTheDefaultSize) {
    const double ratio = m_chart.devicePixelRatioF();
    const QImage report = m_chart.GetReportImage().m_image;
    m_chart.resize(900, 300);
    const QImage grabbed = Grab();
    EXPECT_EQ(m_chart.ScreenPixelRatio(), DrawingRatio(ratio));
    const QImage screen = m_chart.GetScreenImage().m_image;
    EXPECT_EQ(screen.size(), QSize(STDeviceGrid{ratio}.Edge(900), STDeviceGrid{ratio}.Edge(300)));
    EXPECT_EQ(screen.devicePixelRatio(), DrawingRatio(ratio));
    if (ratio == 1.0 || ratio == 2.0) {
        EXPECT_EQ(grabbed.convertToFormat(QImage::Format_RGB32),
                  screen.convertToFormat(QImage::Format_RGB32));
    }
    SaveScreenshot(grabbed, "chart_widget_at_" + std::to_string(static_cast<int>(ratio * 100)) +
                                "_percent.png");
    m_chart.DrawReportImage();
    EXPECT_EQ(m_chart.GetReportImage().m_image, report);
    EXPECT_EQ(report.size(), QSize(611, 234));
}

// A screen of another ratio: the next paint lays the image out anew.
TEST_F(ChartWidgetAtItsRatio, FollowsAChangeOfRatioAtTheNextPaint) {
    const double ratio = DrawingRatio(m_chart.devicePixelRatioF());
    m_chart.Layout(m_chart.width(), m_chart.height(), ratio == 1.0 ? 2.0 : 1.0);
    ASSERT_NE(m_chart.ScreenPixelRatio(), ratio);
    Grab();
    EXPECT_EQ(m_chart.ScreenPixelRatio(), ratio);
    EXPECT_EQ(m_chart.GetScreenImage().m_image.devicePixelRatio(), ratio);
}
