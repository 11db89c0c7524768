// The chart in words: what a screen reader hears must match what is drawn,
// the judgement included, since colour alone cannot carry it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <cctype>
#include <string>
#include <vector>

#include "chart/chart_description.h"
#include "chart/qz_ctrl_chart.h"

namespace {

STPlotContext Bars(const std::vector<double>& values) {
    STPlotContext context;
    context.Clear(400, 200);
    for (const double value : values) {
        context.Add({static_cast<double>(context.m_series.size()) + 1.0, value});
    }
    return context;
}

struct STDescriptionCase {
    const char* m_szWhat;
    std::vector<double> m_values;
    double m_dLow;
    double m_dHigh;
    int m_nHighlight;
    const char* m_szExpected;
};

class ChartDescription : public testing::TestWithParam<STDescriptionCase> {};

}  // namespace

TEST_P(ChartDescription, SaysWhatIsDrawn) {
    const STDescriptionCase& c = GetParam();
    EXPECT_EQ(DescribeChart(QStringLiteral("the readings of record 2"), Bars(c.m_values), c.m_dLow,
                            c.m_dHigh, c.m_nHighlight),
              QString::fromUtf8(c.m_szExpected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChartDescription,
    testing::Values(
        // An empty chart names no subject: it may be left over.
        STDescriptionCase{"empty", {}, 400, 500, -1, "Bar chart, no bars"},
        STDescriptionCase{"one bar without limits",
                          {450},
                          0,
                          0,
                          -1,
                          "Bar chart of the readings of record 2, 1 bar, no limits"},
        // On a limit passes; 10.0 and less is no reading, never outside.
        STDescriptionCase{"judged as coloured",
                          {400, 500, 399.9, 500.1, 5},
                          400,
                          500,
                          -1,
                          "Bar chart of the readings of record 2, 5 bars, limits 400.0 to "
                          "500.0, 2 outside the limits"},
        STDescriptionCase{"highlight",
                          {450, 470},
                          0,
                          0,
                          1,
                          "Bar chart of the readings of record 2, 2 bars, no limits, bar 2 "
                          "highlighted (470.0)"},
        STDescriptionCase{"highlight past the end",
                          {450},
                          0,
                          0,
                          1,
                          "Bar chart of the readings of record 2, 1 bar, no limits"}),
    [](const testing::TestParamInfo<STDescriptionCase>& param) {
        std::string name = param.param.m_szWhat;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST(ChartWidgetDescription, IsAChartToAssistiveTechnologyAndFollowsEachRefresh) {
    CQZCtrlChart chart;
    chart.resize(400, 200);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&chart);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Chart);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Chart");
    chart.SetSubject(QStringLiteral("the item averages of batch 7"));
    chart.AddData({1.0, 450.0});
    chart.AddData({2.0, 455.0});
    chart.Refresh();
    EXPECT_EQ(accessible->text(QAccessible::Description),
              "Bar chart of the item averages of batch 7, 2 bars, no limits");
    chart.RemoveData(0);  // refreshes by itself
    EXPECT_EQ(chart.accessibleDescription(),
              "Bar chart of the item averages of batch 7, 1 bar, no limits");
    chart.ClearData();
    EXPECT_EQ(chart.accessibleDescription(), "Bar chart, no bars");
}
