#include "chart/chart_scale.h"

#include <gtest/gtest.h>

#include <cmath>
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
    EXPECT_EQ(Screen().m_series.at(0).y, 50);
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

TEST_F(ChartModel, PointsAddedOutOfOrderAreKeptInXOrderOnce) {
    for (const double x : {3.0, 1.0, 5.0, 2.0, 1.0, 4.0, 3.0}) {
        Add(x, 100 * x);
    }
    std::vector<double> xs;
    for (const STChartPoint& point : Screen().m_series) {
        xs.push_back(point.x);
        EXPECT_EQ(point.y, 100 * point.x);
    }
    EXPECT_EQ(xs, (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Screen().m_yScale.m_nMaximum, 650);
}

namespace {

void ExpectSameScale(const STChartScale& actual, const STChartScale& expected) {
    EXPECT_EQ(actual.m_nMaximum, expected.m_nMaximum);
    EXPECT_EQ(actual.m_nStep, expected.m_nStep);
    EXPECT_EQ(actual.m_dPixelsPerUnit, expected.m_dPixelsPerUnit);
    EXPECT_EQ(actual.m_nExtent, expected.m_nExtent);
}

// The same points, a value that is not a number matching its like.
void ExpectSameSeries(const STPlotContext& actual, const STPlotContext& expected) {
    ASSERT_EQ(actual.m_series.size(), expected.m_series.size());
    for (std::size_t i = 0; i < actual.m_series.size(); ++i) {
        const STChartPoint& point = actual.m_series[i];
        const STChartPoint& wanted = expected.m_series[i];
        EXPECT_EQ(point.x, wanted.x) << i;
        EXPECT_TRUE(point.y == wanted.y || (std::isnan(point.y) && std::isnan(wanted.y))) << i;
    }
}

}  // namespace

// The window deletes a measurement by removing its point instead of filling
// the chart anew; both must leave the same chart, scales and picture.
TEST(ChartRemoveData, LeavesWhatClearingAndAddingTheRestLeaves) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> many(1000);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = 430.0 + static_cast<double>(i * 7 % 41);
    }
    const struct {
        const char* what;
        std::vector<double> values;
        std::int32_t index;
    } cases[] = {
        {"middle", {450, 460, 470}, 1},
        {"the largest value: Y shrinks", {450, 900, 470}, 1},
        {"the tenth point: X back to 10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0},
        {"the last", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 9},
        {"a point without a value", {450, nan, 470}, 1},
        {"before one without a value", {nan, 450, 470}, 0},
        {"the only point", {50}, 0},
        {"one of a thousand", many, 500},
    };
    for (const auto& [what, values, index] : cases) {
        SCOPED_TRACE(what);
        CChartPlot removed;
        CChartPlot refilled;
        std::vector<double> rest = values;
        rest.erase(rest.begin() + index);
        const auto fill = [](CChartPlot& chart, const std::vector<double>& points) {
            chart.Layout(611, 234);
            chart.ClearData();
            for (const double value : points) {
                chart.AddData({chart.GetDataCount() + 1.0, value});
            }
        };
        fill(removed, values);
        fill(refilled, rest);
        removed.RemoveData(index);
        const STPlotContext& actual = removed.ScreenContext();
        const STPlotContext& expected = refilled.ScreenContext();
        ExpectSameSeries(actual, expected);
        ExpectSameScale(actual.m_xScale, expected.m_xScale);
        ExpectSameScale(actual.m_yScale, expected.m_yScale);
        removed.PaintScreenImage();
        refilled.PaintScreenImage();
        EXPECT_TRUE(removed.GetScreenImage().m_image == refilled.GetScreenImage().m_image);
    }
}

TEST(ChartRemoveData, KeepsTheHighlightOnItsPointAndIgnoresOtherIndices) {
    const struct {
        std::int32_t highlight;
        std::int32_t index;
        std::int32_t after;
        std::int32_t count;
    } cases[] = {{0, 1, 0, 2},   {2, 1, 1, 2}, {1, 1, -1, 2},
                 {-1, 0, -1, 2}, {1, 3, 1, 3}, {1, -1, 1, 3}};
    for (const auto& [highlight, index, after, count] : cases) {
        CChartPlot chart;
        chart.Layout(611, 234);
        chart.ClearData();
        for (const double value : {450.0, 460.0, 470.0}) {
            chart.AddData({chart.GetDataCount() + 1.0, value});
        }
        chart.m_nHighlight = highlight;
        chart.RemoveData(index);
        EXPECT_EQ(chart.m_nHighlight, after) << highlight << ", removing " << index;
        EXPECT_EQ(chart.GetDataCount(), count) << highlight << ", removing " << index;
    }
}

// Points less than one apart can change order or meet when the later ones
// move down; the result is still what adding them again in order gives.
TEST(ChartRemoveData, PointsLessThanOneApartEndAsAddingThemAgainLeavesThem) {
    const struct {
        std::vector<STChartPoint> points;
        std::int32_t index;
        std::vector<STChartPoint> rest;
    } cases[] = {
        {{{1, 450}, {1.8, 460}, {2, 470}, {2.5, 480}}, 2, {{1, 450}, {1.8, 460}, {1.5, 480}}},
        {{{1, 450}, {1.5, 460}, {2, 470}, {2.5, 980}}, 2, {{1, 450}, {1.5, 460}, {1.5, 980}}},
        {{{0.5, 50}, {0.75, 60}}, 0, {{-0.25, 60}}},
    };
    for (const auto& [points, index, rest] : cases) {
        STPlotContext removed;
        STPlotContext refilled;
        removed.Clear(531, 199);
        refilled.Clear(531, 199);
        for (const STChartPoint& point : points) {
            removed.Add(point);
        }
        for (const STChartPoint& point : rest) {
            refilled.Add(point);
        }
        ASSERT_TRUE(removed.RemoveAt(index));
        ExpectSameSeries(removed, refilled);
        ExpectSameScale(removed.m_xScale, refilled.m_xScale);
        ExpectSameScale(removed.m_yScale, refilled.m_yScale);
    }
}
