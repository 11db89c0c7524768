#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "model/ledgermill.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

struct StatisticsCase {
    const char* name;
    std::vector<double> values;
    double max, min, average, deviation;
};

void PrintTo(const StatisticsCase& c, std::ostream* out) {
    *out << c.name;
}

class FiguresOfItemAndBatch : public testing::TestWithParam<StatisticsCase> {};

std::unique_ptr<STLedgermillItem> ItemWithAverage(double average) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_dAverage = average;
    return item;
}

void ExpectFigures(double max, double min, double average, double deviation,
                   const StatisticsCase& expected) {
    EXPECT_DOUBLE_EQ(max, expected.max);
    EXPECT_DOUBLE_EQ(min, expected.min);
    EXPECT_DOUBLE_EQ(average, expected.average);
    EXPECT_NEAR(deviation, expected.deviation, 1e-6);
}

}  // namespace

// The same rule holds for an item over its readings and for a batch over
// its items' averages.
TEST_P(FiguresOfItemAndBatch, FollowTheValidValueRule) {
    const StatisticsCase& c = GetParam();
    STLedgermillItem item;
    item.m_values = c.values;
    item.UpdateStatistics();
    ExpectFigures(item.m_dMax, item.m_dMin, item.m_dAverage, item.m_dStandardDeviation, c);

    STLedgermill batch;
    for (double average : c.values) {
        batch.AddItem(ItemWithAverage(average));
    }
    batch.UpdateStatistics();
    ExpectFigures(batch.m_dMax, batch.m_dMin, batch.m_dAverage, batch.m_dStandardDeviation, c);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FiguresOfItemAndBatch,
    testing::Values(StatisticsCase{"ZeroIsNotValid", {456, 460, 0, 452}, 460, 452, 456, 4},
                    StatisticsCase{"OnlyOneValid", {5, 10, 12}, 12, 12, 12, 0},
                    StatisticsCase{"NoneValid", {0, 3}, 0, 0, 0, 0},
                    StatisticsCase{"Empty", {}, 0, 0, 0, 0},
                    StatisticsCase{"TenIsNotValid", {10.0, 10.5}, 10.5, 10.5, 10.5, 0},
                    StatisticsCase{"BatchExample", {456, 0, 448}, 456, 448, 452, std::sqrt(32.0)},
                    StatisticsCase{"FirstValidLate", {1, 2, 30, 20, 40}, 40, 20, 30, 10},
                    StatisticsCase{
                        "NaNNeverTakesPart", {kNaN, 20, kNaN, 40}, 40, 20, 30, std::sqrt(200.0)},
                    StatisticsCase{"NegativeInfinityIsNotValid", {-kInf, 50}, 50, 50, 50, 0}),
    [](const testing::TestParamInfo<StatisticsCase>& param) { return param.param.name; });

TEST(Statistics, PositiveInfinityTakesPartWithoutTrapping) {
    STLedgermillItem item;
    item.m_values = {450, kInf};
    item.UpdateStatistics();
    EXPECT_EQ(item.m_dMax, kInf);
    EXPECT_EQ(item.m_dMin, 450);
    EXPECT_EQ(item.m_dAverage, kInf);
    EXPECT_TRUE(std::isnan(item.m_dStandardDeviation));
}

TEST(Statistics, RecomputingStartsFromZero) {
    STLedgermillItem item;
    item.m_values = {100, 200};
    item.UpdateStatistics();
    item.m_values = {1};
    item.UpdateStatistics();
    EXPECT_EQ(item.m_dMax, 0.0);
    EXPECT_EQ(item.m_dAverage, 0.0);
    EXPECT_EQ(item.m_dStandardDeviation, 0.0);
}

TEST(PassRule, LimitsAreInclusiveAndOnlyAppliedWhenInUse) {
    STLedgermill batch;
    batch.m_dLowerLimit = 450;
    batch.m_dUpperLimit = 455;
    const auto passes = [&batch](double average) {
        return batch.IsPass(*ItemWithAverage(average));
    };
    EXPECT_TRUE(passes(450));
    EXPECT_TRUE(passes(455));
    EXPECT_FALSE(passes(449.9));
    EXPECT_FALSE(passes(455.1));
    EXPECT_FALSE(passes(0.0));  // validity of the readings plays no part
    EXPECT_TRUE(passes(kNaN));
    batch.m_bUseLimit = false;
    EXPECT_TRUE(passes(449.9));
    EXPECT_TRUE(passes(1e9));
}

TEST(PassRule, CrossedLimitsFailEverything) {
    STLedgermill batch;
    batch.m_dLowerLimit = 500;
    batch.m_dUpperLimit = 400;
    for (double average : {0.0, 399.0, 450.0, 501.0}) {
        EXPECT_FALSE(batch.IsPass(*ItemWithAverage(average))) << average;
    }
}
