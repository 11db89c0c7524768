// How bars closer than a pixel merge into pixel columns, on a small plot
// with scales set by hand: two ordinals a column and one pixel a unit of Y.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "chart/chart_painter.h"

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Plot 10 columns wide, 100 rows high, from (0, 0).
constexpr STPixelRect kPlot{0, 0, 10, 100};

STPlotContext HalfPixelOrdinals(const std::vector<double>& values) {
    STPlotContext context;
    context.m_xScale.m_dPixelsPerUnit = 0.5;
    context.m_yScale.m_dPixelsPerUnit = 1.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        context.m_series.push_back({static_cast<double>(i) + 1.0, values[i]});
    }
    return context;
}

}  // namespace

TEST(BarKinds, FollowTheLimitsAndTheValidValueRule) {
    const struct {
        double y, low, high;
        EBarKind kind;
    } cases[] = {
        {450, 400, 500, EBarKind::kPass},   {400, 400, 500, EBarKind::kPass},
        {500, 400, 500, EBarKind::kPass},   {399.9, 400, 500, EBarKind::kFail},
        {500.1, 400, 500, EBarKind::kFail}, {10.0, 0, 20, EBarKind::kLow},
        {5, 400, 500, EBarKind::kLow},      {-kInf, 400, 500, EBarKind::kLow},
        {kInf, 400, 500, EBarKind::kFail},  {399.9, 0, 0, EBarKind::kPass},
        {10.5, 0, 0, EBarKind::kPass},      {kNan, 400, 500, EBarKind::kNone},
    };
    for (const auto& [y, low, high, kind] : cases) {
        EXPECT_EQ(JudgeBar(y, low, high), kind) << y << " in " << low << " to " << high;
    }
}

// Column c holds ordinals 2c - 1 and 2c (column 0 none): each case fills
// column 1, against limits 40 and 60.
TEST(BarColumns, TakeTheTallestBarAndTheWorstKind) {
    const struct {
        double first, second;
        std::int32_t top;
        EBarKind kind;
    } cases[] = {
        {50, 50, 50, EBarKind::kPass},      {50, 70, 30, EBarKind::kFail},
        {30, 50, 50, EBarKind::kFail},      {50, 5, 50, EBarKind::kPass},
        {5, 8, 92, EBarKind::kLow},         {kNan, 5, 95, EBarKind::kLow},
        {kNan, kNan, 100, EBarKind::kNone}, {-3, 0, 99, EBarKind::kLow},
        {1e300, 50, 0, EBarKind::kFail},    {kInf, kNan, 0, EBarKind::kFail},
    };
    for (const auto& [first, second, top, kind] : cases) {
        const std::vector<STBarColumn> columns =
            DenseBarColumns(HalfPixelOrdinals({first, second}), kPlot, 40, 60);
        ASSERT_EQ(columns.size(), 10u);
        EXPECT_EQ(columns[1].m_nTop, top) << first << " and " << second;
        EXPECT_EQ(columns[1].m_eKind, kind) << first << " and " << second;
        EXPECT_EQ(columns[0].m_eKind, EBarKind::kNone);
        EXPECT_EQ(columns[0].m_nTop, kPlot.m_nBottom);
    }
}

TEST(BarColumns, BarsOutsideThePlotJoinItsEdgeColumns) {
    STPlotContext context = HalfPixelOrdinals({});
    context.m_series = {{-40, 50}, {3, 20}, {1e12, 70}};
    const std::vector<STBarColumn> columns = DenseBarColumns(context, kPlot, 40, 60);
    EXPECT_EQ(columns.front().m_eKind, EBarKind::kPass);
    EXPECT_EQ(columns[2].m_eKind, EBarKind::kFail);
    EXPECT_EQ(columns.back().m_eKind, EBarKind::kFail);
    EXPECT_EQ(columns.back().m_nTop, 30);
    EXPECT_TRUE(DenseBarColumns(context, {5, 5, 5, 50}, 40, 60).empty());

    const STPixelRect frame = DenseHighlightRect(context, kPlot, {1e12, 0.2});
    EXPECT_EQ(frame.m_nLeft, 8);
    EXPECT_EQ(frame.m_nRight, 10);
    EXPECT_EQ(frame.m_nTop, 99);  // a bar of no height is still framed
}
