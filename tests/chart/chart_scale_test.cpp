#include "chart/chart_scale.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "chart/chart_plot.h"

namespace {

void ExpectScale(const STChartScale& scale, std::int32_t maximum, std::int32_t step,
                 double minorStep, double pixelsPerUnit) {
    EXPECT_EQ(scale.m_nMaximum, maximum);
    EXPECT_EQ(scale.m_nStep, step);
    EXPECT_DOUBLE_EQ(scale.m_dMinorStep, minorStep);
    EXPECT_DOUBLE_EQ(scale.m_dPixelsPerUnit, pixelsPerUnit);
}

// A chart of 611 x 234 pixels, as in the main window: plot 531 x 199.
class ChartModel : public testing::Test {
protected:
    void SetUp() override {
        m_chart.Layout(611, 234);
        m_chart.ClearData();
    }
    void Add(double x, double y) { m_chart.AddData({x, y}); }
    const STPlotContext& Screen() const { return m_chart.ScreenContext(); }

    CChartPlot m_chart;
};

}  // namespace

TEST(ChartScale, NewScalesHoldOnlyMaximumDivisionsAndSubdivisions) {
    const STChartScale scale;
    EXPECT_EQ(scale.m_nMaximum, 10);
    EXPECT_EQ(scale.m_nDivisions, 10);
    EXPECT_EQ(scale.m_nSubdivisions, 5);
    EXPECT_EQ(scale.m_nStep + scale.m_nExtent, 0);
}

TEST_F(ChartModel, ClearedChartHasTheDefaultAxes) {
    EXPECT_EQ(m_chart.PlotRect().m_nLeft, 50);
    EXPECT_EQ(m_chart.PlotRect().m_nTop, 10);
    EXPECT_EQ(m_chart.PlotRect().Width(), 531);
    EXPECT_EQ(m_chart.PlotRect().Height(), 199);
    ExpectScale(Screen().m_xScale, 10, 1, 0.2, 531 / 10.0);
    ExpectScale(Screen().m_yScale, 100, 20, 4.0, 199 / 100.0);
    EXPECT_EQ(m_chart.GetDataCount(), 0);
    EXPECT_EQ(m_chart.m_nHighlight, -1);
}

TEST_F(ChartModel, WorkedExampleOfTwelveItems) {
    for (int x = 1; x <= 12; ++x) {
        Add(x, 420 + 5 * x);
    }
    ExpectScale(Screen().m_xScale, 13, 2, 0.4, 531 / 20.0);
    ExpectScale(Screen().m_yScale, 624, 125, 25.0, 199 / 625.0);
}

TEST_F(ChartModel, XGrowsWhenXPlusAHalfPassesTheMaximum) {
    Add(9, 100);
    EXPECT_EQ(Screen().m_xScale.m_nMaximum, 10);
    Add(10, 100);
    EXPECT_EQ(Screen().m_xScale.m_nMaximum, 13);
    Add(12, 100);
    EXPECT_EQ(Screen().m_xScale.m_nMaximum, 13);
    Add(13, 100);
    EXPECT_EQ(Screen().m_xScale.m_nMaximum, 17);
}

TEST_F(ChartModel, YFollowsTheLargestValueUpAndDown) {
    Add(1, 50);
    ExpectScale(Screen().m_yScale, 65, 13, 2.6, 199 / 65.0);
    Add(2, 500);
    EXPECT_EQ(Screen().m_yScale.m_nMaximum, 650);
    m_chart.ClearData();
    Add(1, 20);
    EXPECT_EQ(Screen().m_yScale.m_nMaximum, 26);
}

TEST_F(ChartModel, TheSameXTwiceKeepsTheFirstPointAndScales) {
    Add(1, 50);
    Add(1, 900);
    EXPECT_EQ(m_chart.GetDataCount(), 1);
    EXPECT_EQ(Screen().m_series.at(1.0).y, 50);
    EXPECT_EQ(Screen().m_yScale.m_nMaximum, 65);
}

TEST_F(ChartModel, ResizeKeepsMaximaAndStepsAndChangesOnlyPixels) {
    for (int x = 1; x <= 12; ++x) {
        Add(x, 480);
    }
    m_chart.Layout(800, 400);
    ExpectScale(Screen().m_xScale, 13, 2, 0.4, 720 / 20.0);
    ExpectScale(Screen().m_yScale, 624, 125, 25.0, 365 / 625.0);
}

TEST_F(ChartModel, ReportContextIsIndependentOfTheScreen) {
    Add(1, 50);
    m_chart.m_nHighlight = 0;
    m_chart.ClearReportData();
    m_chart.AddReportData({1, 480});
    m_chart.AddReportData({2, 400});
    EXPECT_EQ(m_chart.GetReportDataCount(), 2);
    EXPECT_EQ(m_chart.GetDataCount(), 1);
    EXPECT_EQ(m_chart.m_nHighlight, 0);
    EXPECT_EQ(m_chart.ReportContext().m_yScale.m_nMaximum, 624);
    EXPECT_EQ(m_chart.ReportContext().m_xScale.m_nExtent, 531);
}

// Values under 1/1.3 give a maximum of 0 or below; huge values would pass
// int32; an x that is not a number would break the point order.
TEST_F(ChartModel, DegenerateValuesKeepAUsableScale) {
    Add(1, 0.5);
    ExpectScale(Screen().m_yScale, 0, 1, 0.2, 199 / 5.0);
    Add(2, -300);
    EXPECT_EQ(Screen().m_yScale.m_nStep, 1);
    m_chart.ClearData();
    Add(1, -300);
    EXPECT_EQ(Screen().m_yScale.m_nMaximum, -390);
    EXPECT_EQ(Screen().m_yScale.m_nStep, 1);
    Add(1e12, 1e300);
    EXPECT_EQ(Screen().m_xScale.m_nMaximum, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Screen().m_yScale.m_nMaximum, std::numeric_limits<std::int32_t>::max());
    EXPECT_GT(Screen().m_yScale.m_dPixelsPerUnit, 0.0);
    Add(std::numeric_limits<double>::quiet_NaN(), 5);
    EXPECT_EQ(m_chart.GetDataCount(), 2);
}

// A value the batch file left empty keeps its place among the points, but
// neither it nor an infinite value says where Y ends.
TEST_F(ChartModel, ValuesThatAreNotNumbersKeepTheirPlaceButNotTheScale) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::vector<double> values;
        std::int32_t maximum;
    } cases[] = {
        {{450, nan, 480}, 624}, {{nan}, 100},     {{nan, 50}, 65},
        {{inf, 50}, 65},        {{50, -inf}, 65}, {{nan, inf, -inf}, 100},
    };
    for (const auto& [values, maximum] : cases) {
        m_chart.ClearData();
        for (const double value : values) {
            Add(m_chart.GetDataCount() + 1.0, value);
        }
        EXPECT_EQ(m_chart.GetDataCount(), static_cast<std::int32_t>(values.size()));
        EXPECT_EQ(Screen().m_yScale.m_nMaximum, maximum) << values.size() << " values";
        EXPECT_GT(Screen().m_yScale.m_dPixelsPerUnit, 0.0);
        EXPECT_EQ(Screen().m_xScale.m_nMaximum, 10);
    }
}
