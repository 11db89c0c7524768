// The report's histogram bins over the item averages.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

#include "report/histogram.h"
#include "report_fixtures.h"

namespace {

std::int64_t Total(const std::vector<STHistogramBin>& bins) {
    return std::accumulate(
        bins.begin(), bins.end(), std::int64_t{0},
        [](std::int64_t sum, const STHistogramBin& bin) { return sum + bin.m_nCount; });
}

bool IsWholeTenth(double edge) {
    return std::abs(edge * 10 - std::round(edge * 10)) < 1e-6;
}

TEST(Histogram, BinsAreContiguousTenthsThatHoldEveryValueOnce) {
    const std::vector<double> values = {439.9, 440.0, 441.3, 445.55, 452.0, 459.99, 460.0, 471.2};
    const auto bins = HistogramOf(values);
    ASSERT_EQ(bins.size(), 4u);  // Sturges: ceil(log2 8) + 1
    EXPECT_DOUBLE_EQ(bins.front().m_dFrom, 439.9);
    EXPECT_LE(values.back(), bins.back().m_dTo);  // the top value falls in the last bin
    for (std::size_t at = 0; at < bins.size(); ++at) {
        EXPECT_TRUE(IsWholeTenth(bins[at].m_dFrom) && IsWholeTenth(bins[at].m_dTo)) << at;
        if (at > 0) {
            EXPECT_DOUBLE_EQ(bins[at].m_dFrom, bins[at - 1].m_dTo);
        }
    }
    EXPECT_EQ(Total(bins), 8);
    EXPECT_DOUBLE_EQ(bins.front().m_dTo, 447.8);  // 31.3 over 4 bins, rounded up to 7.9
    EXPECT_EQ(bins.front().m_nCount, 4);
}

TEST(Histogram, OneValueOrNoneAndTheCapOnBins) {
    EXPECT_TRUE(HistogramOf({}).empty());
    const auto single = HistogramOf({448.0, 448.0});
    ASSERT_EQ(single.size(), 1u);
    EXPECT_DOUBLE_EQ(single[0].m_dFrom, 448.0);
    EXPECT_DOUBLE_EQ(single[0].m_dTo, 448.1);
    EXPECT_EQ(single[0].m_nCount, 2);

    std::vector<double> many;
    for (int at = 0; at < 600000; ++at)
        many.push_back(400 + at * 0.0001);  // Sturges would say 21
    const auto capped = HistogramOf(many);
    EXPECT_EQ(capped.size(), 20u);
    EXPECT_EQ(Total(capped), 600000);
}

TEST(Histogram, OnlyFiniteAveragesAboveTheThresholdTakePart) {
    auto batch = MakeBatch(kTestMethodLeeb, {{u"P01", u"HL", u"D", u"", u"", 448.0},
                                             {u"P02", u"HL", u"D", u"", u"", 10.0},
                                             {u"P03", u"HL", u"D", u"", u"", 452.5}});
    batch->m_itemVector[1]->m_dAverage = 10.0;
    batch->m_itemVector.push_back(std::make_unique<STLedgermillItem>());
    batch->m_itemVector.back()->m_dAverage = std::numeric_limits<double>::infinity();
    EXPECT_EQ(AveragesTakingPart(*batch), (std::vector<double>{448.0, 452.5}));
}

}  // namespace
