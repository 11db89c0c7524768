// The trend's layout worked out without a window.
#include "chart/trend_chart.h"

#include <gtest/gtest.h>

#include <QFont>
#include <cmath>
#include <cstdlib>

namespace {

const QFontMetricsF& Metrics() {
    static const QFontMetricsF metrics{QFont()};
    return metrics;
}

std::vector<double> Labels(const std::vector<STTrendTick>& ticks) {
    std::vector<double> labels;
    for (const STTrendTick& tick : ticks)
        labels.push_back(tick.m_strLabel.toDouble());
    return labels;
}

}  // namespace

TEST(TrendChart, TheYAxisHoldsValuesAndLimitsInWholeStepsOfTheChartsScale) {
    const STTrendLayout layout = LayOutTrend({{100, 455.0}, {200, 471.5}, {300, 462.0}},
                                             {true, 440.0, 480.0}, {600, 300}, Metrics());
    // A span of 40 and a third more gives steps of ceil(52 / 5) = 11.
    EXPECT_EQ(Labels(layout.m_yTicks), (std::vector<double>{429, 440, 451, 462, 473, 484}));
    // A value on the bottom step gets a step of room below it.
    EXPECT_EQ(layout.m_dBottom, 429.0);
    EXPECT_EQ(layout.m_dTop, 484.0);
    EXPECT_DOUBLE_EQ(layout.m_yTicks.front().m_dPosition, layout.m_plot.bottom());
    EXPECT_DOUBLE_EQ(layout.m_yTicks.back().m_dPosition, layout.m_plot.top());
    EXPECT_DOUBLE_EQ(*layout.m_oUpperY,
                     layout.m_plot.bottom() - (480.0 - 429.0) / 55.0 * layout.m_plot.height());
    EXPECT_DOUBLE_EQ(layout.m_points[1].y(),
                     layout.m_plot.bottom() - (471.5 - 429.0) / 55.0 * layout.m_plot.height());
    EXPECT_DOUBLE_EQ(layout.m_points[1].x(), layout.m_plot.center().x());
    // Within two days the X labels are clock times.
    ASSERT_EQ(layout.m_xTicks.size(), 5u);
    EXPECT_EQ(layout.m_xTicks.front().m_dPosition, layout.m_plot.left());
    EXPECT_EQ(layout.m_xTicks.back().m_dPosition, layout.m_plot.right());
    EXPECT_EQ(layout.m_xTicks.front().m_strLabel.size(), 8);
}

TEST(TrendChart, PointsWithoutAValueAreLeftOutAndOneTimeSitsInTheMiddle) {
    const STTrendLayout layout = LayOutTrend(
        {{1'462'694'400, std::nan("")}, {1'462'694'400, 300.0}}, {}, {400, 200}, Metrics());
    ASSERT_EQ(layout.m_points.size(), 1u);
    EXPECT_DOUBLE_EQ(layout.m_points[0].x(), layout.m_plot.center().x());
    EXPECT_FALSE(layout.m_oLowerY || layout.m_oUpperY);
    ASSERT_EQ(layout.m_xTicks.size(), 1u);

    // Over weeks the labels are dates; no point at all still has an axis.
    const STTrendLayout weeks =
        LayOutTrend({{0, 1.0}, {30 * 86400, 2.0}}, {}, {400, 200}, Metrics());
    EXPECT_EQ(weeks.m_xTicks.front().m_strLabel.size(), 10);
    const STTrendLayout empty = LayOutTrend({}, {}, {400, 200}, Metrics());
    EXPECT_TRUE(empty.m_points.empty());
    EXPECT_LT(empty.m_dBottom, empty.m_dTop);
    EXPECT_TRUE(DescribeTrend({}, {}, {}).contains("no batches listed"));
}
